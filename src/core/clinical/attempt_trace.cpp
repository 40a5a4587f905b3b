#include "clinical/attempt_trace.h"

#include <algorithm>

#include "model/measurement_store.h"

namespace kenvo {

SwayTrace attemptTrace(const MeasurementStore& store, int32_t attempt) {
    SwayTrace trace;
    if (attempt < 0 || attempt >= std::min(store.attemptCount, MaxAttempts)) return trace;
    const auto n = static_cast<std::size_t>(
        std::clamp(store.length[static_cast<std::size_t>(attempt)], 0, MaxSamples));
    const double scaleX = store.calibration.scaleX;
    const double scaleY = store.calibration.scaleY;
    const CopSample* samples = store.samples(attempt);
    trace.x.resize(n);
    trace.y.resize(n);
    for (std::size_t i = 0; i < n; ++i) {
        trace.x[i] = static_cast<double>(samples[i].x) * scaleX;
        trace.y[i] = static_cast<double>(samples[i].y) * scaleY;
    }
    return trace;
}

}  // namespace kenvo
