#include <algorithm>
#include <cstdio>
#include <string>

#include "cli_args.h"
#include "cli_data_set.h"
#include "commands.h"
#include "graphs/cop_pictures.h"
#include "graphs/display_geometry.h"
#include "graphs/replay_step.h"
#include "graphs/stance_frames.h"
#include "graphs/stance_view.h"
#include "measurement/sample_metric.h"
#include "render/gui_session.h"
#include "render/image_writers.h"

namespace kenvo::cli {

namespace {

// One picture to render: the loaded data set, the attempt chosen on the command line, the
// image (the view's client area) and the view's drawing state.
struct RenderJob {
    DataSet& data;
    int32_t attempt;
    Rect client;
    DisplayState state;
};

StanceContext stanceContext(RenderJob& job) {
    return StanceContext{.graph = job.data.graph, .store = *job.data.store, .state = job.state, .client = job.client};
}

// The live window after the attempt has been replayed forward to its end, the way the replay
// view leaves it.
void replayToEnd(RenderJob& job) {
    MeasurementStore& store = *job.data.store;
    DisplayState& st = job.state;
    const int32_t n = std::clamp(job.data.graph.timeAxisSeconds * 100, 1, MaxSamples - 1);
    store.liveTrace.reset(n + 1);
    st.traceLength = n;
    st.traceStart = -1;
    st.selectedAttempt = job.attempt;
    st.shownSamples = 0;
    if (job.data.graph.copCentred) {
        const CopSample& first = store.samples(job.attempt)[0];
        st.displayCentreX = sampleMetric(MetricCopX, first, first, store.calibration);
        st.displayCentreY = sampleMetric(MetricCopY, first, first, store.calibration);
    }
    st.replayStep = MaxSamples;
    while (advanceReplay(store, st)) {
    }
}

void drawStance(RenderJob& job, Surface& s) {
    replayToEnd(job);
    repaintStanceView(stanceContext(job), s, {panel::CopPlane, panel::TimeGraph}, true);
}

void drawCopAll(RenderJob& job, Surface& s) {
    job.state.selectedAttempt = job.attempt;
    const StanceContext ctx = stanceContext(job);
    drawCopPlaneFrame(ctx, s, panel::CopPlane);
    showCopPicture(ctx, s, panel::CopPlane, CopPictureAll);
}

struct RenderView {
    const char* name;
    const char* what;
    void (*draw)(RenderJob&, Surface&);
};

// Every view the command can render; a new view is one more row.
constexpr RenderView Views[] = {
    {"stance", "COP plane and time graph of the attempt, replayed to its end", drawStance},
    {"cop-all", "COP plane with the trajectories of all attempts", drawCopAll},
};

constexpr int DefaultWidth = 760;
constexpr int DefaultHeight = 400;

void printUsage(const char* problem) {
    std::fprintf(stderr,
                 "kenvoplat-cli render: %s\n"
                 "usage: kenvoplat-cli render VIEW FILE.kplat [--attempt N] [--width W --height H] -o OUT.png\n"
                 "VIEW:\n",
                 problem);
    for (const RenderView& v : Views) std::fprintf(stderr, "  %-10s %s\n", v.name, v.what);
}

}  // namespace

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
    const auto view = std::find_if(std::begin(Views), std::end(Views),
                                   [&](const RenderView& v) { return viewName == v.name; });
    if (view == std::end(Views)) {
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
    RenderJob job{*data, *index, Rect{0, 0, w, h}, DisplayState{}};
    GuiSession gui;
    std::string error;
    if (!writePng(*args.value("-o"), w, h, [&](Surface& s) { view->draw(job, s); }, error)) {
        std::fprintf(stderr, "kenvoplat-cli render: %s\n", error.c_str());
        return ExitFailure;
    }
    return ExitOk;
}

}  // namespace kenvo::cli
