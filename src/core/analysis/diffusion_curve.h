#pragma once

#include <array>
#include <cstdint>
#include <span>

#include "model/graph_settings.h"
#include "model/cop_sample.h"
#include "model/platform_calibration.h"

namespace kenvo {

class MeasurementStore;

// The four quantities of a diffusion record, in record order: the diffusion axes' parameters.
inline constexpr int32_t DiffusionKindR = DiffusionR;    // mean distance between two samples, mm
inline constexpr int32_t DiffusionKindR2 = DiffusionR2;  // mean squared distance, mm²
inline constexpr int32_t DiffusionKindX = DiffusionX;    // mean absolute X difference, mm
inline constexpr int32_t DiffusionKindY = DiffusionY;    // mean absolute Y difference, mm
inline constexpr int32_t DiffusionKindCount = DiffusionParameterCount;

inline constexpr int32_t DiffusionRecordCount = 1010;   // lags 0 .. 1009
inline constexpr int32_t DiffusionMaxLag = 1000;        // lags 1 .. 1000 are computed
inline constexpr int32_t DiffusionValuesPerRecord = 5;  // the fifth value is never used

// The stabilogram diffusion function of one attempt: for lag m (m samples = 10·m ms apart)
// the mean of the four quantities over all sample pairs m apart. Record 0 and records
// 1001 .. 1009 are zero, and so is every lag without a pair (m >= samplesUsed).
struct DiffusionCurve {
    std::array<std::array<float, DiffusionValuesPerRecord>, DiffusionRecordCount> records{};
    // How many samples, from sample 0, the curve was computed over.
    int32_t samplesUsed = 0;

    // The value of `kind` at `lag`; 0 for a lag or kind outside the records.
    float value(int32_t lag, int32_t kind) const {
        if (lag < 0 || lag >= DiffusionRecordCount || kind < 0 || kind >= DiffusionKindCount)
            return 0.0f;
        return records[static_cast<std::size_t>(lag)][static_cast<std::size_t>(kind)];
    }
    // Whether lag m was averaged over at least one pair.
    bool hasPairs(int32_t lag) const {
        return lag >= 1 && lag <= DiffusionMaxLag && lag < samplesUsed;
    }
    // The leading lags the fits may use: lag 0 (the curve's origin) and every lag with pairs,
    // i.e. lags 0 .. usableLags() - 1. Lags without pairs hold a placeholder 0, not a
    // measurement, and stay out of the fits.
    int32_t usableLags() const {
        if (samplesUsed <= 1) return 1;
        return (samplesUsed - 1 < DiffusionMaxLag ? samplesUsed - 1 : DiffusionMaxLag) + 1;
    }
};

// The curve over samples 0 .. min(span, samples.size()) - 1. Positions are the millimetres
// of sampleMetric (scale times fraction, in single precision); every lag's four sums are
// accumulated in single precision in sample order and then divided by the pair count.
DiffusionCurve computeDiffusionCurve(std::span<const CopSample> samples,
                                     const PlatformCalibration& calibration, int32_t span);

// The curve of attempt `attempt` of the store with the data set's calibration. An attempt
// shorter than the span gives the curve of its recorded samples (fewer pairs per lag, and
// the top lags without pairs); an attempt that does not exist gives an all-zero curve.
DiffusionCurve computeDiffusionCurve(const MeasurementStore& store, int32_t attempt, int32_t span);

}  // namespace kenvo
