#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "files/file_result.h"

namespace kenvo {

class MeasurementStore;
struct GraphSettings;

// The measurement data file (".kplat"): the data set's calibration scales, test settings,
// subject, planned attempt duration and every attempt with its samples. Samples take 10 bytes,
// or 14 when the data set is a driving test (then each carries its driving deviation).

// Writes the store's data set to `path` through a temporary file renamed over it; sets
// `dataSaved` only once the file is in place. A data set with more than 501 attempts or an
// attempt longer than 31000 samples is refused before anything is written.
FileResult saveMeasurementFile(const std::string& path, MeasurementStore& store);

// Reads `path` into the store. The whole file is checked before the store is touched, so a
// refused or damaged file leaves the store, its subject and the graph settings as they were.
// On success the data set header, subject and attempts 0..N-1 are replaced, the graph window
// is clamped to the file's duration, and `dataPresent` and `dataSaved` are set.
FileResult loadMeasurementFile(const std::string& path, MeasurementStore& store,
                               GraphSettings& graph);

// The same two steps on bytes in memory; `name` names the file in messages.
FileResult encodeMeasurementFile(const MeasurementStore& store, std::vector<uint8_t>& bytes);
FileResult decodeMeasurementFile(std::span<const uint8_t> bytes, const std::string& name,
                                 MeasurementStore& store, GraphSettings& graph);

}  // namespace kenvo
