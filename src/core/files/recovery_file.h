#pragma once

#include <string>

#include "files/file_result.h"

namespace kenvo {

class MeasurementStore;

// Writes the data set to the recovery file in the measurement file format, atomically, so a
// crash or power cut during the write leaves the previous copy. Unlike a Save it leaves the
// store's `dataSaved` flag alone: the data still count as unsaved.
FileResult saveRecoveryFile(const std::string& path, const MeasurementStore& store);

}  // namespace kenvo
