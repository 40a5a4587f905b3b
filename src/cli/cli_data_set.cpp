#include "cli_data_set.h"

#include <cstdio>
#include <string>

#include "files/measurement_file.h"

namespace kenvo::cli {

std::optional<DataSet> loadDataSet(const std::string& command, const std::string& path) {
    DataSet data;
    if (const FileResult r = loadMeasurementFile(path, *data.store, data.graph); !r) {
        std::fprintf(stderr, "kenvoplat-cli %s: %s (%s)\n", command.c_str(), r.message.c_str(), r.reason.c_str());
        return std::nullopt;
    }
    return data;
}

std::optional<SummaryTable> tableNamed(const std::string& name) {
    if (name == "summary") return SummaryTable::Summary;
    if (name == "interval") return SummaryTable::IntervalSummary;
    if (name == "attempt") return SummaryTable::Attempt;
    if (name == "target") return SummaryTable::TargetSummary;
    if (name == "driving") return SummaryTable::DrivingSummary;
    if (name == "frequency") return SummaryTable::FrequencyAnalysis;
    return std::nullopt;
}

const char* testModeName(int32_t testMode) {
    switch (testMode) {
        case TestModeStance:
            return "stance";
        case TestModeTargetHitting:
            return "target hitting";
        case TestModeDriving:
            return "driving";
        default:
            return "unknown";
    }
}

bool tableSuitsDataSet(const std::string& command, SummaryTable table, const DataSet& data,
                       const std::string& path) {
    const int32_t mode = data.store->settings.testMode;
    const std::string_view reason = tableMismatchReason(table, mode);
    if (reason.empty()) return true;
    const std::string name = testModeName(mode);
    const std::string kind = name != "unknown" ? "a " + name + " data set"
                                               : "a data set of test mode " + std::to_string(mode);
    std::fprintf(stderr, "kenvoplat-cli %s: %s holds %s; %.*s\n", command.c_str(), path.c_str(),
                 kind.c_str(), static_cast<int>(reason.size()), reason.data());
    return false;
}

std::optional<int32_t> attemptIndex(const std::string& command, const DataSet& data,
                                    std::optional<long> attempt, const std::string& path) {
    if (!attempt) return 0;
    if (*attempt < 1 || *attempt > data.store->attemptCount) {
        std::fprintf(stderr, "kenvoplat-cli %s: %s has %d attempts; there is no attempt %ld\n", command.c_str(),
                     path.c_str(), data.store->attemptCount, *attempt);
        return std::nullopt;
    }
    return static_cast<int32_t>(*attempt - 1);
}

}  // namespace kenvo::cli
