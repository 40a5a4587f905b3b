#include "model/sample_metric.h"

#include <cmath>

#include "model/measurement_store.h"

namespace kenvo {

namespace {
bool inFlatRange(int32_t index) {
    return index >= 0 && static_cast<int64_t>(index) < int64_t{MaxAttempts} * MaxSamples;
}
}  // namespace

float sampleMetric(int32_t kind, const CopSample& a, const CopSample& b,
                   const PlatformCalibration& calibration, int32_t index,
                   const MeasurementStore* store) {
    const float sx = calibration.scaleX;
    const float sy = calibration.scaleY;
    switch (kind) {
        case MetricCopX:
            return a.x * sx;
        case MetricCopY:
            return a.y * sy;
        case MetricDistance:
        case MetricDx:
        case MetricDy: {
            // Each product is rounded to single precision before the difference is taken.
            const float ax = a.x * sx, bx = b.x * sx, ay = a.y * sy, by = b.y * sy;
            const float dx = ax - bx;
            const float dy = ay - by;
            if (kind == MetricDx) return dx;
            if (kind == MetricDy) return dy;
            return std::sqrt(dx * dx + dy * dy);
        }
        case MetricHeartRate:
            return static_cast<float>(static_cast<int32_t>(a.pulse) % 1000);
        case MetricDeviation:
            if (!store || !inFlatRange(index)) return 0.0f;
            return store->allDeviations()[index];
        case MetricDeviationFromX: {
            if (!store || !inFlatRange(index)) return 0.0f;
            const float x = store->allSamples()[index].x * sx;
            return std::fabs(store->allDeviations()[index] - x);
        }
        case MetricTrack: {
            if (!store || index < 0 || index >= MaxSamples) return 0.0f;
            const int32_t attempt = store->attemptCount;
            if (attempt < 0 || attempt >= MaxAttempts) return 0.0f;
            return store->track(attempt)[index];
        }
        default:
            return 0.0f;
    }
}

float shownMetric(int32_t kind, const CopSample& a, const CopSample& b,
                  const PlatformCalibration& calibration) {
    const float value = sampleMetric(kind, a, b, calibration);
    return kind == MetricDistance ? velocityOfStep(value) : value;
}

}  // namespace kenvo
