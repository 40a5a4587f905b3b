// The two dynamic tests on a live simulated stream, driven the way the window drives them:
// the reader thread feeds the driving computation or the live trace while this thread scrolls,
// decides hits and draws. Run under ThreadSanitizer too (label link).
#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <cstdlib>
#include <memory>
#include <thread>

#include "graphs/display_state.h"
#include "graphs/driving_display.h"
#include "graphs/recording_surface.h"
#include "procedures/driving_procedure.h"
#include "model/measurement_store.h"
#include "model/settings.h"
#include "procedures/target_procedure.h"
#include "platform/dispatcher.h"
#include "platform/platform_link.h"
#include "platform/platform_simulator.h"
#include "platform/simulated_bus.h"

namespace kenvo {
namespace {

using Clock = std::chrono::steady_clock;
constexpr Rect Client{0, 0, 1000, 800};

struct Rig {
    Rig() : bus({10.0}), store(std::make_unique<MeasurementStore>()), dispatcher(store->liveTrace) {
        bus.add({0, 70.0, nullptr, 3});
        settings.test = TestSettings::defaults();
        settings.calibration = PlatformCalibration{175.0f, 276.0f, {}};
        for (int k = 0; k < 4; ++k) settings.calibration.zeroOffset[k] = PlatformSimulator::UnloadedCounts[k];
        link = std::make_unique<PlatformLink>(bus, dispatcher, settings.test, settings.calibration);
    }
    SimulatedBus bus;
    std::unique_ptr<MeasurementStore> store;
    Settings settings;
    Dispatcher dispatcher;
    std::unique_ptr<PlatformLink> link;
    DisplayState display;
    HeadlessProcedurePort port{true};
};

// A timed three-second attempt: the scroll runs on this thread's ticks while the reader
// computes the marker and the deviation; the attempt gets exactly its 300 samples and every
// deviation is within the track's span.
TEST(DynamicStream, DrivingAttemptWhileScrollingAndDrawing) {
    Rig rig;
    rig.settings.test.drivingEndMode = 0;
    rig.settings.test.drivingTime = 3;
    rig.settings.test.drivingVelocity = 10;
    DrivingDisplay driving;
    DrivingProcedure procedure(*rig.store, rig.settings, *rig.link, rig.dispatcher, rig.display, driving,
                               rig.port);
    ASSERT_TRUE(procedure.newTest(Client));
    ASSERT_TRUE(procedure.start());
    RecordingSurface surface;
    bool ended = false;
    const auto giveUp = Clock::now() + std::chrono::seconds(30);
    while (!ended && Clock::now() < giveUp) {
        ended = procedure.tick();
        drawDrivingDisplay(surface, procedure.square(), driving,
                           drivingFrame(*rig.store, procedure.control(), false));
        std::this_thread::sleep_for(std::chrono::milliseconds(3));
    }
    ASSERT_TRUE(ended) << "the attempt never reached its length";
    ASSERT_EQ(procedure.stop(), 0);
    EXPECT_EQ(rig.store->attemptCount, 1);
    EXPECT_EQ(rig.store->length[0], 300);
    const float* deviation = rig.store->deviation(0);
    for (int32_t k = 0; k < 300; ++k) {
        ASSERT_TRUE(std::isfinite(deviation[k])) << k;
        ASSERT_LE(std::abs(deviation[k]), float(driving.trackMax - driving.trackMin)) << k;
    }
    EXPECT_FALSE(rig.link->linkActive());
}

struct SilentSounds final : TargetSounds {
    void apply(HitSound) override {}
    void stopAll() override {}
};

// Two seconds of target frames on a quiet-standing subject: the frames read the live trace and
// reset the attempt's sample count while the reader writes both; Exit then stops everything.
TEST(DynamicStream, TargetFramesWhileTheReaderFeedsTheTrace) {
    Rig rig;
    rig.settings.test.stimuliCount = 3;
    SilentSounds sounds;
    TargetTestState state;
    TargetProcedure procedure(*rig.store, rig.settings, *rig.link, rig.display, state, rig.port, sounds,
                              std::rand);
    ASSERT_TRUE(procedure.newTest(Client));
    ASSERT_TRUE(procedure.start());
    RecordingSurface surface;
    const auto until = Clock::now() + std::chrono::seconds(2);
    int32_t frames = 0;
    while (Clock::now() < until) {
        procedure.frame(surface);
        procedure.afterFrame();
        ++frames;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    EXPECT_GT(frames, 100);
    // A quiet subject near the centre never reaches a cup placed off it.
    EXPECT_EQ(rig.store->attemptCount, 0);
    const Rect& square = procedure.layout().square;
    EXPECT_TRUE(state.cursorX > square.left && state.cursorX < square.right && state.cursorY > square.top &&
                state.cursorY < square.bottom)
        << state.cursorX << "," << state.cursorY;
    procedure.exit();
    EXPECT_FALSE(rig.link->linkActive());
    EXPECT_FALSE(procedure.live());
}

}  // namespace
}  // namespace kenvo
