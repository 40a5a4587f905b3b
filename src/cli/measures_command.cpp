#include <nlohmann/json.hpp>

#include <algorithm>
#include <charconv>
#include <clocale>
#include <cstdio>

#include "analysis/text_format.h"
#include "cli_args.h"
#include "cli_output.h"
#include "lowpass_option.h"
#include "commands.h"
#include "model/limits.h"
#include "reports/clinical_inputs.h"

namespace kenvo::cli {

namespace {

constexpr const char* MeasuresUsage =
    "usage: kenvoplat-cli measures FILE... [--attempt N] [--lowpass none|HZ] [--format "
    "text|csv|json] [-o OUT]\n";

nlohmann::ordered_json jsonValue(const std::optional<double>& v) {
    return v ? nlohmann::ordered_json(*v) : nlohmann::ordered_json(nullptr);
}

std::string jsonText(const std::vector<ClinicalRow>& rows) {
    auto array = nlohmann::ordered_json::array();
    for (const ClinicalRow& row : rows) {
        nlohmann::ordered_json object;
        object["file"] = row.file;
        object["attempt"] = row.attempt;
        for (std::size_t i = 0; i < ClinicalMeasureCount; ++i) {
            const auto& value = row.measures.values[i];
            const std::string key(clinicalMeasureInfo()[i].column);
            // The sample count is a whole number.
            if (static_cast<ClinicalMeasure>(i) == ClinicalMeasure::SampleCount && value)
                object[key] = static_cast<long long>(*value);
            else
                object[key] = jsonValue(value);
        }
        object["lowpass_hz"] = jsonValue(row.measures.lowPassHz);
        array.push_back(std::move(object));
    }
    // Invalid UTF-8 in a file name is replaced rather than refused.
    return array.dump(2, ' ', false, nlohmann::ordered_json::error_handler_t::replace) + "\n";
}

// For people: one block per attempt, labels and units aligned, numbers in the user's locale.
std::string personText(const std::vector<ClinicalRow>& rows, bool filterAsked) {
    std::size_t labelWidth = 0;
    for (const ClinicalMeasureInfo& info : clinicalMeasureInfo())
        labelWidth = std::max(labelWidth, info.label.size());
    std::setlocale(LC_NUMERIC, "");
    std::string out;
    for (const ClinicalRow& row : rows) {
        if (!out.empty()) out += '\n';
        const auto& cutoff = row.measures.lowPassHz;
        const std::string filter = cutoff        ? formatText("low-pass %g Hz", *cutoff)
                                   : filterAsked ? std::string("unfiltered (too short)")
                                                 : std::string("no low-pass");
        out += row.file + ", attempt " + std::to_string(row.attempt) + ", " + filter + "\n";
        for (std::size_t i = 0; i < ClinicalMeasureCount; ++i) {
            const ClinicalMeasureInfo& info = clinicalMeasureInfo()[i];
            const auto& value = row.measures.values[i];
            const std::string number = value ? formatText("%.6g", *value) : std::string("n/a");
            out += formatText("  %-*s %14s", static_cast<int>(labelWidth),
                              std::string(info.label).c_str(), number.c_str());
            if (value && !info.unit.empty()) out += " " + std::string(info.unit);
            out += '\n';
        }
    }
    std::setlocale(LC_NUMERIC, "C");
    return out;
}

}  // namespace

int runMeasures(const std::vector<std::string>& words) {
    Args args(words, {"--attempt", "--lowpass", "--format", "-o"}, {});
    const auto attempt = args.number("--attempt", 1, MaxAttempts);
    ClinicalInputOptions options;
    options.attempt = attempt ? std::optional<int>(static_cast<int>(*attempt)) : std::nullopt;
    const std::string format = args.value("--format").value_or("text");
    std::string problem = !args.ok()                  ? args.error()
                          : args.positional().empty() ? "at least one input file is needed"
                          : format != "text" && format != "csv" && format != "json"
                              ? "--format takes text, csv or json"
                              : "";
    if (problem.empty() && args.has("--lowpass") &&
        !parseLowPassOption(*args.value("--lowpass"), options.lowPassHz))
        problem = "--lowpass takes none or a number of hertz from 1 to 20";
    if (!problem.empty()) {
        std::fprintf(stderr, "kenvoplat-cli measures: %s\n%s", problem.c_str(), MeasuresUsage);
        return ExitUsage;
    }

    // Every input is read and analysed before anything is written.
    std::vector<ClinicalRow> rows;
    std::string error;
    if (!analyseClinicalFiles(args.positional(), options, rows, error)) {
        std::fprintf(stderr, "kenvoplat-cli measures: %s\n", error.c_str());
        return ExitFailure;
    }
    const std::string text = format == "csv"    ? clinicalCsv(rows)
                             : format == "json" ? jsonText(rows)
                                                : personText(rows, options.lowPassHz.has_value());
    if (!writeOutput(args.value("-o"), text, error)) {
        std::fprintf(stderr, "kenvoplat-cli measures: %s\n", error.c_str());
        return ExitFailure;
    }
    return ExitOk;
}

}  // namespace kenvo::cli
