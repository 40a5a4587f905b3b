#include <gtest/gtest.h>

#include <memory>

#include "graphs/recording_surface.h"
#include "graphs/target_display.h"
#include "graphs/target_hit_decision.h"
#include "graphs/target_tick.h"
#include "model/measurement_store.h"
#include "platform/acquisition_control.h"

namespace kenvo {
namespace {

using Kind = RecordingSurface::Kind;

// View 800 x 500: the target square is (200, 60)-(600, 460), 2.5 units per mm.
const Rect Client{0, 0, 800, 500};
// An upright cup, mouth at the top: bottom (350, 300)-(450, 300), walls up to y = 210, the
// mouth strip up to y = 190.
const std::array<Point, 6> Cup = {Point{350, 300}, Point{450, 300}, Point{450, 210},
                                  Point{350, 210}, Point{350, 190}, Point{450, 190}};
const Point Free{250, 100};
const Point Mouth{400, 200};
const Point Inside{400, 260};
const Point OnLeftWall{342, 250};  // radius 10 reaches the wall at x = 350

class TargetFrames : public ::testing::Test {
  protected:
    void SetUp() override {
        store = std::make_unique<MeasurementStore>();
        store->calibration.scaleX = 1.0f;  // fractions are millimetres
        store->calibration.scaleY = 1.0f;
        store->settings.stimuliCount = 10;
        store->liveTrace.reset(MaxSamples);
        state.cup = Cup;
        state.cursorRadius = cursorRadiusFor(20);
        layout = targetLayout(Client);
    }

    // A recorded sample whose cursor lands exactly on view point p (half a unit inside, so
    // the truncation cannot fall to the neighbour).
    void push(Point p) {
        const float x = static_cast<float>((p.x - 200 + 0.5) / 2.5 - 80.0);
        const float y = static_cast<float>((460 - p.y + 0.5) / 2.5 - 80.0);
        store->liveTrace.pushRecorded(CopSample{x, y, 0});
    }

    HitOutcome frame(bool recording = true) {
        const TargetFrame f{store->liveTrace, TargetAttemptLimit, store->calibration, 0.0f, 0.0f,
                            recording};
        const HitOutcome out = updateTargetFrame(state, layout.square, f);
        applyHitOutcome(out, *store, control);
        return out;
    }
    HitOutcome frameAt(Point p) {
        push(p);
        return frame();
    }

    std::unique_ptr<MeasurementStore> store;
    AcquisitionControl control;
    TargetTestState state;
    TargetLayout layout;
};

TEST_F(TargetFrames, CursorFollowsTheNewestEntry) {
    push(Free);
    push(Mouth);
    frame();
    EXPECT_EQ((Point{state.cursorX, state.cursorY}), Mouth);
    // The square's centre is the display centre.
    state.cursorX = state.cursorY = 0;
    store->liveTrace.pushRecorded(CopSample{0.0f, 0.0f, 0});
    frame();
    EXPECT_EQ((Point{state.cursorX, state.cursorY}), (Point{400, 260}));
}

TEST_F(TargetFrames, StartHoldsTheClockAtZeroUntilFree) {
    control.sampleCount = 40;
    HitOutcome out = frameAt(OnLeftWall);
    EXPECT_TRUE(out.resetSampleCount);
    EXPECT_EQ(control.sampleCount.load(), 0);
    EXPECT_EQ(state.hitState, HitAlarm);
    EXPECT_EQ(out.sound, HitSound::StartAlarmLoop);

    // The walk re-tests the previous frame's cursor (the entry before the newest), so the
    // alarm holds for one more frame.
    out = frameAt(Free);
    EXPECT_EQ(state.hitState, HitAlarm);
    out = frameAt(Free);
    EXPECT_EQ(state.hitState, HitFree);
    EXPECT_EQ(out.sound, HitSound::Stop);

    // Not recording: back to the start state, nothing else happens.
    control.sampleCount = 7;
    out = frame(false);
    EXPECT_EQ(state.hitState, HitStart);
    EXPECT_FALSE(out.resetSampleCount);
    EXPECT_EQ(out.sound, HitSound::Unchanged);
    EXPECT_EQ(control.sampleCount.load(), 7);

    // A free start goes straight to the free state, silently, with the clock reset.
    out = frameAt(Free);
    EXPECT_EQ(state.hitState, HitFree);
    EXPECT_TRUE(out.resetSampleCount);
    EXPECT_EQ(out.sound, HitSound::Unchanged);
    EXPECT_EQ(control.sampleCount.load(), 0);
}

TEST_F(TargetFrames, EnteringTheInsideWithoutTheMouthRaisesTheAlarm) {
    frameAt(Free);
    const HitOutcome out = frameAt(Inside);
    EXPECT_EQ(state.hitState, HitAlarm);
    EXPECT_EQ(out.sound, HitSound::StartAlarmLoop);
    EXPECT_FALSE(out.storeLength);
    // Still inside: the alarm stays until the cursor is free again.
    EXPECT_EQ(frameAt(Inside).sound, HitSound::Unchanged);
    EXPECT_EQ(state.hitState, HitAlarm);
}

TEST_F(TargetFrames, ThroughTheMouthReachesTheTargetAfterTwentyFrames) {
    frameAt(Free);
    frameAt(Mouth);
    EXPECT_EQ(state.hitState, HitInMouth);
    EXPECT_EQ(frameAt(Mouth).sound, HitSound::Unchanged);  // staying in the mouth strip
    EXPECT_EQ(state.hitState, HitInMouth);

    // The frame's walk starts at the entry before the newest, which is the previous frame's
    // cursor in the mouth strip: the first frame inside still counts as passing the mouth.
    frameAt(Inside);
    EXPECT_EQ(state.hitState, HitInMouth);
    control.sampleCount = 123;
    HitOutcome out = frameAt(Inside);
    EXPECT_EQ(state.hitState, HitReached);
    EXPECT_EQ(out.sound, HitSound::PlaySuccess);
    EXPECT_EQ(store->length[0], 123);  // the time to reach the target
    EXPECT_EQ(state.holdFrames, 0);

    for (int k = 1; k < HoldFramesToReach; ++k) {
        out = frameAt(Inside);
        ASSERT_FALSE(out.setTargetReached) << k;
    }
    EXPECT_EQ(store->targetReached[0], 0);
    out = frameAt(Inside);
    EXPECT_TRUE(out.setTargetReached);
    EXPECT_EQ(store->targetReached[0], 1);

    control.sampleCount = 400;
    const TargetTickResult tick = targetTick(*store, control);
    EXPECT_EQ(tick.decision, TargetTickDecision::NextTarget);
    EXPECT_EQ(store->attemptCount, 1);
}

TEST_F(TargetFrames, BackingOutOfTheMouthIsFreeAndAWallInTheMouthIsAnAlarm) {
    frameAt(Free);
    frameAt(Mouth);
    frameAt(Free);
    EXPECT_EQ(state.hitState, HitInMouth);  // the walk still sees the mouth sample before
    frameAt(Free);
    EXPECT_EQ(state.hitState, HitFree);
    frameAt(Mouth);
    const HitOutcome out = frameAt(Point{356, 206});  // in the strip, touching the wall's top end
    EXPECT_EQ(state.hitState, HitAlarm);
    EXPECT_EQ(out.sound, HitSound::StartAlarmLoop);
}

TEST_F(TargetFrames, SamplesBetweenFramesAreTestedForWalls) {
    frameAt(Free);
    ASSERT_EQ(state.hitState, HitFree);
    // A fast swing: one sample on the wall between two frames, free again by the next frame.
    push(Point{300, 200});
    push(OnLeftWall);
    push(Point{300, 200});
    push(Free);
    frame();
    EXPECT_EQ(state.hitState, HitAlarm);
    EXPECT_EQ(state.testedSamples, 5);

    // Samples tested once are not tested again: the wall sample above no longer counts.
    frameAt(Free);
    EXPECT_EQ(state.hitState, HitFree);
    frameAt(Free);
    EXPECT_EQ(state.hitState, HitFree);
    EXPECT_EQ(state.testedSamples, 7);
}

TEST_F(TargetFrames, ProgressBarReplacesTheDiscWhileHeld) {
    const Rect band = layout.progress;
    EXPECT_EQ(holdProgressBar(band, 0), (Rect{0, 110, 800, 113}));
    EXPECT_EQ(holdProgressBar(band, 5), (Rect{0, 110, 600, 113}));
    EXPECT_EQ(holdProgressBar(band, 20), (Rect{0, 110, 0, 113}));
    EXPECT_EQ(holdProgressBar(band, 27), (Rect{0, 110, 0, 113}));  // never past its left end

    state.hitState = HitReached;
    state.holdFrames = 5;
    RecordingSurface s;
    drawTargetDisplay(s, layout, state, true, 0, 0);
    EXPECT_TRUE(s.of(Kind::Ellipse).empty());
    const auto fills = s.of(Kind::Fill);
    ASSERT_EQ(fills.size(), 2u);
    EXPECT_EQ(fills[0]->rect, Client);
    EXPECT_EQ(fills[0]->colour, colour::White);
    EXPECT_EQ(fills[1]->rect, (Rect{0, 110, 600, 113}));
    EXPECT_EQ(fills[1]->colour, colour::Blue);
}

TEST_F(TargetFrames, DiscCupAndStatusLine) {
    state.cursorX = 300;
    state.cursorY = 150;
    state.hitState = HitAlarm;
    state.elapsedBefore = 1000;
    RecordingSurface s;
    drawTargetDisplay(s, layout, state, true, 3, 250);

    const auto discs = s.of(Kind::Ellipse);
    ASSERT_EQ(discs.size(), 1u);
    EXPECT_EQ(discs[0]->rect, (Rect{290, 140, 310, 160}));
    EXPECT_EQ(discs[0]->colour, colour::Red);
    EXPECT_EQ(discs[0]->fill, colour::Red);

    // The cup: the open polyline P3-P0-P1-P2, black, 5 units.
    std::vector<Point> cup;
    for (const auto& op : s.ops())
        if (op.kind == Kind::MoveTo || op.kind == Kind::LineTo) {
            EXPECT_EQ(op.colour, colour::Black);
            EXPECT_EQ(op.penWidth, 5);
            cup.push_back({op.rect.left, op.rect.top});
        }
    EXPECT_EQ(cup, (std::vector<Point>{Cup[3], Cup[0], Cup[1], Cup[2]}));

    const auto* status = s.findText("Targets:  3    Time:    12.50  ");
    ASSERT_NE(status, nullptr);
    EXPECT_EQ(status->rect, (Rect{0, 0, 800, 60}));
    EXPECT_EQ(status->align, TextAlign::Right);
    EXPECT_EQ(status->font, ViewFont::LargeBold);

    // Not recording: no cup; a blue disc outside the alarm state.
    state.hitState = HitFree;
    s.clear();
    drawTargetDisplay(s, layout, state, false, 0, 0);
    EXPECT_TRUE(s.of(Kind::MoveTo).empty());
    EXPECT_EQ(s.of(Kind::Ellipse).at(0)->fill, colour::Blue);
    EXPECT_EQ(s.of(Kind::Ellipse).at(0)->colour, colour::Red);
    EXPECT_NE(s.findText("Targets:  0    Time:    10.00  "), nullptr);
}

TEST(TargetCursor, RadiusIsHalfTheObjectSizeTruncated) {
    EXPECT_EQ(cursorRadiusFor(60), 30);
    EXPECT_EQ(cursorRadiusFor(61), 30);
}

TEST(TargetTick, Decisions) {
    using D = TargetTickDecision;
    EXPECT_EQ(decideTargetTick(0, 500, 0, 10), D::AttemptContinues);
    EXPECT_EQ(decideTargetTick(0, 30998, 0, 10), D::AttemptContinues);
    EXPECT_EQ(decideTargetTick(0, 30999, 0, 10), D::NextTarget);  // timed out, not reached
    EXPECT_EQ(decideTargetTick(1, 14, 0, 10), D::TooShort);
    EXPECT_EQ(decideTargetTick(1, 15, 0, 10), D::NextTarget);
    EXPECT_EQ(decideTargetTick(1, 15, 8, 10), D::NextTarget);
    EXPECT_EQ(decideTargetTick(1, 15, 9, 10), D::TestFinished);
    EXPECT_EQ(decideTargetTick(0, 30999, 0, 1), D::TestFinished);
}

TEST_F(TargetFrames, TooShortAttemptIsNotAcceptedAndIsReachedAgainLater) {
    store->targetReached[0] = 1;
    control.sampleCount = 14;
    EXPECT_EQ(targetTick(*store, control).decision, TargetTickDecision::TooShort);
    EXPECT_EQ(store->targetReached[0], 0);
    EXPECT_EQ(store->attemptCount, 0);

    // Still held inside, the next frame raises the flag again and a long enough attempt ends.
    state.hitState = HitReached;
    state.holdFrames = HoldFramesToReach;
    frameAt(Inside);
    EXPECT_EQ(store->targetReached[0], 1);
    control.sampleCount = 15;
    EXPECT_EQ(targetTick(*store, control).decision, TargetTickDecision::NextTarget);
}

TEST_F(TargetFrames, NextTargetStartsAFreshAttempt) {
    DisplayState display;
    display.traceStart = 12;
    state.hitState = HitReached;
    state.holdFrames = 20;
    state.testedSamples = 900;
    state.elapsedBefore = 100;
    store->attemptCount = 2;
    store->dataSaved = 1;
    store->targetReached[3] = 1;  // left over from an earlier data set
    store->length[3] = 1000;      // so is this time: an unreached target must not show it
    control.sampleCount = 30999;  // timed out
    const TargetTickResult tick = targetTick(*store, control);
    ASSERT_EQ(tick.decision, TargetTickDecision::NextTarget);
    EXPECT_EQ(store->attemptCount, 3);
    EXPECT_EQ(store->dataSaved, 0);

    NextTarget next;
    next.circleX = 120;
    next.circleY = 140;
    next.cup = Cup;
    next.cup[0].x = 1;
    beginNextTarget(*store, control, display, state, tick.sampleCount, 1'700'000'000, next);
    EXPECT_EQ(control.dest.load(), store->samples(3));
    EXPECT_EQ(control.sampleCount.load(), 0);
    EXPECT_EQ(store->targetReached[3], 0);
    EXPECT_EQ(store->length[3], 0);
    EXPECT_EQ(store->startTime[3], 1'700'000'000);
    EXPECT_EQ(store->liveTrace.capacity(), MaxSamples);
    EXPECT_EQ(display.traceStart, -1);
    EXPECT_EQ(display.traceLength, 30999);
    EXPECT_EQ(display.selectedAttempt, 3);
    EXPECT_EQ(state.elapsedBefore, 100 + 30999);
    EXPECT_EQ(state.testedSamples, 0);
    EXPECT_EQ(state.hitState, HitStart);
    EXPECT_EQ(state.newTargetFlag, 1);
    EXPECT_EQ(state.circleX, 120);
    EXPECT_EQ(state.circleY, 140);
    EXPECT_EQ(state.cup[0].x, 1);
}

TEST_F(TargetFrames, LastTargetFinishesTheTest) {
    store->settings.stimuliCount = 3;
    store->attemptCount = 2;
    store->targetReached[2] = 1;
    control.sampleCount = 300;
    EXPECT_EQ(targetTick(*store, control).decision, TargetTickDecision::TestFinished);
    EXPECT_EQ(store->attemptCount, 3);
}

}  // namespace
}  // namespace kenvo
