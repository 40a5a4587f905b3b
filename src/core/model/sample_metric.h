#pragma once

#include <cstdint>

#include "model/cop_sample.h"
#include "model/limits.h"
#include "model/platform_calibration.h"

namespace kenvo {

class MeasurementStore;

// What sampleMetric computes from stored samples.
enum SampleMetricKind : int32_t {
    MetricCopX = 0,            // a.x in mm
    MetricCopY = 1,            // a.y in mm
    MetricDistance = 2,        // distance between a and b in mm
    MetricHeartRate = 3,       // beats per minute (the beat marker removed)
    MetricDx = 4,              // a.x - b.x in mm
    MetricDy = 5,              // a.y - b.y in mm
    MetricDeviation = 6,       // driving deviation at a flat index
    MetricDeviationFromX = 7,  // |deviation - x in mm| at a flat index
    MetricTrack = 8,           // track of the attempt being recorded
};

// The one place where stored fractions become millimetres, distances and heart rates, always
// with the data set's own calibration. Kinds 6 to 8 read the store's arrays at `index`
// (attempt x MaxSamples + sample for 6 and 7, a track row for 8); without a store, or with an
// index outside the arrays, they give 0. Unknown kinds give 0.
float sampleMetric(int32_t kind, const CopSample& a, const CopSample& b,
                   const PlatformCalibration& calibration, int32_t index = 0,
                   const MeasurementStore* store = nullptr);

// The speed in mm/s of a step of `millimetres` between two consecutive samples.
inline float velocityOfStep(float millimetres) {
    return millimetres * static_cast<float>(SampleRate);
}

// A kind as tables, time graphs and read-outs show it: MetricDistance, the step between a sample
// and the one before it, is shown as the velocity of that step in mm/s; every other kind is
// shown as sampleMetric gives it. Path lengths and other sums of steps use sampleMetric.
float shownMetric(int32_t kind, const CopSample& a, const CopSample& b,
                  const PlatformCalibration& calibration);

}  // namespace kenvo
