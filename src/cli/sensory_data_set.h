#pragma once

#include <optional>
#include <string>

#include "cli_data_set.h"
#include "files/sidecar.h"

namespace kenvo::cli {

// A stance data set with what its sidecar keeps (conditions, birth date, ...). A missing sidecar
// gives an empty one; a stale or damaged one is reported on standard error and ignored, as the
// measurement file is the source of truth. Target and driving data sets are refused with the
// reason. On failure prints "<command>: <reason>" and returns nothing.
struct SensoryDataSet {
    DataSet data;
    Sidecar sidecar;
};
std::optional<SensoryDataSet> loadSensoryDataSet(const std::string& command,
                                                 const std::string& path);

}  // namespace kenvo::cli
