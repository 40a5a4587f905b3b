#pragma once

#include <memory>
#include <optional>
#include <string>

#include "analysis/table_descriptors.h"
#include "model/graph_settings.h"
#include "model/measurement_store.h"

namespace kenvo::cli {

// A measurement file loaded for a command, with the graph settings its load adjusts.
struct DataSet {
    std::unique_ptr<MeasurementStore> store = std::make_unique<MeasurementStore>();
    GraphSettings graph = GraphSettings::defaults();
};

// Loads `path`; on failure prints "<command>: <message> (<reason>)" and returns nothing.
std::optional<DataSet> loadDataSet(const std::string& command, const std::string& path);

// The table named on the command line: summary, interval, attempt, target, driving, frequency.
std::optional<SummaryTable> tableNamed(const std::string& name);

// The kind of test a data set's testMode names: stance, target hitting, driving, or unknown.
const char* testModeName(int32_t testMode);

// Whether `table` suits the loaded data set; prints the plain reason when it does not.
bool tableSuitsDataSet(const std::string& command, SummaryTable table, const DataSet& data,
                       const std::string& path);

// Checks an --attempt N (counted from 1) against the data set; prints the reason when it is not
// there. Returns the 0-based attempt (0 when no option was given).
std::optional<int32_t> attemptIndex(const std::string& command, const DataSet& data,
                                    std::optional<long> attempt, const std::string& path);

}  // namespace kenvo::cli
