#include <benchmark/benchmark.h>

#include <memory>
#include <vector>

#include "model/limits.h"
#include "model/live_trace.h"
#include "platform/cop_source.h"
#include "platform/dispatcher.h"
#include "platform/frame_decoder.h"
#include "platform/platform_simulator.h"

namespace kenvo {
namespace {

// A minute of realistic wire bytes from the simulated platform (quiet stance, heart beats).
std::vector<uint8_t> simulatedStream(int frames) {
    QuietStanceSource subject(3);
    PlatformSimulator sim({0, 70.0, 72.0, 3}, subject);
    std::vector<uint8_t> bytes;
    bytes.reserve(static_cast<std::size_t>(frames) * FrameBytes);
    for (int i = 0; i < frames; ++i) {
        const auto f = encodeFrame(sim.frame(i));
        bytes.insert(bytes.end(), f.begin(), f.end());
    }
    return bytes;
}

void BM_DecodeBytes(benchmark::State& state) {
    const auto bytes = simulatedStream(6000);
    FrameDecoder decoder;
    RawFrame frame;
    int64_t frames = 0;
    for (auto _ : state) {
        for (uint8_t b : bytes) frames += decoder.push(b, frame) ? 1 : 0;
        benchmark::DoNotOptimize(frame);
    }
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(bytes.size()));
    state.counters["frames"] = static_cast<double>(frames);
}
BENCHMARK(BM_DecodeBytes);

// Bytes in, samples recorded into an attempt and pushed into the live trace: the reader
// thread's whole per-frame work in the stance test.
void BM_DispatchStanceRecording(benchmark::State& state) {
    const auto bytes = simulatedStream(6000);
    auto trace = std::make_unique<LiveTrace>();
    trace->reset(1001);
    std::vector<CopSample> attempt(MaxSamples);
    Dispatcher dispatcher(*trace);
    AcquisitionControl control;
    control.mode = AcquisitionStance;
    dispatcher.reset(control, 0);
    for (auto _ : state) {
        control.dest = attempt.data();
        control.sampleCount = 0;
        control.length = 30000;
        control.recording = 1;
        dispatcher.consume(bytes.data(), bytes.size());
        benchmark::DoNotOptimize(attempt.data());
    }
    state.SetItemsProcessed(state.iterations() * 6000);  // frames
}
BENCHMARK(BM_DispatchStanceRecording);

// Frames dispatched straight to the live display (no recording).
void BM_DispatchLiveFrame(benchmark::State& state) {
    auto trace = std::make_unique<LiveTrace>();
    trace->reset(1001);
    Dispatcher dispatcher(*trace);
    AcquisitionControl control;
    control.mode = AcquisitionStance;
    dispatcher.reset(control, 0);
    RawFrame frame{{1000, 1100, 900, 1200}, 0};
    for (auto _ : state) {
        frame.s[0] = 1000 + static_cast<int32_t>(state.iterations() & 63);
        dispatcher.dispatch(frame);
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_DispatchLiveFrame);

}  // namespace
}  // namespace kenvo

