#include <clocale>
#include <cstdio>

#include "cli_args.h"
#include "cli_output.h"
#include "clinical/clinical_measures.h"
#include "clinical/sensory_output.h"
#include "commands.h"
#include "files/file_bytes.h"
#include "lowpass_option.h"
#include "reports/sensory_session.h"
#include "sensory_data_set.h"

namespace kenvo::cli {

namespace {

constexpr const char* SensoryUsage =
    "usage: kenvoplat-cli sensory FILE.kplat [--lowpass none|HZ] [--format text|csv|json] "
    "[-o OUT]\n";

}  // namespace

int runSensory(const std::vector<std::string>& words) {
    Args args(words, {"--lowpass", "--format", "-o"}, {});
    const std::string format = args.value("--format").value_or("text");
    std::optional<double> lowPass = DefaultLowPassHz;
    std::string problem = !args.ok()                      ? args.error()
                          : args.positional().size() != 1 ? "one measurement file is needed"
                          : format != "text" && format != "csv" && format != "json"
                              ? "--format takes text, csv or json"
                              : "";
    if (problem.empty() && args.has("--lowpass") &&
        !parseLowPassOption(*args.value("--lowpass"), lowPass))
        problem = LowPassOptionProblem;
    if (!problem.empty()) {
        std::fprintf(stderr, "kenvoplat-cli sensory: %s\n%s", problem.c_str(), SensoryUsage);
        return ExitUsage;
    }
    const std::string& path = args.positional().front();
    const auto set = loadSensoryDataSet("sensory", path);
    if (!set) return ExitFailure;
    const SensorySession session = analyseSensorySession(*set->data.store, set->sidecar, lowPass);
    if (!session.hasConditions) {
        std::fprintf(
            stderr,
            "kenvoplat-cli sensory: %s holds no sensory balance test: none of its attempts "
            "has a condition (they are kept in %s)\n",
            fileNameOf(path).c_str(), fileNameOf(sidecarPathOf(path)).c_str());
        return ExitFailure;
    }
    std::string text;
    if (format == "csv") {
        text = sensoryCsv(session.results);
    } else if (format == "json") {
        text = sensoryJson(session.results);
    } else {
        std::setlocale(LC_NUMERIC, "");
        text = sensoryText(session.results);
        std::setlocale(LC_NUMERIC, "C");
    }
    std::string error;
    if (!writeOutput(args.value("-o"), text, error)) {
        std::fprintf(stderr, "kenvoplat-cli sensory: %s\n", error.c_str());
        return ExitFailure;
    }
    return ExitOk;
}

}  // namespace kenvo::cli
