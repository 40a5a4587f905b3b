#include <cstdio>
#include <ctime>
#include <memory>
#include <vector>

#include "cli_args.h"
#include "commands.h"
#include "files/code_page.h"
#include "files/cop_csv.h"
#include "files/cop_import.h"
#include "files/measurement_file.h"
#include "model/measurement_store.h"
#include "model/platform_models.h"

namespace kenvo::cli {

namespace {

constexpr const char* ImportUsage =
    "usage: kenvoplat-cli import-csv [--model M] [--subject NAME] -o FILE.kplat INPUT.csv...\n";

// The longest stance attempt: 300 s at 100 samples per second.
constexpr int32_t MaxImportSamples = 300 * SampleRate;

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
    const auto now = static_cast<int64_t>(std::time(nullptr));
    for (std::size_t i = 0; i < inputs.size(); ++i) {
        std::vector<CopPoint> r;
        std::string error;
        if (!readCopCsv(inputs[i], r, error, MaxImportSamples)) {
            // A stance attempt is at most 300 s, so longer recordings are refused.
            std::fprintf(stderr, "kenvoplat-cli import-csv: %s\n", error.c_str());
            return ExitFailure;
        }
        importCopAttempt(*store, static_cast<int32_t>(i), r, static_cast<int32_t>(model), now);
    }
    finishCopImport(*store, static_cast<int32_t>(inputs.size()), static_cast<int32_t>(model));
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
