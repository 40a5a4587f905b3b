#include <gtest/gtest.h>

#include "graphs/cop_pictures.h"
#include "graphs/replay_step.h"
#include "graphs/stance_view.h"
#include "stance_fixture.h"

namespace kenvo {
namespace {

using Kind = RecordingSurface::Kind;

class StanceReplayTest : public test::StanceFixture {
protected:
    // Attempt 0 of one second whose sample i has x = i mm; a live window of 50 steps.
    StanceReplayTest() {
        store->attemptSeconds = 1;
        store->attemptCount = 1;
        for (int i = 0; i < 100; ++i) store->samples(0)[i] = CopSample{float(i), 1.0f, 0};
        resetWindow(50);
    }

    void step(int32_t samples) {
        state.replayStep = samples;
        advanceReplay(*store, state);
    }

    const LiveTrace& trace() const { return store->liveTrace; }
    int32_t at(int32_t offset) const { return (trace().oldest() + offset) % trace().capacity(); }
};

TEST_F(StanceReplayTest, SingleStepAdvancesOneSampleAndPauses) {
    step(10);
    ASSERT_EQ(state.shownSamples, 10);
    step(1);
    EXPECT_EQ(state.shownSamples, 11);
    EXPECT_EQ(state.replayStep, 0);
    EXPECT_EQ(trace().entry(trace().newest()).x, 10.0f);
    EXPECT_EQ(trace().sequence(trace().newest()), 11);
    EXPECT_FALSE(advanceReplay(*store, state));
    EXPECT_EQ(state.shownSamples, 11);
}

TEST_F(StanceReplayTest, BackwardPastTheStartStopsAtZeroWithTheWindowAsBefore) {
    step(3);
    step(-5);
    EXPECT_EQ(state.shownSamples, 0);
    EXPECT_EQ(state.replayStep, 0);
    for (int32_t k = 0; k <= 50; ++k) {
        EXPECT_EQ(trace().sequence(at(k)), -1) << k;
        EXPECT_EQ(trace().entry(at(k)).x, 0.0f) << k;
    }
    // Forward again numbers the samples from the start.
    step(1);
    EXPECT_EQ(trace().sequence(trace().newest()), 1);
    EXPECT_EQ(trace().sequence(at(49)), 0);
}

TEST_F(StanceReplayTest, BackwardRestoresTheWindowAForwardReplayShows) {
    step(80);
    step(-10);
    ASSERT_EQ(state.shownSamples, 70);
    EXPECT_NE(state.replayStep, 0);  // keeps running backward

    auto other = std::make_unique<MeasurementStore>();
    other->attemptSeconds = 1;
    for (int i = 0; i < 100; ++i) other->samples(0)[i] = store->samples(0)[i];
    other->liveTrace.reset(51);
    DisplayState forward;
    forward.traceLength = 50;
    forward.replayStep = 70;
    advanceReplay(*other, forward);
    ASSERT_EQ(forward.shownSamples, 70);
    const LiveTrace& expected = other->liveTrace;
    for (int32_t k = 0; k <= 50; ++k) {
        const int32_t i = (expected.oldest() + k) % expected.capacity();
        EXPECT_EQ(trace().entry(at(k)), expected.entry(i)) << k;
        EXPECT_EQ(trace().sequence(at(k)), expected.sequence(i)) << k;
    }
}

TEST_F(StanceReplayTest, ForwardStopsAtTheEndOfTheAttempt) {
    step(1000);
    EXPECT_EQ(state.shownSamples, 100);
    EXPECT_EQ(state.replayStep, 0);
    EXPECT_EQ(trace().entry(trace().newest()).x, 99.0f);
}

TEST_F(StanceReplayTest, PausedReplayDrawsNothing) {
    RecordingSurface s;
    replayStep(ctx(), s, panel::CopPlane, panel::TimeGraph);
    EXPECT_TRUE(s.ops().empty());
    state.replayStep = 2;
    replayStep(ctx(), s, panel::CopPlane, panel::TimeGraph);
    EXPECT_FALSE(s.ops().empty());
    EXPECT_EQ(state.shownSamples, 2);
}

TEST_F(StanceReplayTest, PictureStaysForItsDisplayTimeInTimerMessages) {
    RecordingSurface s;
    showCopPicture(ctx(), s, panel::CopPlane, CopPictureOne);
    EXPECT_EQ(state.copCountdown, 5000);
    EXPECT_EQ(state.copPictureKind, CopPictureOne);
    int messages = 0;
    bool fired = false;
    while (!fired && messages < 1000) {
        ++messages;
        // A print job holds the countdown.
        EXPECT_FALSE(countDownCopPicture(state, true));
        fired = countDownCopPicture(state, false);
    }
    EXPECT_EQ(messages, 100);
    EXPECT_FALSE(countDownCopPicture(state, false));  // fires once

    graph.copDisplayTimeSeconds = 0;
    showCopPicture(ctx(), s, panel::CopPlane, CopPictureOne);
    EXPECT_FALSE(countDownCopPicture(state, false));
    EXPECT_EQ(state.copCountdown, 0);
}

TEST_F(StanceReplayTest, PicturesAreClampedPolylinesOfTheAttempts) {
    store->samples(0)[99] = CopSample{1000.0f, -1000.0f, 0};
    RecordingSurface one;
    showCopPicture(ctx(), one, panel::CopPlane, CopPictureOne);
    ASSERT_EQ(one.of(Kind::MoveTo).size(), 1u);
    const auto lines = one.of(Kind::LineTo);
    ASSERT_EQ(lines.size(), 99u);
    EXPECT_EQ(lines[0]->colour, colour::Black);
    EXPECT_EQ(lines.back()->rect.left, panel::CopPlane.right);
    EXPECT_EQ(lines.back()->rect.top, panel::CopPlane.bottom);

    store->attemptCount = 3;
    RecordingSurface all;
    showCopPicture(ctx(), all, panel::CopPlane, CopPictureAll);
    EXPECT_EQ(all.of(Kind::MoveTo).size(), 3u);
    EXPECT_EQ(all.of(Kind::LineTo).size(), 3u * 99);

    state.selectedAttempt = 7;  // not in the data set
    RecordingSurface none;
    showCopPicture(ctx(), none, panel::CopPlane, CopPictureOne);
    EXPECT_TRUE(none.ops().empty());
}

TEST_F(StanceReplayTest, RemovingThePictureClearsAndRedrawsThePlane) {
    state.copPictureKind = CopPictureAll;
    RecordingSurface s;
    removeCopPicture(ctx(), s, panel::CopPlane, 50);
    ASSERT_FALSE(s.ops().empty());
    EXPECT_EQ(s.ops().front().kind, Kind::Rectangle);
    EXPECT_EQ(s.ops().front().rect, panel::CopPlane);
    EXPECT_EQ(s.ops().front().fill, colour::White);
    EXPECT_NE(s.findText("COP (mm)"), nullptr);
    EXPECT_EQ(state.copPictureKind, CopPictureNone);
    EXPECT_EQ(state.traceStart, 0);  // the live trace is back
}

TEST_F(StanceReplayTest, RepaintDrawsTheFramesAndInReplayTheTraces) {
    const StancePanels panels{panel::CopPlane, panel::TimeGraph};
    step(60);
    RecordingSurface frames;
    repaintStanceView(ctx(), frames, panels, false);
    ASSERT_FALSE(frames.texts().empty());
    EXPECT_EQ(frames.texts().front()->colour, colour::Blue);  // the time graph comes first
    EXPECT_TRUE(frames.of(Kind::Pixel).empty());

    RecordingSurface replay;
    repaintStanceView(ctx(), replay, panels, true);
    EXPECT_EQ(replay.of(Kind::Pixel).size(), 5u * 50);
    EXPECT_NE(replay.findText("Time: 0.60"), nullptr);
}

TEST_F(StanceReplayTest, StanceTickRedrawsTheTracesAndCountsTheShownSamples) {
    RecordingSurface s;
    stanceTick(ctx(), s, {panel::CopPlane, panel::TimeGraph}, 345);
    EXPECT_EQ(state.shownSamples, 345);
    ASSERT_FALSE(s.ops().empty());
    EXPECT_EQ(s.ops().front().kind, Kind::Rectangle);  // the time graph's plot is cleared first
    EXPECT_EQ(s.findText("COP (mm)"), nullptr);        // the frames stay from the last repaint
}

}  // namespace
}  // namespace kenvo
