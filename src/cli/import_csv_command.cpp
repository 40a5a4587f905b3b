#include <cstdio>
#include <ctime>
#include <limits>
#include <memory>
#include <vector>

#include "cli_args.h"
#include "commands.h"
#include "files/code_page.h"
#include "files/cop_csv.h"
#include "files/cop_import.h"
#include "files/measurement_file.h"
#include "files/sidecar.h"
#include "model/measurement_store.h"
#include "model/platform_models.h"
#include "model/subject_validation.h"

namespace kenvo::cli {

namespace {

constexpr const char* ImportUsage =
    "usage: kenvoplat-cli import-csv [--model M] [--subject NAME] [--sex F|M] [--height CM]\n"
    "         [--weight KG] [--code CODE] [--birth-date YYYY-MM-DD] [--conditions C1,C2,...]\n"
    "         [--recorded-at YYYY-MM-DDTHH:MM:SSZ] -o FILE.kplat INPUT.csv...\n";

// The longest stance attempt: 300 s at 100 samples per second.
constexpr int32_t MaxImportSamples = 300 * SampleRate;

// The conditions of the sensory test, one per attempt.
constexpr const char* Conditions[] = {"eo-firm", "ec-firm", "eo-foam", "ec-foam"};

int usageError(const std::string& message) {
    std::fprintf(stderr, "kenvoplat-cli import-csv: %s\n%s", message.c_str(), ImportUsage);
    return ExitUsage;
}

bool digits(const std::string& text, std::size_t from, std::size_t count) {
    for (std::size_t i = from; i < from + count; ++i)
        if (text[i] < '0' || text[i] > '9') return false;
    return true;
}

// "YYYY-MM-DDTHH:MM:SSZ" as seconds since 1970; a data file keeps a start time in 32 bits
// without sign (until 2106).
std::optional<int64_t> parseUtcTime(const std::string& text) {
    if (text.size() != 20 || text[10] != 'T' || text[13] != ':' || text[16] != ':' ||
        text[19] != 'Z' || !isCalendarDate(text.substr(0, 10)) || !digits(text, 11, 2) ||
        !digits(text, 14, 2) || !digits(text, 17, 2))
        return std::nullopt;
    std::tm tm{};
    tm.tm_year = std::stoi(text.substr(0, 4)) - 1900;
    tm.tm_mon = std::stoi(text.substr(5, 2)) - 1;
    tm.tm_mday = std::stoi(text.substr(8, 2));
    tm.tm_hour = std::stoi(text.substr(11, 2));
    tm.tm_min = std::stoi(text.substr(14, 2));
    tm.tm_sec = std::stoi(text.substr(17, 2));
    if (tm.tm_hour > 23 || tm.tm_min > 59 || tm.tm_sec > 59) return std::nullopt;
    const int64_t seconds = ::timegm(&tm);
    if (seconds < 0 || seconds > std::numeric_limits<uint32_t>::max()) return std::nullopt;
    return seconds;
}

std::optional<std::vector<std::optional<std::string>>> parseConditions(const std::string& text) {
    std::vector<std::optional<std::string>> list;
    std::size_t start = 0;
    while (true) {
        const std::size_t comma = text.find(',', start);
        const std::string item = text.substr(start, comma - start);
        bool known = false;
        for (const char* c : Conditions) known = known || item == c;
        if (!known) return std::nullopt;
        list.emplace_back(item);
        if (comma == std::string::npos) return list;
        start = comma + 1;
    }
}

// What the options say about the subject and the visit, checked before anything is read.
struct ImportOptions {
    SubjectRecord subject;
    Sidecar sidecar;
    bool writeSidecar = false;
    int64_t start = 0;
};

std::optional<ImportOptions> readOptions(Args& args, std::size_t inputs, std::string& error) {
    ImportOptions o;
    o.subject.name = utf8ToCp1250(args.value("--subject").value_or(""));
    const std::string sex = args.value("--sex").value_or("F");
    if (sex != "F" && sex != "M") {
        error = "option --sex takes F or M";
        return std::nullopt;
    }
    o.subject.sex = sex == "M" ? 1 : 0;
    o.subject.height =
        static_cast<int32_t>(args.number("--height", 0, MaxSubjectHeight).value_or(0));
    o.subject.weight =
        static_cast<int32_t>(args.number("--weight", 0, MaxSubjectWeight).value_or(0));
    if (!args.ok()) {
        error = args.error();
        return std::nullopt;
    }
    if (const auto code = args.value("--code")) {
        if (code->empty()) {
            error = "option --code takes a patient code that is not empty";
            return std::nullopt;
        }
        o.sidecar.patientCode = *code;
    }
    if (const auto date = args.value("--birth-date")) {
        if (!isCalendarDate(*date)) {
            error = "option --birth-date takes a date YYYY-MM-DD, not " + *date;
            return std::nullopt;
        }
        o.sidecar.birthDate = *date;
    }
    if (const auto list = args.value("--conditions")) {
        o.sidecar.conditions = parseConditions(*list);
        if (!o.sidecar.conditions) {
            error =
                "option --conditions takes eo-firm, ec-firm, eo-foam or ec-foam, separated "
                "by commas";
            return std::nullopt;
        }
        if (o.sidecar.conditions->size() != inputs) {
            error = "option --conditions names " + std::to_string(o.sidecar.conditions->size()) +
                    " conditions for " + std::to_string(inputs) + " input files";
            return std::nullopt;
        }
        o.sidecar.protocol = "sensory";
    }
    o.writeSidecar = o.sidecar.patientCode || o.sidecar.birthDate || o.sidecar.conditions;
    o.start = static_cast<int64_t>(std::time(nullptr));
    if (const auto when = args.value("--recorded-at")) {
        const auto seconds = parseUtcTime(*when);
        if (!seconds) {
            error =
                "option --recorded-at takes a time YYYY-MM-DDTHH:MM:SSZ (UTC, 1970 to 2106), "
                "not " +
                *when;
            return std::nullopt;
        }
        o.start = *seconds;
    }
    return o;
}

}  // namespace

int runImportCsv(const std::vector<std::string>& words) {
    Args args(words,
              {"--model", "--subject", "-o", "--sex", "--height", "--weight", "--code",
               "--birth-date", "--conditions", "--recorded-at"},
              {});
    const long model = args.number("--model", 0, PlatformModelCount - 1).value_or(0);
    if (!args.ok()) return usageError(args.error());
    if (args.positional().empty()) return usageError("at least one input file is needed");
    if (!args.value("-o")) return usageError("the output file (-o) is needed");
    const auto& inputs = args.positional();
    std::string optionError;
    const auto options = readOptions(args, inputs.size(), optionError);
    if (!options) return usageError(optionError);
    if (inputs.size() > static_cast<std::size_t>(MaxAttempts)) {
        std::fprintf(stderr,
                     "kenvoplat-cli import-csv: %zu inputs; a data set holds at most %d attempts\n",
                     inputs.size(), MaxAttempts);
        return ExitFailure;
    }

    auto store = std::make_unique<MeasurementStore>();
    // Each attempt starts when the one before it ended, as they would have been recorded.
    int64_t start = options->start;
    for (std::size_t i = 0; i < inputs.size(); ++i) {
        std::vector<CopPoint> r;
        std::string error;
        if (!readCopCsv(inputs[i], r, error, MaxImportSamples)) {
            // A stance attempt is at most 300 s, so longer recordings are refused.
            std::fprintf(stderr, "kenvoplat-cli import-csv: %s\n", error.c_str());
            return ExitFailure;
        }
        if (start > std::numeric_limits<uint32_t>::max()) {
            std::fprintf(stderr,
                         "kenvoplat-cli import-csv: attempt %zu would start after 2106, which a "
                         "data file cannot hold\n",
                         i + 1);
            return ExitFailure;
        }
        importCopAttempt(*store, static_cast<int32_t>(i), r, static_cast<int32_t>(model), start);
        start += (static_cast<int64_t>(r.size()) + SampleRate / 2) / SampleRate;
    }
    finishCopImport(*store, static_cast<int32_t>(inputs.size()), static_cast<int32_t>(model));
    store->subject = options->subject;

    const std::string output = *args.value("-o");
    if (const FileResult r = saveMeasurementFile(output, *store); !r) {
        std::fprintf(stderr, "kenvoplat-cli import-csv: %s (%s)\n", r.message.c_str(),
                     r.reason.c_str());
        return ExitFailure;
    }
    // Written after the measurement file, so it carries that file's size and time.
    if (options->writeSidecar) {
        std::string error;
        if (!writeSidecar(output, options->sidecar, error)) {
            std::fprintf(stderr,
                         "kenvoplat-cli import-csv: %s was written, but not its subject details "
                         "%s: %s\n",
                         output.c_str(), sidecarPathOf(output).c_str(), error.c_str());
            return ExitFailure;
        }
    }
    return ExitOk;
}

}  // namespace kenvo::cli
