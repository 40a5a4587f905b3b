#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "files/configuration_file.h"
#include "files/setting_ranges.h"
#include "graphs/recording_surface.h"
#include "graphs/replay_step.h"
#include "graphs/stance_context.h"
#include "procedures/replay_procedure.h"
#include "model/settings.h"

namespace kenvo {
namespace {

// The value the file held for `name`, or nothing when the load kept it.
std::optional<int64_t> fileValue(const AdjustedFields& adjusted, const std::string& name) {
    for (const AdjustedField& a : adjusted)
        if (a.name == name) return a.fileValue;
    return std::nullopt;
}

// Settings as a damaged or hand-edited configuration file could hold them.
Settings damagedSettings() {
    Settings s;
    s.test = TestSettings::defaults();
    s.test.spare = 123456;       // no range: kept
    s.test.stanceTime = 50000;   // 0..300
    s.test.orientation = -4;     // 0..1
    s.test.testMode = 7;         // no such mode: stance
    s.test.stimuliCount = 0;     // 1..500
    s.test.drivingDirection = -1;  // no such direction: up-down
    s.test.targetSize = 2147483647;
    s.graph = GraphSettings::defaults();
    s.graph.timeAxisSeconds = -200000;  // 1..60
    s.graph.copTraceLength = 1000000000;
    s.graph.copDisplayTimeSeconds = 2147483647;
    s.graph.copAxisMin = -2147483647 - 1;
    s.graph.y2Parameter = 9;
    s.graph.daY1Parameter = -3;
    s.graph.daMax[1] = -5;  // the diffusion tops and steps have no range: kept
    s.graph.daStep[2] = 0;
    s.calibration.zeroOffset[2] = 99999;
    return s;
}

TEST(SettingRanges, ConfigurationLoadHoldsEveryRangedValueAndRecordsWhatTheFileHeld) {
    const Settings written = damagedSettings();
    Settings s;
    int32_t attemptSeconds = 0;
    AdjustedFields adjusted;
    ASSERT_TRUE(decodeConfiguration(encodeConfiguration(written, 9), "x.swpcfg", s, attemptSeconds,
                                    &adjusted)
                    .ok);

    EXPECT_EQ(s.test.spare, 123456);
    EXPECT_EQ(s.test.stanceTime, 300);
    EXPECT_EQ(attemptSeconds, 300);
    EXPECT_EQ(s.graph.attemptSeconds, 300);
    EXPECT_EQ(s.test.orientation, 0);
    EXPECT_EQ(s.test.testMode, TestModeStance);
    EXPECT_EQ(s.test.stimuliCount, 1);
    EXPECT_EQ(s.test.drivingDirection, 0);
    EXPECT_EQ(s.test.targetSize, 300);
    EXPECT_EQ(s.graph.timeAxisSeconds, 1);
    EXPECT_EQ(s.graph.copTraceLength, 3000);
    EXPECT_EQ(s.graph.copDisplayTimeSeconds, 10);
    EXPECT_EQ(s.graph.copAxisMin, -600);
    EXPECT_EQ(s.graph.y2Parameter, 3);
    EXPECT_EQ(s.graph.daY1Parameter, 0);
    EXPECT_EQ(s.graph.daMax[1], -5);
    EXPECT_EQ(s.graph.daStep[2], 0);
    EXPECT_EQ(s.calibration.zeroOffset[2], 4095);

    EXPECT_EQ(fileValue(adjusted, "timeAxisSeconds"), -200000);
    EXPECT_EQ(fileValue(adjusted, "stanceTime"), 50000);
    EXPECT_EQ(fileValue(adjusted, "testMode"), 7);
    EXPECT_EQ(fileValue(adjusted, "copAxisMin"), -2147483648LL);
    EXPECT_EQ(fileValue(adjusted, "zeroOffset2"), 99999);
    EXPECT_EQ(fileValue(adjusted, "attemptSeconds"), 9);
    EXPECT_FALSE(fileValue(adjusted, "spare"));
    EXPECT_FALSE(fileValue(adjusted, "daMaxR2"));
    EXPECT_EQ(fileValue(adjusted, "copTraceLength"), 1000000000);
    EXPECT_FALSE(fileValue(adjusted, "y1Parameter"));  // in range
}

TEST(SettingRanges, ValuesAtTheEndsOfTheirRangesAreKept) {
    Settings written;
    written.test = TestSettings{-7, 300, 1, TestModeUnused, 500, 10, 3, 1, 300, 200, 10};
    written.graph = GraphSettings::defaults();
    written.graph.timeAxisSeconds = 60;
    written.graph.copAxisMax = 600;
    written.graph.copAxisStep = 1;
    Settings s;
    int32_t attemptSeconds = 0;
    AdjustedFields adjusted;
    ASSERT_TRUE(decodeConfiguration(encodeConfiguration(written, 300), "x", s, attemptSeconds,
                                    &adjusted)
                    .ok);
    EXPECT_EQ(s.test, written.test);
    EXPECT_EQ(s.graph.words(), [&] {
        GraphSettings g = written.graph;
        g.attemptSeconds = 300;
        return g.words();
    }());
    EXPECT_TRUE(adjusted.empty());
}

// The replay of a data set after a configuration with a negative time axis was opened: the
// live window is held to the ring, so stepping backward cannot index outside it.
TEST(SettingRanges, BackwardReplayRunsAfterANegativeTimeAxis) {
    Settings settings;
    settings.graph = GraphSettings::defaults();
    settings.graph.timeAxisSeconds = -200000;
    // As held in memory without the load's range check, and as the load leaves it.
    for (const bool loaded : {false, true}) {
        Settings s = settings;
        if (loaded) {
            int32_t attemptSeconds = 0;
            ASSERT_TRUE(decodeConfiguration(encodeConfiguration(settings, 1), "x", s, attemptSeconds).ok);
        }
        auto store = std::make_unique<MeasurementStore>();
        store->calibration.scaleX = store->calibration.scaleY = 1.0f;
        store->attemptSeconds = 2;
        store->attemptCount = 1;
        for (int i = 0; i < 200; ++i) store->samples(0)[i] = CopSample{float(i), 0.0f, 0};
        DisplayState display;
        HeadlessProcedurePort port;
        ReplayProcedure replay(*store, s, display, port);
        replay.enter();
        EXPECT_GE(display.traceLength, 1);
        EXPECT_LT(display.traceLength, store->liveTrace.capacity());

        RecordingSurface surface;
        const StanceContext ctx{s.graph, *store, display, nullptr, -1, false, Rect{0, 0, 800, 600}};
        ASSERT_TRUE(replay.button(ReplayFastForward));
        for (int i = 0; i < 4; ++i) replayStep(ctx, surface, Rect{0, 0, 400, 400}, Rect{400, 0, 800, 400});
        ASSERT_EQ(display.shownSamples, 100);
        ASSERT_TRUE(replay.button(ReplayReverse));
        for (int i = 0; i < 4; ++i) replayStep(ctx, surface, Rect{0, 0, 400, 400}, Rect{400, 0, 800, 400});
        EXPECT_EQ(display.shownSamples, 80);
        EXPECT_EQ(store->liveTrace.entry(store->liveTrace.newest()).x, 79.0f);
    }
}

}  // namespace
}  // namespace kenvo
