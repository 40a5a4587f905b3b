#include "analysis/half_wave.h"

#include <cmath>
#include <vector>

#include "analysis/sway_parameters.h"

namespace kenvo {

namespace {
constexpr float StillStep = 0.00001f;  // steps this small neither extend nor end a half-wave
}

HalfWaveAxis halfWaveAxis(const float* v, int32_t n, float filterFrequency) {
    // Raw half-waves: sums of consecutive steps in one direction.
    std::vector<float> raw;
    float s = 0.0f;
    if (n >= 2) {
        bool rising = v[1] - v[0] >= 0.0f;
        for (int32_t k = 0; k + 1 < n; ++k) {
            const float d = v[k + 1] - v[k];
            if (std::fabs(d) <= StillStep) continue;
            if ((rising && d > 0.0f) || (!rising && d < 0.0f)) {
                s += d;
            } else {
                raw.push_back(s);
                rising = !rising;
                s = d;
            }
        }
    }
    raw.push_back(s);

    // Merge reversals smaller than the threshold into the current half-wave.
    std::vector<float> merged;
    float m = raw[0];
    bool positive = raw[0] > 0.0f;
    for (std::size_t i = 1; i < raw.size(); ++i) {
        const float r = raw[i];
        const bool sameSign = positive ? r > 0.0f : r < 0.0f;
        if (sameSign || std::fabs(r) < filterFrequency) {
            m += r;
        } else {
            merged.push_back(m);
            positive = !positive;
            m = r;
        }
    }
    merged.push_back(m);

    HalfWaveAxis a;
    a.halfWaves = static_cast<int32_t>(merged.size());
    const float count = static_cast<float>(merged.size());
    float sumAbs = 0.0f;
    for (float w : merged) sumAbs += std::fabs(w);
    a.meanAmplitude = sumAbs / count;
    float var = 0.0f;
    for (float w : merged) var += (w - a.meanAmplitude) * (w - a.meanAmplitude);
    a.sdAmplitude = std::sqrt(var / count);
    return a;
}

HalfWaveParameters computeHalfWaveParameters(const MeasurementStore& store, int32_t attempt,
                                             float filterFrequency) {
    const int32_t n = attemptLength(store, attempt);
    std::vector<float> x(static_cast<std::size_t>(n)), y(static_cast<std::size_t>(n));
    const CopSample* samples = store.samples(attempt);
    for (int32_t k = 0; k < n; ++k) {
        const CopSample s = loadRelaxed(samples[k]);
        x[static_cast<std::size_t>(k)] = s.x * store.calibration.scaleX;
        y[static_cast<std::size_t>(k)] = s.y * store.calibration.scaleY;
    }
    return {halfWaveAxis(x.data(), n, filterFrequency), halfWaveAxis(y.data(), n, filterFrequency)};
}

}  // namespace kenvo
