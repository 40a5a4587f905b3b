#include <algorithm>
#include <cstdio>
#include <memory>
#include <optional>
#include <string>

#include "analysis/table_rows.h"
#include "cli_args.h"
#include "cli_data_set.h"
#include "command_help.h"
#include "commands.h"
#include "render/gui_session.h"
#include "render/image_writers.h"
#include "reports/printed_report.h"
#include "reports/view_print.h"
#include "view_setup.h"

namespace kenvo::cli {

namespace {

struct PrintView {
    const char* name;
    int32_t viewMode;
    const char* what;
};

// The view modes "Print..." prints: the six tables and the three graph pages.
constexpr PrintView PrintViews[] = {
    {"summary", 4, "the Summary table"},
    {"interval", 5, "the Interval Summary of the attempt (--interval L seconds)"},
    {"attempt", 3, "the per-sample table of the attempt"},
    {"target", 10, "the Target Summary"},
    {"driving", 12, "the Driving Summary of the attempt"},
    {"frequency", 13, "the Frequency Analysis"},
    {"graph-report", 8, "the graph report of the whole attempt, cursors at its ends"},
    {"diffusion", 7, "the diffusion graph of the attempt (--marker L also fits the lines)"},
    {"replay", 2, "the attempt replayed to its end"},
};

void printUsage(const char* problem) {
    std::fprintf(stderr,
                 "kenvoplat-cli print: %s\n"
                 "usage: kenvoplat-cli print VIEW FILE.kplat [--attempt N] [--interval L] [--marker L] -o OUT.pdf\n"
                 "VIEW:\n",
                 problem);
    std::fputs(printViewList().c_str(), stderr);
}

}  // namespace

std::string printViewList() {
    std::string out;
    char line[160];
    for (const auto& v : PrintViews) {
        std::snprintf(line, sizeof line, "  %-13s %s\n", v.name, v.what);
        out += line;
    }
    return out;
}

int runPrint(const std::vector<std::string>& words) {
    Args args(words, {"--attempt", "--interval", "--marker", "-o"}, {});
    const auto attempt = args.number("--attempt", 1, MaxAttempts);
    const auto interval = args.number("--interval", 1, 300);
    const auto marker = args.number("--marker", 0, 1000);
    if (!args.ok() || args.positional().size() != 2 || !args.value("-o")) {
        printUsage(!args.ok()                        ? args.error().c_str()
                   : args.positional().size() != 2 ? "a view and one measurement file are needed"
                                                    : "the output file (-o) is needed");
        return ExitUsage;
    }
    const std::string& name = args.positional()[0];
    const auto view = std::find_if(std::begin(PrintViews), std::end(PrintViews),
                                   [&](const PrintView& v) { return name == v.name; });
    if (view == std::end(PrintViews)) {
        printUsage(("unknown view '" + name + "'").c_str());
        return ExitUsage;
    }
    const std::string& path = args.positional()[1];
    auto data = loadDataSet("print", path);
    if (!data) return ExitFailure;
    if (isSummaryTable(view->viewMode) &&
        !tableSuitsDataSet("print", static_cast<SummaryTable>(view->viewMode), *data, path))
        return ExitFailure;
    const auto index = attemptIndex("print", *data, attempt, path);
    if (!index) return ExitFailure;

    auto setup = std::make_unique<ViewSetup>(ViewSetup{*data, *index});
    std::optional<TableContent> table;
    if (isSummaryTable(view->viewMode)) {
        table = buildTable(static_cast<SummaryTable>(view->viewMode), *data->store,
                           {*index, static_cast<int32_t>(interval.value_or(1)), 1.0f});
    } else if (view->viewMode == 2) {
        setup->replayToEnd();
    } else if (view->viewMode == 8) {
        setup->graphReport();
    } else if (view->viewMode == 7) {
        setup->diffusionPage(marker ? std::optional<int32_t>(static_cast<int32_t>(*marker)) : std::nullopt);
    }
    const PrintJob job{view->viewMode, table ? &*table : nullptr, data->store->settings.testMode,
                       table ? static_cast<int32_t>(table->rows.size()) : 0};
    const StanceContext ctx = setup->context();
    ViewPrintedGraphs graphs(ctx, &setup->diffusion);
    graphs.viewMode = view->viewMode;

    GuiSession gui;
    std::string error;
    PdfOptions options;
    options.title = std::string(reportTitle(view->viewMode));
    options.marginMm = 5.0;  // 200 mm of printable width: the widest table is 2000 units
    const int pages = jobPageCount(job);
    if (!writePdf(*args.value("-o"), pages,
                  [&](Surface& s, int page) { drawPrintedPage(s, job, page, graphs); }, error, options)) {
        std::fprintf(stderr, "kenvoplat-cli print: %s\n", error.c_str());
        return ExitFailure;
    }
    return ExitOk;
}

}  // namespace kenvo::cli
