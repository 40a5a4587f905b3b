#include "analysis/diffusion_curve.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "model/limits.h"
#include "model/measurement_store.h"
#include "model/sample_metric.h"

namespace kenvo {

namespace {

// Lags handled together. The pair loop runs over k outside and the lags of one tile inside,
// so the compiler vectorises across lags while every lag still adds its pairs one after the
// other in increasing k: the sums are the very sums of a plain loop over k per lag.
constexpr int32_t Tile = 16;

struct TileSums {
    float r[Tile]{};
    float r2[Tile]{};
    float x[Tile]{};
    float y[Tile]{};
};

// An AVX2 copy of the pair loop where the processor has it (chosen once at load time): the
// same IEEE operations on eight lags at a time instead of four, so the same sums. Sanitizer
// builds keep the one portable copy.
#if defined(__GNUC__) && !defined(__clang__) && defined(__x86_64__) && \
    !defined(__SANITIZE_THREAD__) && !defined(__SANITIZE_ADDRESS__)
#define KENVO_LAG_CLONES __attribute__((target_clones("avx2", "default")))
#else
#define KENVO_LAG_CLONES
#endif

// The sums of lags m0 .. m0 + width − 1 over all their pairs. Lanes past the last lag of the
// last tile read the zero padding of px/py and are discarded.
KENVO_LAG_CLONES
TileSums sumTile(const float* px, const float* py, int32_t n, int32_t m0, int32_t width) {
    // Local sums: the compiler may keep them in registers, as they cannot alias px or py.
    TileSums s;
    // Every lag of the tile has a pair at k while k + m0 + width - 1 <= n - 1.
    const int32_t full = std::max(0, n - (m0 + width - 1));
    for (int32_t k = 0; k < full; ++k) {
        const float xk = px[k];
        const float yk = py[k];
        const float* qx = px + k + m0;
        const float* qy = py + k + m0;
        for (int32_t j = 0; j < Tile; ++j) {
            const float dx = qx[j] - xk;
            const float dy = qy[j] - yk;
            const float d = std::sqrt(dx * dx + dy * dy);
            s.r[j] += d;
            s.r2[j] += d * d;
            s.x[j] += std::fabs(dx);
            s.y[j] += std::fabs(dy);
        }
    }
    // The last samples pair with the shorter lags of the tile only.
    for (int32_t k = full; k < n - m0; ++k) {
        const int32_t lanes = std::min(width, n - m0 - k);
        for (int32_t j = 0; j < lanes; ++j) {
            const float dx = px[k + m0 + j] - px[k];
            const float dy = py[k + m0 + j] - py[k];
            const float d = std::sqrt(dx * dx + dy * dy);
            s.r[j] += d;
            s.r2[j] += d * d;
            s.x[j] += std::fabs(dx);
            s.y[j] += std::fabs(dy);
        }
    }
    return s;
}

}  // namespace

DiffusionCurve computeDiffusionCurve(std::span<const CopSample> samples,
                                     const PlatformCalibration& calibration, int32_t span) {
    DiffusionCurve curve;
    const int32_t n = std::clamp(span, 0,
                                 static_cast<int32_t>(std::min<std::size_t>(
                                     samples.size(), static_cast<std::size_t>(MaxSamples))));
    curve.samplesUsed = n;
    const int32_t maxLag = std::min(DiffusionMaxLag, n - 1);
    if (maxLag < 1) return curve;

    // Millimetre positions, padded so that a whole tile may read past the last sample.
    std::vector<float> px(static_cast<std::size_t>(n + Tile), 0.0f);
    std::vector<float> py(static_cast<std::size_t>(n + Tile), 0.0f);
    for (int32_t k = 0; k < n; ++k) {
        const CopSample& s = samples[static_cast<std::size_t>(k)];
        px[static_cast<std::size_t>(k)] = sampleMetric(MetricCopX, s, s, calibration);
        py[static_cast<std::size_t>(k)] = sampleMetric(MetricCopY, s, s, calibration);
    }

    for (int32_t m0 = 1; m0 <= maxLag; m0 += Tile) {
        const int32_t width = std::min(Tile, maxLag - m0 + 1);
        const TileSums sums = sumTile(px.data(), py.data(), n, m0, width);
        for (int32_t j = 0; j < width; ++j) {
            const int32_t m = m0 + j;
            const float pairs = static_cast<float>(n - m);
            auto& record = curve.records[static_cast<std::size_t>(m)];
            record[DiffusionKindR] = sums.r[j] / pairs;
            record[DiffusionKindR2] = sums.r2[j] / pairs;
            record[DiffusionKindX] = sums.x[j] / pairs;
            record[DiffusionKindY] = sums.y[j] / pairs;
        }
    }
    return curve;
}

DiffusionCurve computeDiffusionCurve(const MeasurementStore& store, int32_t attempt, int32_t span) {
    if (attempt < 0 || attempt >= store.attemptCount || attempt >= MaxAttempts) return {};
    const auto length = static_cast<std::size_t>(
        std::clamp(store.length[static_cast<std::size_t>(attempt)], 0, MaxSamples));
    return computeDiffusionCurve({store.samples(attempt), length}, store.calibration, span);
}

}  // namespace kenvo
