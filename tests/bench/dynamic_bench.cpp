// The user-interface thread's cost of one frame of the dynamic tests, drawn as the window
// draws it: the target frame (hit decision over the new samples, then the whole display) every
// 50 ms, and the driving square (track, marker, deviation line) every 55 ms.
#include <benchmark/benchmark.h>

#include <QImage>
#include <QPainter>
#include <cmath>
#include <cstdlib>
#include <memory>

#include "graphs/display_geometry.h"
#include "graphs/driving_display.h"
#include "graphs/target_display.h"
#include "model/measurement_store.h"
#include "procedures/target_placement.h"
#include "procedures/track_generator.h"
#include "platform/acquisition_control.h"
#include "render/qpainter_surface.h"

namespace kenvo {
namespace {

constexpr Rect Client{0, 0, 1280, 1000};  // a full-screen view

void BM_TargetFrame(benchmark::State& state) {
    auto store = std::make_unique<MeasurementStore>();
    const PlatformCalibration calibration{175.0f, 276.0f, {0, 0, 0, 0}};
    store->liveTrace.reset(MaxSamples);
    const TargetLayout layout = targetLayout(Client);
    TargetTestState target;
    target.cursorRadius = 10;
    target.cup = placeCup(layout.square, 60, std::rand);
    QImage backing(Client.right, Client.bottom, QImage::Format_RGB32);
    int64_t k = 0;
    for (auto _ : state) {
        // Five new samples per 50 ms frame after the previous frame's last one, circling well
        // clear of the cup's centre.
        store->liveTrace.reset(MaxSamples);
        for (int i = 0; i < 6; ++i, ++k) {
            const float t = static_cast<float>(k) * 0.01f;
            store->liveTrace.pushRecorded(CopSample{0.3f * std::sin(t), 0.2f * std::cos(t), 72});
        }
        --k;
        const int32_t n = 5;
        QPainter painter(&backing);
        QPainterSurface surface(painter, QPainterSurface::Mapping::Screen);
        const TargetFrame frame{store->liveTrace, n, calibration, 0.0f, 0.0f, true};
        benchmark::DoNotOptimize(runTargetFrame(surface, layout, target, frame, 0));
    }
}
BENCHMARK(BM_TargetFrame)->Unit(benchmark::kMillisecond);

void BM_DrivingFrame(benchmark::State& state) {
    auto store = std::make_unique<MeasurementStore>();
    generateTracks(*store, workingTrackParameters(TrackParameters{}), 7);
    const Rect square = drivingSquare(Client);
    DrivingDisplay display;
    display.squareHeight = square.bottom - square.top;
    display.trackMin = -57;
    display.trackMax = 57;
    display.trackScale = static_cast<double>(display.squareHeight) / 114.0;
    display.scrollPosition = 0;
    AcquisitionControl control;
    control.recording.store(1);
    QImage backing(Client.right, Client.bottom, QImage::Format_RGB32);
    for (auto _ : state) {
        display.scrollPosition += 50;  // velocity 5
        control.markerX.store(display.squareHeight / 2 + 20);
        control.markerY.store(display.squareHeight / 2);
        QPainter painter(&backing);
        QPainterSurface surface(painter, QPainterSurface::Mapping::Screen);
        drawDrivingDisplay(surface, square, display, drivingFrame(*store, control, false));
    }
}
BENCHMARK(BM_DrivingFrame)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace kenvo
