#include <clocale>
#include <cstdio>

#include "analysis/text_format.h"
#include "cli_args.h"
#include "cli_output.h"
#include "clinical/norms.h"
#include "commands.h"

namespace kenvo::cli {

namespace {

constexpr const char* NormsUsage = "usage: kenvoplat-cli norms [--format text|csv]\n";

// For people: one aligned line per row, numbers with four significant digits in the user's
// locale, then where the values come from.
std::string personText() {
    std::setlocale(LC_NUMERIC, "");
    std::string out =
        formatText("%-6s %-7s %-8s %-14s %4s %9s %9s %9s %9s %9s %9s %9s\n", "group", "vision",
                   "surface", "measure", "n", "mean", "sd", "p5", "p25", "p50", "p75", "p95");
    for (const NormRow& row : normsTable()) {
        out += formatText(
            "%-6s %-7s %-8s %-14s %4d %9.4g %9.4g", std::string(ageGroupName(row.ageGroup)).c_str(),
            std::string(visionName(row.vision)).c_str(),
            std::string(surfaceName(row.surface)).c_str(),
            std::string(normMeasureName(row.measure)).c_str(), row.subjects, row.mean, row.sd);
        for (double cut : row.percentile) out += formatText(" %9.4g", cut);
        out += '\n';
    }
    std::setlocale(LC_NUMERIC, "C");
    return out +
           "\nYoung: 18-59 years, Old: 60 and over. Per subject the median of their\n"
           "60 s trials (three as a rule); n subjects, their mean, standard deviation and "
           "percentiles.\n"
           "Units: mm^2, mm/s, Hz.\n" +
           std::string(NormsSource) + "\n";
}

}  // namespace

int runNorms(const std::vector<std::string>& words) {
    Args args(words, {"--format"}, {});
    const std::string format = args.value("--format").value_or("text");
    const std::string problem = !args.ok()                            ? args.error()
                                : !args.positional().empty()          ? "takes no file"
                                : format != "text" && format != "csv" ? "--format takes text or csv"
                                                                      : "";
    if (!problem.empty()) {
        std::fprintf(stderr, "kenvoplat-cli norms: %s\n%s", problem.c_str(), NormsUsage);
        return ExitUsage;
    }
    std::string error;
    if (!writeOutput(std::nullopt, format == "csv" ? normsCsv() : personText(), error)) {
        std::fprintf(stderr, "kenvoplat-cli norms: %s\n", error.c_str());
        return ExitFailure;
    }
    return ExitOk;
}

}  // namespace kenvo::cli
