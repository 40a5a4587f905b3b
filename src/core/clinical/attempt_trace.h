#pragma once

#include <cstdint>

#include "clinical/sway_trace.h"

namespace kenvo {

class MeasurementStore;

// Attempt `attempt` (0-based) of the store in millimetres: each stored fraction, widened to
// double, times the data set's scale widened to double, so the result carries no
// single-precision rounding of the product. An attempt outside the data set gives an empty
// trace; a damaged length is kept within the sample slots.
SwayTrace attemptTrace(const MeasurementStore& store, int32_t attempt);

}  // namespace kenvo
