#pragma once

#include <cstdint>

#include "model/measurement_store.h"

namespace kenvo {

// The half-wave analysis of one axis: maximal runs of movement in one direction, with
// reversals smaller than the filter threshold absorbed into the surrounding half-wave.
struct HalfWaveAxis {
    int32_t halfWaves = 1;
    float meanAmplitude = 0.0f;  // mm, mean |amplitude|
    float sdAmplitude = 0.0f;    // mm, SD of the signed amplitudes about the mean
};

struct HalfWaveParameters {
    HalfWaveAxis x;
    HalfWaveAxis y;
};

// `filterFrequency` is the threshold in millimetres (the setting keeps its historical name).
// Any number of half-waves is handled: the lists grow as needed.
HalfWaveParameters computeHalfWaveParameters(const MeasurementStore& store, int32_t attempt,
                                             float filterFrequency);

// The same analysis over one axis of positions in millimetres.
HalfWaveAxis halfWaveAxis(const float* values, int32_t count, float filterFrequency);

}  // namespace kenvo
