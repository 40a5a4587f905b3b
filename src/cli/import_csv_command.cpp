#include <charconv>
#include <cmath>
#include <cstdio>
#include <ctime>
#include <fstream>
#include <memory>

#include "cli_args.h"
#include "commands.h"
#include "files/code_page.h"
#include "files/measurement_file.h"
#include "measurement/measurement_store.h"
#include "platform/platform_models.h"

namespace kenvo::cli {

namespace {

constexpr const char* ImportUsage =
    "usage: kenvoplat-cli import-csv [--model M] [--subject NAME] -o FILE.kplat INPUT.csv...\n";

// The longest stance attempt: 300 s at 100 samples per second.
constexpr int32_t MaxImportSamples = 300 * SampleRate;

struct Recording {
    std::vector<double> xMm;
    std::vector<double> yMm;
};

bool parseNumber(std::string_view field, double& value) {
    while (!field.empty() && field.front() == ' ') field.remove_prefix(1);
    while (!field.empty() && (field.back() == ' ' || field.back() == '\r')) field.remove_suffix(1);
    if (field.empty()) return false;
    const auto [end, error] = std::from_chars(field.data(), field.data() + field.size(), value);
    return error == std::errc() && end == field.data() + field.size() && std::isfinite(value);
}

// Reads one "t_s,x_mm,y_mm" recording at 100 samples per second.
bool readRecording(const std::string& path, Recording& r, std::string& error) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        error = "cannot open " + path;
        return false;
    }
    std::string line;
    std::getline(in, line);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line != "t_s,x_mm,y_mm") {
        error = path + ": the first line must be the header t_s,x_mm,y_mm";
        return false;
    }
    double firstTime = 0.0;
    for (long lineNumber = 2; std::getline(in, line); ++lineNumber) {
        if (line.empty() || line == "\r") continue;
        const std::string at = path + " line " + std::to_string(lineNumber);
        const auto c1 = line.find(',');
        const auto c2 = c1 == std::string::npos ? c1 : line.find(',', c1 + 1);
        double t, x, y;
        if (c2 == std::string::npos || line.find(',', c2 + 1) != std::string::npos ||
            !parseNumber(std::string_view(line).substr(0, c1), t) ||
            !parseNumber(std::string_view(line).substr(c1 + 1, c2 - c1 - 1), x) ||
            !parseNumber(std::string_view(line).substr(c2 + 1), y)) {
            error = at + ": expected three numbers t_s,x_mm,y_mm";
            return false;
        }
        const auto index = static_cast<double>(r.xMm.size());
        if (r.xMm.empty()) firstTime = t;
        if (std::fabs(t - firstTime - index / SampleRate) > 0.002) {
            error = at + ": the samples are not 0.01 s apart (100 Hz is needed)";
            return false;
        }
        if (r.xMm.size() == static_cast<std::size_t>(MaxImportSamples)) {
            error = path + ": more than " + std::to_string(MaxImportSamples) +
                    " samples; a stance attempt is at most 300 s long";
            return false;
        }
        r.xMm.push_back(x);
        r.yMm.push_back(y);
    }
    if (in.bad()) {
        error = "cannot read " + path;
        return false;
    }
    if (r.xMm.empty()) {
        error = path + ": no samples";
        return false;
    }
    return true;
}

}  // namespace

int runImportCsv(const std::vector<std::string>& words) {
    Args args(words, {"--model", "--subject", "-o"}, {});
    const long model = args.number("--model", 0, PlatformModelCount - 1).value_or(0);
    if (!args.ok() || args.positional().empty() || !args.value("-o")) {
        std::fprintf(stderr, "kenvoplat-cli import-csv: %s\n%s",
                     !args.ok()                  ? args.error().c_str()
                     : args.positional().empty() ? "at least one input file is needed"
                                                 : "the output file (-o) is needed",
                     ImportUsage);
        return ExitUsage;
    }
    const auto& inputs = args.positional();
    if (inputs.size() > static_cast<std::size_t>(MaxAttempts)) {
        std::fprintf(stderr,
                     "kenvoplat-cli import-csv: %zu inputs; a data set holds at most %d attempts\n",
                     inputs.size(), MaxAttempts);
        return ExitFailure;
    }

    auto store = std::make_unique<MeasurementStore>();
    const ModelScales scales = modelScales(static_cast<int32_t>(model), 0);
    const auto now = static_cast<int64_t>(std::time(nullptr));
    int32_t longest = 0;
    for (std::size_t i = 0; i < inputs.size(); ++i) {
        Recording r;
        std::string error;
        if (!readRecording(inputs[i], r, error)) {
            std::fprintf(stderr, "kenvoplat-cli import-csv: %s\n", error.c_str());
            return ExitFailure;
        }
        const auto attempt = static_cast<int32_t>(i);
        const auto samples = static_cast<int32_t>(r.xMm.size());
        store->beginAttempt(attempt, now, false);
        store->length[i] = samples;
        store->targetLocation[i] = 0;
        CopSample* dest = store->samples(attempt);
        for (int32_t j = 0; j < samples; ++j) {
            const auto k = static_cast<std::size_t>(j);
            dest[j] = CopSample{static_cast<float>(r.xMm[k] / scales.scaleX),
                                static_cast<float>(r.yMm[k] / scales.scaleY), 0};
        }
        longest = std::max(longest, samples);
    }

    TestSettings settings = TestSettings::defaults();
    settings.orientation = 0;
    settings.stanceTime = longest / SampleRate;
    store->settings = settings;
    store->settings.testMode = TestModeStance;
    store->calibration.scaleX = scales.scaleX;
    store->calibration.scaleY = scales.scaleY;
    store->attemptSeconds = settings.stanceTime;
    store->attemptCount = static_cast<int32_t>(inputs.size());
    store->subject.name = utf8ToCp1250(args.value("--subject").value_or(""));

    const std::string output = *args.value("-o");
    if (const FileResult r = saveMeasurementFile(output, *store); !r) {
        std::fprintf(stderr, "kenvoplat-cli import-csv: %s (%s)\n", r.message.c_str(),
                     r.reason.c_str());
        return ExitFailure;
    }
    return ExitOk;
}

}  // namespace kenvo::cli
