// The user-interface thread's cost of one stance tick, and the program's resident memory while
// a stance test records ten attempts.
#include <benchmark/benchmark.h>

#include <QImage>
#include <QPainter>
#include <chrono>
#include <cmath>
#include <fstream>
#include <memory>
#include <string>
#include <thread>

#include "graphs/display_geometry.h"
#include "graphs/scaled_surface.h"
#include "graphs/stance_view.h"
#include "platform/dispatcher.h"
#include "platform/platform_link.h"
#include "platform/simulated_bus.h"
#include "procedures/stance_procedure.h"
#include "render/qpainter_surface.h"

namespace kenvo {
namespace {

long residentKb() {
    std::ifstream status("/proc/self/status");
    std::string key;
    long value = 0;
    while (status >> key) {
        if (key == "VmRSS:") {
            status >> value;
            return value;
        }
        status.ignore(1 << 10, '\n');
    }
    return 0;
}

// Both stance panels over the longest COP trace (3000 points) and a 30 s time graph, drawn at
// a scale given in tenths: 10 at the window's first size, 20 for a window twice as large (or
// the first size on a screen of two device pixels per pixel), 15 between whole numbers.
struct LiveStanceScene {
    explicit LiveStanceScene(int64_t scaleTenths)
        : store(std::make_unique<MeasurementStore>()),
          graph(GraphSettings::defaults()),
          scale(static_cast<double>(scaleTenths) / 10.0),
          backing(static_cast<int>(800 * scale), static_cast<int>(560 * scale),
                  QImage::Format_RGB32) {
        store->calibration = PlatformCalibration{175.0f, 276.0f, {0, 0, 0, 0}};
        graph.timeAxisSeconds = 30;
        graph.copTraceLength = 3000;
        display.traceLength = graph.timeAxisSeconds * SampleRate;
        store->liveTrace.reset(display.traceLength + 1);
        for (int i = 0; i < display.traceLength; ++i) push();
        backing.fill(Qt::white);
    }
    // The next sample of a slow sway, as the reader thread hands it on.
    void push() {
        const float t = static_cast<float>(pushed++) * 0.01f;
        store->liveTrace.pushRecorded(
            CopSample{0.02f * std::sin(t), 0.03f * std::cos(0.7f * t), 72});
    }
    // Runs `draw` on the backing image at the scene's scale.
    template <typename Draw>
    void paint(Draw&& draw) {
        QPainter painter(&backing);
        QPainterSurface device(painter, QPainterSurface::Mapping::Screen);
        ScaledSurface surface(device, scale);
        StanceContext ctx{graph, *store, display};
        draw(ctx, surface);
    }

    std::unique_ptr<MeasurementStore> store;
    GraphSettings graph;
    DisplayState display;
    double scale;
    QImage backing;
    int64_t pushed = 0;
    const StancePanels panels{panel::CopPlane, panel::TimeGraph};
};

// One tick of the live display: five new samples arrive between ticks, as at 100 per second.
void BM_StanceTick(benchmark::State& state) {
    LiveStanceScene scene(state.range(0));
    scene.paint(
        [&](StanceContext& ctx, Surface& s) { repaintStanceView(ctx, s, scene.panels, false); });
    for (auto _ : state) {
        for (int i = 0; i < 5; ++i) scene.push();
        scene.paint([&](StanceContext& ctx, Surface& s) {
            stanceTick(ctx, s, scene.panels, static_cast<int32_t>(scene.pushed));
        });
    }
}
BENCHMARK(BM_StanceTick)->Arg(10)->Arg(15)->Arg(20)->Unit(benchmark::kMillisecond);

// A whole redraw of both panels, as a resize or a change of mode draws them.
void BM_StanceRedraw(benchmark::State& state) {
    LiveStanceScene scene(state.range(0));
    for (auto _ : state) {
        scene.backing.fill(Qt::white);
        scene.paint([&](StanceContext& ctx, Surface& s) {
            repaintStanceView(ctx, s, scene.panels, false);
        });
    }
}
BENCHMARK(BM_StanceRedraw)->Arg(10)->Arg(15)->Arg(20)->Unit(benchmark::kMillisecond);

class QuietPort final : public HeadlessProcedurePort {
  public:
    QuietPort() : HeadlessProcedurePort(true) {}
};

// Ten 30 s attempts on a simulated platform at 100 times real time. The store reserves 310 MB
// and more; only the attempts recorded should become resident.
void BM_TenAttemptStanceTestResidentMemory(benchmark::State& state) {
    for (auto _ : state) {
        const long before = residentKb();
        SimulatedBus bus(SimulatedBus::Options{100.0});
        bus.add({0, 70.0, nullptr, 1});
        auto store = std::make_unique<MeasurementStore>();
        Settings settings;
        settings.test = TestSettings::defaults();
        settings.test.stanceTime = 30;
        settings.graph = GraphSettings::defaults();
        Dispatcher dispatcher(store->liveTrace);
        PlatformLink link(bus, dispatcher, settings.test, settings.calibration);
        DisplayState display;
        QuietPort port;
        StanceProcedure stance(*store, settings, link, display, port);
        if (!stance.newTest()) {
            state.SkipWithError("the simulated platform did not arm");
            return;
        }
        long peak = residentKb();
        for (int a = 0; a < 10; ++a) {
            stance.start();
            do {
                std::this_thread::sleep_for(std::chrono::milliseconds(5));
                display.shownSamples = stance.recordedSamples();
                peak = std::max(peak, residentKb());
            } while (!stance.afterTick());
        }
        stance.exit();
        state.counters["rss_before_MB"] = static_cast<double>(before) / 1024.0;
        state.counters["rss_peak_MB"] = static_cast<double>(peak) / 1024.0;
        state.counters["attempts"] = store->attemptCount;
        state.counters["recorded_MB"] = static_cast<double>(store->attemptCount) * 3000.0 *
                                        sizeof(CopSample) / (1024.0 * 1024.0);
    }
}
BENCHMARK(BM_TenAttemptStanceTestResidentMemory)->Iterations(1)->Unit(benchmark::kSecond);

}  // namespace
}  // namespace kenvo
