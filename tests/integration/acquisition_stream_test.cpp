#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <memory>
#include <thread>

#include "files/cop_csv.h"
#include "model/measurement_store.h"
#include "platform/platform_link.h"
#include "model/platform_models.h"
#include "platform/platform_simulator.h"
#include "platform/simulated_bus.h"
#include "support/validation_data.h"

namespace kenvo {
namespace {

using Clock = std::chrono::steady_clock;

// Reads the live trace from oldest to newest and the attempt's samples up to the count, the way
// the displays do while the reader thread writes. Returns a checksum so nothing is optimised out.
double drawLikeTheDisplays(const MeasurementStore& store, const AcquisitionControl& control, int32_t attempt) {
    double sum = 0;
    const LiveTrace& trace = store.liveTrace;
    const int32_t n = trace.capacity();
    for (int32_t i = trace.oldest(), k = 0; k < n; i = (i + 1) % n, ++k) {
        const CopSample s = trace.entry(i);
        sum += s.x + s.y + trace.sequence(i);
    }
    const int32_t count = control.sampleCount.load();
    const CopSample* samples = store.samples(attempt);
    for (int32_t i = 0; i < count && i < MaxSamples; ++i) sum += loadRelaxed(samples[i]).x;
    return sum;
}

// Ten seconds of simulated stream (played ten times faster), with attempts recorded and the
// recording switched on and off from this thread while it draws: every attempt gets exactly its
// length, the live trace stays consistent, and ThreadSanitizer finds no race.
TEST(AcquisitionStream, RecordingWhileDrawingFromAnotherThread) {
    SimulatedBus bus({10.0});
    bus.add({0, 75.0, nullptr, 7});
    auto store = std::make_unique<MeasurementStore>();
    TestSettings settings = TestSettings::defaults();
    settings.stanceTime = 1;
    PlatformCalibration calibration;
    Dispatcher dispatcher(store->liveTrace);
    PlatformLink link(bus, dispatcher, settings, calibration);

    store->resetDataSet(settings, TestModeStance);
    store->liveTrace.reset(1001);
    AcquisitionControl control;
    control.mode = AcquisitionStance;
    control.setZeroOffsets(calibration.zeroOffset);
    ASSERT_TRUE(link.arm(control));

    const auto streamStart = Clock::now();
    double checksum = 0;
    const int attempts = 4;
    for (int a = 0; a < attempts; ++a) {
        // Between attempts: live display only.
        const auto liveUntil = Clock::now() + std::chrono::milliseconds(100);
        while (Clock::now() < liveUntil) {
            checksum += drawLikeTheDisplays(*store, control, a);
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        // Start: destination and counters first, then recording.
        control.dest = store->beginAttempt(a, 1700000000 + a, true);
        control.length = store->length[a];
        control.sampleCount = 0;
        control.recording = 1;
        const auto deadline = Clock::now() + std::chrono::seconds(5);
        while (control.recording.load() != 0 && Clock::now() < deadline) {
            checksum += drawLikeTheDisplays(*store, control, a);
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        ASSERT_EQ(control.recording.load(), 0) << "attempt " << a << " never ended";
        ASSERT_EQ(control.sampleCount.load(), 100);
        store->completeAttempt();
        const CopSample* samples = store->samples(a);
        for (int i = 0; i < 100; ++i) {
            const CopSample s = loadRelaxed(samples[i]);
            ASSERT_LT(std::abs(s.x * calibration.scaleX), 40.0f) << "sample " << i;
            ASSERT_LT(std::abs(s.y * calibration.scaleY), 40.0f) << "sample " << i;
            ASSERT_GE(s.pulse % 1000, 40);
        }
        EXPECT_EQ(samples[100], CopSample{});
    }
    // Keep streaming to the ten seconds of stream, drawing all along.
    while (Clock::now() - streamStart < std::chrono::milliseconds(1000)) {
        checksum += drawLikeTheDisplays(*store, control, attempts - 1);
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    control.stopped = 1;
    link.stopLink();

    EXPECT_EQ(store->attemptCount, attempts);
    EXPECT_GE(dispatcher.framesDecoded(), 900u);
    EXPECT_FALSE(link.deviceLost());
    // The newest recorded attempt is in the trace in order: 0 before it, then 1, 2, 3 ...
    const LiveTrace& trace = store->liveTrace;
    int32_t previous = -2;
    bool ordered = true;
    for (int32_t i = trace.oldest(), k = 0; k < trace.capacity(); i = (i + 1) % trace.capacity(), ++k) {
        const int32_t seq = trace.sequence(i);
        if (seq > 0 && previous >= 0 && seq != previous + 1) ordered = false;
        previous = seq;
    }
    EXPECT_TRUE(ordered);
    EXPECT_NE(checksum, 0.0);
}

// A real recording played by the simulated subject: after the load cells, the wire frames, the
// decoder, the zero offsets and the COP, the recorded attempt is the recording itself, to the
// sensors' noise: one count on each cell is about 0.25 mm in x and 0.4 mm in y, so about
// 0.5 mm RMS together. A wrong scale, a swapped axis or a sign would be millimetres off.
TEST(AcquisitionStream, RealRecordingComesThroughTheWholeChain) {
    const auto files = test::validationFiles();
    if (files.empty()) GTEST_SKIP() << test::validationMissingReason();
    std::vector<CopPoint> points;
    std::string error;
    ASSERT_TRUE(readCopCsv(files.front(), points, error, 400000)) << error;
    ASSERT_GT(points.size(), 3000u);

    SimulatedBus bus({10.0});
    bus.add({0, 70.0, std::make_shared<RecordedSource>(points), 1});
    auto store = std::make_unique<MeasurementStore>();
    TestSettings settings = TestSettings::defaults();
    const ModelScales scales = modelScales(0, 0);
    PlatformCalibration calibration{scales.scaleX, scales.scaleY, {}};
    for (int k = 0; k < 4; ++k) calibration.zeroOffset[k] = PlatformSimulator::UnloadedCounts[k];
    Dispatcher dispatcher(store->liveTrace);
    PlatformLink link(bus, dispatcher, settings, calibration);
    store->liveTrace.reset(1001);
    AcquisitionControl control;
    control.mode = AcquisitionStance;
    control.setZeroOffsets(calibration.zeroOffset);
    ASSERT_TRUE(link.arm(control));
    control.dest = store->samples(0);
    control.length = 2000;
    control.sampleCount = 0;
    control.recording = 1;
    const auto deadline = Clock::now() + std::chrono::seconds(10);
    while (control.recording.load() != 0 && Clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    control.stopped = 1;
    link.stopLink();
    ASSERT_EQ(control.sampleCount.load(), 2000);

    // The attempt began at some frame of the recording: find it, then compare sample by sample.
    const CopSample* samples = store->samples(0);
    auto errorAt = [&](std::size_t start, int i) {
        const CopPoint p = points[(start + static_cast<std::size_t>(i)) % points.size()];
        const CopSample s = loadRelaxed(samples[i]);
        return std::hypot(s.x * scales.scaleX - p.xMm, s.y * scales.scaleY - p.yMm);
    };
    std::size_t start = 0;
    double best = 1e300;
    for (std::size_t k = 0; k < points.size(); ++k) {
        double sum = 0.0;
        for (int i = 0; i < 100; i += 5) sum += errorAt(k, i);
        if (sum < best) best = sum, start = k;
    }
    double squares = 0.0, worst = 0.0;
    for (int i = 0; i < 2000; ++i) {
        const double e = errorAt(start, i);
        squares += e * e;
        worst = std::max(worst, e);
    }
    EXPECT_LT(std::sqrt(squares / 2000), 0.8) << "from frame " << start;
    EXPECT_LT(worst, 2.5);
}

TEST(AcquisitionStream, UnpluggedSimulatedPlatformIsReportedLost) {
    SimulatedBus bus({5.0});
    const int index = bus.add({2, 60.0, nullptr, 3});
    LiveTrace trace;
    TestSettings settings = TestSettings::defaults();
    PlatformCalibration calibration;
    Dispatcher dispatcher(trace);
    PlatformLink link(bus, dispatcher, settings, calibration);
    AcquisitionControl control;
    control.mode = AcquisitionStance;
    ASSERT_TRUE(link.arm(control));
    EXPECT_EQ(dispatcher.fourSensor(), 0);
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    EXPECT_GT(dispatcher.framesDecoded(), 0u);
    bus.unplug(index);
    const auto deadline = Clock::now() + std::chrono::seconds(2);
    while (!link.deviceLost() && Clock::now() < deadline) std::this_thread::sleep_for(std::chrono::milliseconds(2));
    EXPECT_TRUE(link.deviceLost());
    link.stopLink();
    EXPECT_FALSE(link.arm(control));  // gone from the bus
}

}  // namespace
}  // namespace kenvo
