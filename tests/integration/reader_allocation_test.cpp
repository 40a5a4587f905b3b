// Counts heap allocations while the reader thread streams, records and feeds the live trace:
// the sample path must not allocate. This binary replaces the global operator new, so it is kept
// apart from the other suites.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <memory>
#include <new>
#include <thread>

#include "procedures/driving_computation.h"
#include "model/measurement_store.h"
#include "platform/platform_link.h"
#include "platform/simulated_bus.h"

namespace {
std::atomic<long> allocations{0};
}

void* operator new(std::size_t size) {
    allocations.fetch_add(1, std::memory_order_relaxed);
    if (void* p = std::malloc(size ? size : 1)) return p;
    throw std::bad_alloc();
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }

namespace kenvo {
namespace {

TEST(ReaderThread, StreamingAndRecordingAllocateNothing) {
    SimulatedBus bus({10.0});
    bus.add({0, 70.0, nullptr, 2});
    auto store = std::make_unique<MeasurementStore>();
    TestSettings settings = TestSettings::defaults();
    PlatformCalibration calibration;
    Dispatcher dispatcher(store->liveTrace);
    PlatformLink link(bus, dispatcher, settings, calibration);
    store->liveTrace.reset(1001);
    AcquisitionControl control;
    control.mode = AcquisitionStance;
    ASSERT_TRUE(link.arm(control));
    std::this_thread::sleep_for(std::chrono::milliseconds(100));  // the reader is up and streaming

    const uint64_t framesBefore = dispatcher.framesDecoded();
    const long before = allocations.load();
    control.dest = store->samples(0);
    control.sampleCount = 0;
    control.length = 30000;
    control.recording = 1;
    std::this_thread::sleep_for(std::chrono::milliseconds(400));
    control.recording = 0;
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    const long during = allocations.load() - before;
    ASSERT_GT(before, 0) << "the counter must see the allocations of setting up the link";
    const uint64_t frames = dispatcher.framesDecoded() - framesBefore;

    control.stopped = 1;
    link.stopLink();
    EXPECT_GT(frames, 300u);
    EXPECT_GT(control.sampleCount.load(), 300);
    EXPECT_EQ(during, 0) << "allocations while " << frames << " frames were read and dispatched";
}

// The driving test's path: the driving computation on every frame, the marker, the samples and
// the deviations while recording.
TEST(ReaderThread, DrivingFramesAllocateNothing) {
    SimulatedBus bus({10.0});
    bus.add({0, 70.0, nullptr, 2});
    auto store = std::make_unique<MeasurementStore>();
    TestSettings settings = TestSettings::defaults();
    PlatformCalibration calibration{175.0f, 276.0f, {1, 1, 1, 1}};
    Dispatcher dispatcher(store->liveTrace);
    PlatformLink link(bus, dispatcher, settings, calibration);
    DrivingDisplay display;
    display.trackMin = -57;
    display.trackMax = 57;
    display.squareHeight = 500;
    display.trackScale = 500.0 / 114.0;
    display.lastRow.store(500);
    DrivingComputation computation(display);
    computation.prepare(calibration, 0, display);
    computation.setAttempt(store->track(0), store->deviation(0));
    dispatcher.setDrivingHook(&computation);
    AcquisitionControl control;
    control.mode = AcquisitionDriving;
    control.dest = store->samples(0);
    ASSERT_TRUE(link.arm(control));
    std::this_thread::sleep_for(std::chrono::milliseconds(100));

    const long before = allocations.load();
    control.sampleCount = 0;
    control.length = 30000;
    control.recording = 1;
    std::this_thread::sleep_for(std::chrono::milliseconds(400));
    control.recording = 0;
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    const long during = allocations.load() - before;
    control.stopped = 1;
    link.stopLink();
    dispatcher.setDrivingHook(nullptr);
    EXPECT_GT(control.sampleCount.load(), 300);
    EXPECT_NE(control.markerX.load(), 0);  // the computation ran
    EXPECT_EQ(during, 0);
}

}  // namespace
}  // namespace kenvo
