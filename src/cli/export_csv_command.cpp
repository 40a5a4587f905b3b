#include <cstdio>
#include <memory>

#include "cli_args.h"
#include "cli_output.h"
#include "commands.h"
#include "files/measurement_file.h"
#include "model/graph_settings.h"
#include "model/measurement_store.h"
#include "model/sample_metric.h"

namespace kenvo::cli {

namespace {

constexpr const char* ExportUsage =
    "usage: kenvoplat-cli export-csv FILE.kplat [--attempt N] [-o FILE.csv]\n";

// "12.34" for sample 1234: the time of a sample at 100 per second, exact and locale-free.
std::string sampleTime(int32_t j) {
    const int32_t hundredths = j % SampleRate;
    return std::to_string(j / SampleRate) + (hundredths < 10 ? ".0" : ".") +
           std::to_string(hundredths);
}

void appendAttempt(const MeasurementStore& store, int32_t attempt, std::string& out) {
    const PlatformCalibration& cal = store.calibration;
    const CopSample* samples = store.samples(attempt);
    const std::string number = std::to_string(attempt + 1) + ",";
    const int32_t length = store.length[static_cast<std::size_t>(attempt)];
    for (int32_t j = 0; j < length; ++j) {
        const CopSample& s = samples[j];
        const int32_t flat = attempt * MaxSamples + j;
        out += number;
        out += sampleTime(j);
        out += ',';
        out += fixed(sampleMetric(MetricCopX, s, s, cal), 5);
        out += ',';
        out += fixed(sampleMetric(MetricCopY, s, s, cal), 5);
        out += ',';
        out += std::to_string(static_cast<int32_t>(sampleMetric(MetricHeartRate, s, s, cal)));
        out += ',';
        out += fixed(sampleMetric(MetricDeviation, s, s, cal, flat, &store), 5);
        out += '\n';
    }
}

}  // namespace

int runExportCsv(const std::vector<std::string>& words) {
    Args args(words, {"--attempt", "-o"}, {});
    const auto attempt = args.number("--attempt", 1, MaxAttempts);
    if (!args.ok() || args.positional().size() != 1) {
        std::fprintf(stderr, "kenvoplat-cli export-csv: %s\n%s",
                     args.ok() ? "one measurement file is needed" : args.error().c_str(),
                     ExportUsage);
        return ExitUsage;
    }
    const std::string& path = args.positional().front();
    auto store = std::make_unique<MeasurementStore>();
    GraphSettings graph;
    if (const FileResult r = loadMeasurementFile(path, *store, graph); !r) {
        std::fprintf(stderr, "kenvoplat-cli export-csv: %s (%s)\n", r.message.c_str(),
                     r.reason.c_str());
        return ExitFailure;
    }
    if (attempt && *attempt > store->attemptCount) {
        std::fprintf(stderr,
                     "kenvoplat-cli export-csv: %s has %d attempts; there is no attempt %ld\n",
                     path.c_str(), store->attemptCount, *attempt);
        return ExitFailure;
    }
    std::string out = "attempt,t_s,x_mm,y_mm,heart_bpm,deviation_mm\n";
    const int32_t first = attempt ? static_cast<int32_t>(*attempt - 1) : 0;
    const int32_t last = attempt ? first + 1 : store->attemptCount;
    for (int32_t i = first; i < last; ++i) appendAttempt(*store, i, out);
    std::string error;
    if (!writeOutput(args.value("-o"), out, error)) {
        std::fprintf(stderr, "kenvoplat-cli export-csv: %s\n", error.c_str());
        return ExitFailure;
    }
    return ExitOk;
}

}  // namespace kenvo::cli
