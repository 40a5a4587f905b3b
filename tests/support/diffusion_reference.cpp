#include "support/diffusion_reference.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace kenvo::test {

DiffusionCurve literalDiffusionCurve(std::span<const CopSample> samples,
                                     const PlatformCalibration& cal, int32_t span) {
    DiffusionCurve curve;
    const int32_t n = std::clamp(span, 0, static_cast<int32_t>(samples.size()));
    curve.samplesUsed = n;
    for (int32_t m = 1; m <= 1000; ++m) {
        float r = 0, r2 = 0, x = 0, y = 0;
        for (int32_t k = 0; k <= n - 1 - m; ++k) {
            const float dx = cal.scaleX * samples[k + m].x - cal.scaleX * samples[k].x;
            const float dy = cal.scaleY * samples[k + m].y - cal.scaleY * samples[k].y;
            r += std::sqrt(dx * dx + dy * dy);
            r2 += std::sqrt(dx * dx + dy * dy) * std::sqrt(dx * dx + dy * dy);
            x += std::fabs(dx);
            y += std::fabs(dy);
        }
        if (n - m > 0) {
            curve.records[m][0] = r / (n - m);
            curve.records[m][1] = r2 / (n - m);
            curve.records[m][2] = x / (n - m);
            curve.records[m][3] = y / (n - m);
        }
    }
    return curve;
}

namespace {

// The running grid value; where adding the step leaves it unchanged, the next float.
float advance(float v, float step) {
    const float next = v + step;
    return next == v ? std::nextafter(v, std::numeric_limits<float>::infinity()) : next;
}

float at(const DiffusionCurve& curve, int32_t lag, int32_t kind) {
    if (kind < 0 || kind > 3) return 0.0f;
    return curve.records[lag][kind];
}

}  // namespace

DiffusionFit literalDiffusionFit(const DiffusionCurve& curve, int32_t kind, int32_t marker,
                                 float startLineA) {
    DiffusionFit fit;
    const int32_t L = std::clamp(marker, 0, 1000);
    // Lag 0 and the lags with pairs.
    const int32_t lastUsable = std::clamp(curve.samplesUsed - 1, 0, 1000);

    const float originWidth[5] = {0, 1, 0.1f, 0.01f, 0.001f};
    const float originStep[5] = {1, 0.1f, 0.01f, 0.001f, 0.0001f};
    float a1 = 0;
    for (int p = 0; p < 5; ++p) {
        const float lo = p == 0 ? 0.0f : a1 - originWidth[p];
        const float hi = p == 0 ? 1000.0f : a1 + originWidth[p];
        float best = 1e12f;
        float kept = a1;
        for (float s = lo; s <= hi; s = advance(s, originStep[p])) {
            float sum = 0;
            for (int32_t i = 0; i <= L - 1 && i <= lastUsable; ++i)
                sum += (at(curve, i, kind) - s * i) * (at(curve, i, kind) - s * i);
            if (sum < best) {
                best = sum;
                kept = s;
            }
            if (std::isinf(s)) break;
        }
        a1 = kept;
        fit.originSlopeByPass[p] = a1;
    }
    fit.originSlope = a1;

    const float width[4] = {0, 0.1f, 0.01f, 0.001f};
    const float step[4] = {1, 0.01f, 0.001f, 0.0001f};
    float A = startLineA;
    float B = at(curve, L, kind);
    for (int p = 0; p < 4; ++p) {
        const float lo = p == 0 ? 0.0f : A - width[p];
        const float hi = p == 0 ? 1000.0f : A + width[p];
        const float centre = B;
        float best = 1e14f;
        float keptA = A, keptB = B;
        for (float b = centre - 2; b <= centre + 2; b = advance(b, step[p])) {
            for (float s = lo; s <= hi; s = advance(s, step[p])) {
                float sum = 0;
                for (int32_t i = L; i <= 999 && i <= lastUsable; ++i)
                    sum += (at(curve, i, kind) - s * i - b) * (at(curve, i, kind) - s * i - b);
                if (sum < best) {
                    best = sum;
                    keptA = s;
                    keptB = b;
                }
                if (std::isinf(s)) break;
            }
            if (std::isinf(b)) break;
        }
        A = keptA;
        B = keptB;
        fit.lineAByPass[p] = A;
        fit.lineBByPass[p] = B;
    }
    fit.lineA = A;
    fit.lineB = B;
    return fit;
}

}  // namespace kenvo::test
