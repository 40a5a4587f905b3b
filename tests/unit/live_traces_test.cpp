#include <gtest/gtest.h>

#include <set>
#include <utility>

#include "graphs/live_traces.h"
#include "stance_fixture.h"

namespace kenvo {
namespace {

using Kind = RecordingSurface::Kind;
using Labels = std::vector<std::string>;

class LiveTracesTest : public test::StanceFixture {
protected:
    // Fills a window of n steps with recorded samples whose x in mm is their offset.
    void fillRecorded(int32_t n) {
        resetWindow(n);
        for (int32_t k = 0; k <= n; ++k) store->liveTrace.pushRecorded(CopSample{float(k), 0.0f, 0});
    }

    static std::set<std::pair<int32_t, int32_t>> pixels(const RecordingSurface& s, Rgb c) {
        std::set<std::pair<int32_t, int32_t>> out;
        for (const auto* op : s.of(Kind::Pixel))
            if (op->colour == c) out.insert({op->rect.left, op->rect.top});
        return out;
    }
};

TEST_F(LiveTracesTest, UnrecordedSamplesDrawInCyanAndMagentaWithoutTimeTicks) {
    // 31 dummies, 50 live samples (the last becomes sequence 0), 120 recorded (1..120).
    resetWindow(200);
    for (int i = 0; i < 50; ++i) store->liveTrace.pushLive(CopSample{1.0f, 2.0f, 0});
    for (int i = 0; i < 120; ++i) store->liveTrace.pushRecorded(CopSample{i == 119 ? 500.0f : 3.0f, 4.0f, 0});

    RecordingSurface s;
    drawLiveTimeTraces(ctx(), s, panel::TimeGraph, 0, 200);
    // Offsets 1..79 are not recorded; offset 80 (sequence 0) and later are.
    EXPECT_EQ(count(s, Kind::LineTo, colour::Cyan), 79);
    EXPECT_EQ(count(s, Kind::LineTo, colour::Blue), 121);
    EXPECT_EQ(count(s, Kind::LineTo, colour::Magenta), 79);
    EXPECT_EQ(count(s, Kind::LineTo, colour::Red), 121);
    // Whole recorded seconds only: sequence 0 and sequence 100 (offset 180, x 300 + 73).
    EXPECT_EQ(labels(s, TextAlign::Centre, colour::Black), (Labels{"0.00", "1.00"}));
    const auto* second = s.findText("1.00");
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(second->rect, (Rect{353, 353, 393, 368}));
    EXPECT_NE(s.findText("Time: 1.20"), nullptr);
    // The newest value (500 mm) is clamped to the top of the Y1 axis.
    const auto lines = s.of(Kind::LineTo);
    EXPECT_EQ(lines[199]->rect.top, panel::TimeGraph.top);
    EXPECT_EQ(lines[199]->colour, colour::Blue);
}

TEST_F(LiveTracesTest, ALiveOnlyWindowHasNoTimeLabels) {
    resetWindow(100);
    for (int i = 0; i < 30; ++i) store->liveTrace.pushLive(CopSample{1.0f, 2.0f, 0});
    RecordingSurface s;
    drawLiveTimeTraces(ctx(), s, panel::TimeGraph, 0, 100);
    EXPECT_TRUE(labels(s, TextAlign::Centre, colour::Black).empty());
    EXPECT_NE(s.findText("Time: 0.00"), nullptr);
    EXPECT_EQ(count(s, Kind::LineTo, colour::Blue), 0);
    EXPECT_EQ(count(s, Kind::LineTo, colour::Cyan), 100);
}

TEST_F(LiveTracesTest, ScreenClearsThePlotPaperDoesNotButDrawsTheSides) {
    fillRecorded(100);
    RecordingSurface screen;
    drawLiveTimeTraces(ctx(), screen, panel::TimeGraph, 0, 100);
    const auto cleared = screen.of(Kind::Rectangle);
    ASSERT_EQ(cleared.size(), 2u);
    EXPECT_EQ(cleared[0]->rect, (Rect{301, 144, 710, 350}));
    EXPECT_EQ(cleared[1]->rect, (Rect{280, 351, 730, 390}));

    const Rect paper{400, -1500, 2400, -3500};
    RecordingSurface page(true);
    drawLiveTimeTraces(ctx(), page, paper, 0, 100);
    EXPECT_TRUE(page.of(Kind::Rectangle).empty());
    const auto* time = page.findText("Time: 1.01");
    ASSERT_NE(time, nullptr);
    EXPECT_EQ(time->rect, (Rect{400, -3580, 1400, -3620}));
    // The last two lines are the side lines up from the time axis.
    const auto lines = page.of(Kind::LineTo);
    EXPECT_EQ(lines.back()->rect.top, paper.top);
    EXPECT_EQ(lines.back()->rect.left, paper.right);
}

TEST_F(LiveTracesTest, VelocityTraceIsInMillimetresPerSecond) {
    // 0.5 mm a sample is 50 mm/s: halfway up a 0..100 axis 200 high.
    resetWindow(20);
    for (int32_t k = 0; k <= 20; ++k) store->liveTrace.pushRecorded(CopSample{0.5f * float(k), 0.0f, 0});
    graph.y2Parameter = GraphVelocity;
    graph.y2Min = 0;
    graph.y2Max = 100;
    RecordingSurface s;
    drawLiveTimeTraces(ctx(), s, panel::TimeGraph, 0, 20);
    std::vector<int32_t> ys;
    for (const auto& op : s.ops())
        if ((op.kind == Kind::LineTo || op.kind == Kind::MoveTo) && op.colour == colour::Red) ys.push_back(op.rect.top);
    ASSERT_EQ(ys.size(), 21u);
    for (std::size_t k = 1; k < ys.size(); ++k) EXPECT_EQ(ys[k], 250) << k;
}

TEST_F(LiveTracesTest, OffsetsBeyondTheWindowAreNotDrawn) {
    fillRecorded(50);
    RecordingSurface s;
    drawLiveTimeTraces(ctx(), s, panel::TimeGraph, -10, 5000);
    EXPECT_EQ(s.of(Kind::LineTo).size(), 2u * 50 + 1);  // two traces of 51 points, base line
}

TEST_F(LiveTracesTest, TraceWindowIsTheNewestPointsBeforeTheNewestEntry) {
    EXPECT_EQ(copTraceWindow(1000, 100).first, 900);
    EXPECT_EQ(copTraceWindow(1000, 100).count, 100);
    EXPECT_EQ(copTraceWindow(50, 100).first, 0);
    EXPECT_EQ(copTraceWindow(50, 100).count, 50);
    EXPECT_EQ(copTraceWindow(0, 100).count, 0);
    // A trace length beyond what the view keeps for erasing is held to that limit.
    EXPECT_EQ(copTraceWindow(6000, 5000).count, MaxTracePoints);
    EXPECT_EQ(copTraceWindow(6000, -3).count, 0);
}

TEST_F(LiveTracesTest, CopTraceDrawsOffsetsNMinusLengthToNMinusOne) {
    fillRecorded(1000);
    RecordingSurface s;
    drawLiveCopTrace(ctx(), s, panel::CopPlane, 1000);
    EXPECT_EQ(state.traceStart, 900);
    EXPECT_EQ(state.traceLast, 99);
    // 900 .. 999 mm lie far right of the square: held on its right edge, where the erase
    // finds them again, with the head marker moved in to stay inside.
    EXPECT_FLOAT_EQ(state.tracePoints[0].x, 50.0f);
    EXPECT_FLOAT_EQ(state.tracePoints[99].x, 50.0f);
    EXPECT_EQ(count(s, Kind::Pixel, colour::Red), 500);
    const auto heads = s.of(Kind::Ellipse);
    ASSERT_EQ(heads.size(), 1u);
    EXPECT_EQ(heads[0]->rect, (Rect{232, 250, 240, 258}));
    EXPECT_EQ(heads[0]->fill, colour::Red);

    fillRecorded(50);
    RecordingSurface small;
    drawLiveCopTrace(ctx(), small, panel::CopPlane, 50);
    EXPECT_EQ(state.traceStart, 0);
    EXPECT_EQ(state.traceLast, 49);
    EXPECT_FLOAT_EQ(state.tracePoints[49].x, 49.0f);
}

TEST_F(LiveTracesTest, EachTickErasesExactlyThePointsOfTheTickBefore) {
    graph.copTraceLength = 20;
    resetWindow(200);
    for (int k = 0; k < 60; ++k) store->liveTrace.pushLive(CopSample{float(k % 7), float(k % 5), 0});
    RecordingSurface first;
    drawLiveCopTrace(ctx(), first, panel::CopPlane, 200);
    for (int k = 0; k < 9; ++k) store->liveTrace.pushLive(CopSample{-float(k), 3.0f, 0});
    RecordingSurface second;
    drawLiveCopTrace(ctx(), second, panel::CopPlane, 200);
    EXPECT_EQ(pixels(second, colour::White), pixels(first, colour::Red));
    const auto erasedHead = second.of(Kind::Ellipse).front();
    EXPECT_EQ(erasedHead->rect, first.of(Kind::Ellipse).back()->rect);
    EXPECT_EQ(erasedHead->fill, colour::White);
}

TEST_F(LiveTracesTest, OverloadOutlinesTheSquareInRedUntilItClears) {
    fillRecorded(100);
    const auto frameColours = [](const RecordingSurface& s) {
        std::vector<Rgb> out;
        const auto lines = s.of(Kind::LineTo);
        for (std::size_t i = 0; i < 4 && i < lines.size(); ++i) out.push_back(lines[i]->colour);
        return out;
    };
    overload = true;
    RecordingSurface red;
    drawLiveCopTrace(ctx(), red, panel::CopPlane, 100);
    EXPECT_EQ(frameColours(red), std::vector<Rgb>(4, colour::Red));
    overload = false;
    RecordingSurface black;
    drawLiveCopTrace(ctx(), black, panel::CopPlane, 100);
    EXPECT_EQ(frameColours(black), std::vector<Rgb>(4, colour::Black));
}

TEST_F(LiveTracesTest, PointInsideTheCircularTargetMarksTheRecordedAttempt) {
    resetWindow(100);  // the window's placeholder samples lie on the origin, (140, 250)
    TargetTestState t;
    t.circleX = 400;
    t.circleY = 400;
    t.circleRadius = 10;
    target = &t;
    recordingAttempt = 3;
    RecordingSurface s;
    drawLiveCopTrace(ctx(), s, panel::CopPlane, 100);
    EXPECT_EQ(store->targetReached[3], 0);

    t.circleX = 145;
    t.circleY = 245;
    drawLiveCopTrace(ctx(), s, panel::CopPlane, 100);
    EXPECT_EQ(store->targetReached[3], 1);
}

TEST_F(LiveTracesTest, PrintedTraceIsBlackDotsAndLeavesTheScreenStateAlone) {
    fillRecorded(1000);
    RecordingSurface screen;
    drawLiveCopTrace(ctx(), screen, panel::CopPlane, 1000);
    const PointMm kept = state.tracePoints[10];

    for (int k = 0; k < 30; ++k) store->liveTrace.pushRecorded(CopSample{-5.0f, 5.0f, 0});
    RecordingSurface page(true);
    drawLiveCopTrace(ctx(), page, Rect{400, -1500, 2400, -3500}, 1000);
    EXPECT_EQ(count(page, Kind::Pixel, colour::Black), 100);
    EXPECT_EQ(count(page, Kind::Pixel, colour::White), 0);
    EXPECT_EQ(state.traceStart, 900);
    EXPECT_FLOAT_EQ(state.tracePoints[10].x, kept.x);
}

}  // namespace
}  // namespace kenvo
