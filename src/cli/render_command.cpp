#include <algorithm>
#include <memory>
#include <cstdio>
#include <string>

#include "cli_args.h"
#include "cli_data_set.h"
#include "view_setup.h"
#include "graphs/report_pages.h"
#include "command_help.h"
#include "commands.h"
#include "graphs/cop_pictures.h"
#include "graphs/display_geometry.h"
#include "graphs/replay_step.h"
#include "graphs/stance_frames.h"
#include "graphs/stance_view.h"
#include "model/sample_metric.h"
#include "render/gui_session.h"
#include "render/image_writers.h"

namespace kenvo::cli {

namespace {

void drawStance(ViewSetup& v, Surface& s) {
    v.replayToEnd();
    repaintStanceView(v.context(), s, {panel::CopPlane, panel::TimeGraph}, true);
}

void drawCopAll(ViewSetup& v, Surface& s) {
    v.state.selectedAttempt = v.attempt;
    const StanceContext ctx = v.context();
    drawCopPlaneFrame(ctx, s, panel::CopPlane);
    showCopPicture(ctx, s, panel::CopPlane, CopPictureAll);
}

void drawGraphReport(ViewSetup& v, Surface& s) {
    v.graphReport();
    drawGraphReportPage(v.context(), s, screenReportBoxes());
}

void drawDiffusion(ViewSetup& v, Surface& s) {
    v.diffusionPage(std::nullopt);
    drawDiffusionPage(v.context(), s, v.diffusion, panel::HeaderUpper, panel::HeaderLower, panel::DiffusionGraph);
}

struct RenderView {
    const char* name;
    const char* what;
    void (*draw)(ViewSetup&, Surface&);
};

// Every view the command can render; a new view is one more row.
constexpr RenderView Views[] = {
    {"stance", "COP plane and time graph of the attempt, replayed to its end", drawStance},
    {"cop-all", "COP plane with the trajectories of all attempts", drawCopAll},
    {"graph-report", "the graph report of the whole attempt, cursors at its ends", drawGraphReport},
    {"diffusion", "the diffusion graph of the attempt, the marker at 0", drawDiffusion},
};

constexpr int DefaultWidth = 760;
constexpr int DefaultHeight = 400;

void printUsage(const char* problem) {
    std::fprintf(stderr,
                 "kenvoplat-cli render: %s\n"
                 "usage: kenvoplat-cli render VIEW FILE.kplat [--attempt N] [--width W --height H] -o OUT.png\n"
                 "VIEW:\n",
                 problem);
    std::fputs(renderViewList().c_str(), stderr);
}

}  // namespace

std::string renderViewList() {
    std::string out;
    char line[160];
    for (const auto& v : Views) {
        std::snprintf(line, sizeof line, "  %-10s %s\n", v.name, v.what);
        out += line;
    }
    return out;
}

int runRender(const std::vector<std::string>& words) {
    Args args(words, {"--attempt", "--width", "--height", "-o"}, {});
    const auto attempt = args.number("--attempt", 1, MaxAttempts);
    const auto width = args.number("--width", 1, 10000);
    const auto height = args.number("--height", 1, 10000);
    if (!args.ok() || args.positional().size() != 2 || !args.value("-o")) {
        printUsage(!args.ok()                        ? args.error().c_str()
                   : args.positional().size() != 2 ? "a view and one measurement file are needed"
                                                    : "the output file (-o) is needed");
        return ExitUsage;
    }
    const std::string& viewName = args.positional()[0];
    const auto chosen = std::find_if(std::begin(Views), std::end(Views),
                                   [&](const RenderView& v) { return viewName == v.name; });
    if (chosen == std::end(Views)) {
        printUsage(("unknown view '" + viewName + "'").c_str());
        return ExitUsage;
    }
    const std::string& path = args.positional()[1];
    auto data = loadDataSet("render", path);
    if (!data) return ExitFailure;
    const auto index = attemptIndex("render", *data, attempt, path);
    if (!index) return ExitFailure;

    const int w = static_cast<int>(width.value_or(DefaultWidth));
    const int h = static_cast<int>(height.value_or(DefaultHeight));
    auto view = std::make_unique<ViewSetup>(ViewSetup{*data, *index, Rect{0, 0, w, h}});
    GuiSession gui;
    std::string error;
    if (!writePng(*args.value("-o"), w, h, [&](Surface& s) { chosen->draw(*view, s); }, error)) {
        std::fprintf(stderr, "kenvoplat-cli render: %s\n", error.c_str());
        return ExitFailure;
    }
    return ExitOk;
}

}  // namespace kenvo::cli
