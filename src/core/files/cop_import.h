#pragma once

#include <cstdint>
#include <vector>

#include "model/cop_point.h"
#include "model/measurement_store.h"

namespace kenvo {

// Puts a COP recording (millimetres, 100 samples per second) into attempt slot `attempt` as
// a platform of `model`, mounted the standard way, would have recorded it: fractions of the
// model's half-spans, on the grid a data file keeps, so the data set gives the same numbers
// before it is saved as after it is opened again. The caller keeps the recording within the
// attempt's MaxSamples.
void importCopAttempt(MeasurementStore& store, int32_t attempt, const std::vector<CopPoint>& points,
                      int32_t model, int64_t now);

// Makes the store a stance data set of the first `attempts` imported attempts, lasting as long
// as the longest of them, with the model's scales.
void finishCopImport(MeasurementStore& store, int32_t attempts, int32_t model);

}  // namespace kenvo
