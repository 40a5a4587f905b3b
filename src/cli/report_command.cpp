#include <cstdio>

#include "cli_args.h"
#include "commands.h"
#include "lowpass_option.h"
#include "render/gui_session.h"
#include "render/image_writers.h"
#include "render/report_setup_store.h"
#include "reports/clinical_report_builder.h"
#include "sensory_data_set.h"

namespace kenvo::cli {

namespace {

constexpr const char* ReportUsage =
    "usage: kenvoplat-cli report FILE.kplat -o REPORT.pdf [--clinic TEXT] [--logo FILE] "
    "[--lowpass none|HZ]\n";

}  // namespace

int runReport(const std::vector<std::string>& words) {
    Args args(words, {"-o", "--clinic", "--logo", "--lowpass"}, {});
    std::optional<double> lowPass = DefaultLowPassHz;
    std::string problem = !args.ok()                      ? args.error()
                          : args.positional().size() != 1 ? "one measurement file is needed"
                          : !args.value("-o")             ? "the output file (-o) is needed"
                                                          : "";
    if (problem.empty() && args.has("--lowpass") &&
        !parseLowPassOption(*args.value("--lowpass"), lowPass))
        problem = LowPassOptionProblem;
    if (!problem.empty()) {
        std::fprintf(stderr, "kenvoplat-cli report: %s\n%s", problem.c_str(), ReportUsage);
        return ExitUsage;
    }
    const std::string& path = args.positional().front();
    const auto set = loadSensoryDataSet("report", path);
    if (!set) return ExitFailure;

    GuiSession gui;
    // The window's report set-up, unless the command line names the clinic or the logo.
    const StoredReportSetup stored = readUserReportSetup();
    ReportSetup setup;
    setup.programVersion = KENVOPLAT_VERSION;
    setup.clinicName = args.value("--clinic").value_or(stored.clinicName);
    const std::string logo = args.value("--logo").value_or(stored.logoPath);
    std::string error;
    if (!logo.empty() && !loadLogo(logo, setup.logo, error)) {
        std::fprintf(stderr, "kenvoplat-cli report: %s\n", error.c_str());
        return ExitFailure;
    }

    const SensorySession session = analyseSensorySession(*set->data.store, set->sidecar, lowPass);
    const ClinicalReportContent page =
        buildClinicalReport(*set->data.store, set->sidecar, session, setup);
    PdfOptions options;
    options.title = page.title;
    options.access = FileAccess::Private;  // the patient's name and birth date
    if (!writePdf(
            *args.value("-o"), 1, [&](Surface& s, int) { drawClinicalReport(s, page); }, error,
            options)) {
        std::fprintf(stderr, "kenvoplat-cli report: %s\n", error.c_str());
        return ExitFailure;
    }
    return ExitOk;
}

}  // namespace kenvo::cli
