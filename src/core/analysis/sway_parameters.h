#pragma once

#include <cstdint>

#include "model/measurement_store.h"

namespace kenvo {

// Path lengths, mean velocity and mean distance from the mean point of a span of samples.
struct IntervalParameters {
    float lengthX = 0.0f;       // mm, sum of |x steps|
    float lengthY = 0.0f;       // mm, sum of |y steps|
    float meanVelocity = 0.0f;  // mm/s: the path over the span's duration (N samples x 10 ms)
    float meanDistance = 0.0f;  // mm, mean distance of the samples from their mean point
};

// How a driving attempt's COP deviated from the track (signed deviations in mm).
struct DeviationParameters {
    float meanDistance = 0.0f;         // mean |deviation|
    float sdDistance = 0.0f;           // SD of the signed deviation about meanDistance
    float meanDistanceSquared = 0.0f;  // mean deviation^2
    float sdDistanceSquared = 0.0f;
    float plusDistance = 0.0f;  // per excursion to the plus side, when there were crossings from it
    float minusDistance = 0.0f;
    float plusPath = 0.0f;
    float minusPath = 0.0f;
    int32_t crossings = 0;
    float pathPerCrossing = 0.0f;  // valid only when crossings > 0
    bool hasPathPerCrossing = false;
};

// A target hitting attempt: path walked, samples taken and velocity.
struct MovementParameters {
    float pathLength = 0.0f;  // mm
    int32_t movementSamples = 0;
    float velocity = 0.0f;  // m/s
};

// Means and SDs (dividing by the number of attempts) over every target hitting attempt.
struct MovementSummary {
    int32_t meanSamples = 0;  // integer mean of the sample counts
    float meanPath = 0.0f;
    float meanVelocity = 0.0f;
    float sdSamples = 0.0f;
    float sdPath = 0.0f;
    float sdVelocity = 0.0f;
};

// Samples from .. to-1 of `attempt` in millimetres with the data set's scales. Out-of-range
// spans are clipped to the attempt's samples; an empty span gives zeros.
IntervalParameters computeIntervalParameters(const MeasurementStore& store, int32_t attempt, int32_t from,
                                             int32_t to);
IntervalParameters computeWholeAttempt(const MeasurementStore& store, int32_t attempt);

// lengthX / lengthY when the X path exceeds 0.001 mm, else 0. A Y path of exactly 0 (which no
// real platform produces) has no finite ratio and also gives 0.
float dxDyRatio(float lengthX, float lengthY);

DeviationParameters computeDeviationParameters(const MeasurementStore& store, int32_t attempt);
MovementParameters computeMovementParameters(const MeasurementStore& store, int32_t attempt);
MovementSummary summarizeMovements(const MeasurementStore& store);

// The number of valid samples of an attempt, bounded by the slot size.
int32_t attemptLength(const MeasurementStore& store, int32_t attempt);

}  // namespace kenvo
