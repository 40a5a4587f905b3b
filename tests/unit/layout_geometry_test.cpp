// Where things land on the views and pages: neighbouring labels, the header, the read-out
// strip, the attempt number, right-hand axis labels and the COP trace each keep to their own
// box and inside the canvas.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "graphs/live_traces.h"
#include "graphs/report_controls.h"
#include "graphs/report_pages.h"
#include "graphs/report_time_graphs.h"
#include "graphs/stance_frames.h"
#include "reports/printed_report.h"
#include "stance_fixture.h"

namespace kenvo {
namespace {

using Kind = RecordingSurface::Kind;

Rect normalised(const Rect& r) {
    return {std::min(r.left, r.right), std::min(r.top, r.bottom), std::max(r.left, r.right),
            std::max(r.top, r.bottom)};
}

bool overlap(const Rect& a, const Rect& b) {
    const Rect p = normalised(a), q = normalised(b);
    return p.left < q.right && q.left < p.right && p.top < q.bottom && q.top < p.bottom;
}

bool within(const Rect& inner, const Rect& outer) {
    const Rect i = normalised(inner), o = normalised(outer);
    return i.left >= o.left && i.right <= o.right && i.top >= o.top && i.bottom <= o.bottom;
}

std::string str(const Rect& r) {
    return "{" + std::to_string(r.left) + ", " + std::to_string(r.top) + ", " +
           std::to_string(r.right) + ", " + std::to_string(r.bottom) + "}";
}

// The centred texts in `colour`, each with its box.
std::vector<const RecordingSurface::Op*> centred(const RecordingSurface& s, Rgb colour) {
    std::vector<const RecordingSurface::Op*> out;
    for (const auto* op : s.texts())
        if (op->align == TextAlign::Centre && op->colour == colour) out.push_back(op);
    return out;
}

void expectPairwiseDisjoint(const std::vector<const RecordingSurface::Op*>& ops) {
    for (std::size_t i = 0; i < ops.size(); ++i)
        for (std::size_t j = i + 1; j < ops.size(); ++j)
            EXPECT_FALSE(overlap(ops[i]->rect, ops[j]->rect))
                << ops[i]->text << " " << str(ops[i]->rect) << " / " << ops[j]->text << " "
                << str(ops[j]->rect);
}

std::vector<std::string> textsOf(const std::vector<const RecordingSurface::Op*>& ops) {
    std::vector<std::string> out;
    for (const auto* op : ops) out.push_back(op->text);
    return out;
}

class LayoutGeometry : public test::StanceFixture {
  protected:
    // One attempt of n samples whose x in mm is `xOf(k)`, ready for the graph report.
    template <typename F>
    void attempt(int32_t n, F xOf) {
        store->attemptSeconds = 30;
        store->attemptCount = 1;
        store->length[0] = n;
        for (int32_t k = 0; k < n; ++k) store->samples(0)[k] = {xOf(k), 0.0f, 70};
        enterGraphReport(state, *store, graph);
    }
};

TEST_F(LayoutGeometry, TimeLabelsNeverPrintOverTheirNeighbours) {
    // The window ends one recording at 3.00 s and starts the next right after it: the second
    // 0.00 would print over the 3.00.
    const int32_t n = 401;
    resetWindow(n - 1);
    for (int32_t k = n - 1; k >= 0; --k)
        store->liveTrace.pushOldest(CopSample{0.0f, 0.0f, 0}, k <= 300 ? k : k - 301);
    RecordingSurface screen;
    drawLiveTimeTraces(ctx(), screen, panel::TimeGraph, 0, n - 1);
    const auto labels = centred(screen, colour::Black);
    EXPECT_EQ(textsOf(labels), (std::vector<std::string>{"0.00", "1.00", "2.00", "3.00"}));
    expectPairwiseDisjoint(labels);

    // A 30 s axis packs the seconds 13 pixels apart: every third label has room (the
    // recording starts at sequence 1, so its first whole second is 1.00).
    graph.timeAxisSeconds = 30;
    resetWindow(3000);
    for (int32_t k = 0; k <= 3000; ++k) store->liveTrace.pushRecorded(CopSample{0.0f, 0.0f, 0});
    RecordingSurface packed;
    drawLiveTimeTraces(ctx(), packed, panel::TimeGraph, 0, 3000);
    const auto packedLabels = centred(packed, colour::Black);
    EXPECT_EQ(textsOf(packedLabels),
              (std::vector<std::string>{"1.00", "4.00", "7.00", "10.00", "13.00", "16.00", "19.00",
                                        "22.00", "25.00", "28.00"}));
    expectPairwiseDisjoint(packedLabels);

    // On paper the boxes fit their text, so a 10 s axis keeps every second.
    graph.timeAxisSeconds = 10;
    resetWindow(1000);
    for (int32_t k = 0; k <= 1000; ++k) store->liveTrace.pushRecorded(CopSample{0.0f, 0.0f, 0});
    RecordingSurface page(true);
    drawLiveTimeTraces(ctx(), page, page::RightGraph, 0, 1000);
    const auto paperLabels = centred(page, colour::Black);
    EXPECT_EQ(paperLabels.size(), 10u);  // 1.00 .. 10.00
    expectPairwiseDisjoint(paperLabels);
}

TEST_F(LayoutGeometry, ReportTimeLabelsKeepApartOnPaperAndInANarrowGraph) {
    attempt(3000, [](int32_t) { return 0.0f; });
    RecordingSurface page(true);
    drawReportTimeGraphs(page, page::RightGraph, *store, graph, state);
    std::vector<const RecordingSurface::Op*> paperTimes;
    for (const auto* op : centred(page, colour::Black))
        if (op->text != "TIME (ms)") paperTimes.push_back(op);
    EXPECT_EQ(paperTimes.size(), 10u);  // 0 .. 27000, all of them
    expectPairwiseDisjoint(paperTimes);

    RecordingSurface narrow;
    drawReportTimeGraphs(narrow, {300, 150, 460, 350}, *store, graph, state);
    std::vector<const RecordingSurface::Op*> times;
    for (const auto* op : centred(narrow, colour::Black))
        if (op->text != "TIME (ms)") times.push_back(op);
    EXPECT_FALSE(times.empty());
    EXPECT_LT(times.size(), 10u);
    expectPairwiseDisjoint(times);
}

TEST_F(LayoutGeometry, AttemptNumberOfTargetDataStaysOnTheCanvasAndThePage) {
    store->settings.testMode = TestModeTargetHitting;
    state.selectedAttempt = 499;
    attempt(100, [](int32_t) { return 0.0f; });
    state.selectedAttempt = 499;
    RecordingSurface screen;
    drawGraphReportPage(ctx(), screen, screenReportBoxes());
    const auto* label = screen.findText("Test No:");
    const auto* number = screen.findText("500");
    ASSERT_NE(label, nullptr);
    ASSERT_NE(number, nullptr);
    const Rect canvas{0, 0, 760, 400};
    for (const auto* op : {label, number}) {
        EXPECT_TRUE(within(op->rect, canvas)) << str(op->rect);
        EXPECT_FALSE(overlap(op->rect, panel::ReadoutStrip)) << str(op->rect);
        EXPECT_FALSE(overlap(op->rect, panel::HeaderLower)) << str(op->rect);
        EXPECT_FALSE(overlap(op->rect, panel::CopPlane)) << str(op->rect);
        for (const auto* other : screen.texts())
            if (other != label && other != number) {
                EXPECT_FALSE(overlap(op->rect, other->rect)) << other->text;
            }
    }

    RecordingSurface page(true);
    drawCopPlaneFrame(ctx(), page, page::LeftGraph);
    const auto* printed = page.findText("Test No:");
    ASSERT_NE(printed, nullptr);
    const Rect printable{0, page::SubjectLower.bottom, 1800, -2700};
    EXPECT_TRUE(within(printed->rect, printable)) << str(printed->rect);
    EXPECT_FALSE(overlap(printed->rect, page::LeftGraph));
    for (const auto* other : page.texts())
        if (other != printed && other->text != "500") {
            EXPECT_FALSE(overlap(printed->rect, other->rect)) << other->text;
        }
}

TEST_F(LayoutGeometry, ReadoutStripSitsBetweenTheHeaderAndTheGraphs) {
    attempt(500, [](int32_t k) { return 0.01f * float(k); });
    RecordingSurface s;
    drawGraphReportPage(ctx(), s, screenReportBoxes());
    const auto rectangles = s.of(Kind::Rectangle);
    ASSERT_GE(rectangles.size(), 3u);
    EXPECT_FALSE(overlap(panel::ReadoutStrip, panel::HeaderUpper));
    EXPECT_FALSE(overlap(panel::ReadoutStrip, panel::HeaderLower));
    // Every text is either one of the strip's own or clear of it.
    for (const auto* op : s.texts())
        if (!within(op->rect, panel::ReadoutStrip)) {
            EXPECT_FALSE(overlap(op->rect, panel::ReadoutStrip))
                << op->text << " " << str(op->rect);
        }
    EXPECT_TRUE(within(panel::ReadoutStrip, {0, 0, 760, 400}));
}

// The label boxes of a right-hand axis start half a font height beyond their tick's end.
void expectRightLabelsClearOfTicks(const RecordingSurface& s, int32_t edge, int32_t gap,
                                   Rgb colour) {
    int32_t tickEnd = edge;
    for (const auto& op : s.ops())
        if (op.kind == Kind::LineTo && op.rect.top == op.rect.bottom && op.rect.left > edge &&
            op.rect.left - edge < 40)
            tickEnd = std::max(tickEnd, op.rect.left);
    ASSERT_GT(tickEnd, edge);
    int32_t labels = 0;
    for (const auto* op : s.texts()) {
        const Rect r = normalised(op->rect);
        if (op->colour != colour || r.left <= edge ||
            op->text.find_first_not_of("-0123456789") != std::string::npos)
            continue;
        ++labels;
        EXPECT_GE(r.left - tickEnd, gap) << op->text << " " << str(op->rect);
    }
    EXPECT_GT(labels, 3);
}

TEST_F(LayoutGeometry, RightAxisTicksDoNotRunIntoTheirLabels) {
    attempt(500, [](int32_t) { return 0.0f; });
    RecordingSurface report;
    drawReportTimeGraphs(report, panel::TimeGraph, *store, graph, state);
    expectRightLabelsClearOfTicks(report, panel::TimeGraph.right, 6, colour::Red);
    RecordingSurface paperReport(true);
    drawReportTimeGraphs(paperReport, page::RightGraph, *store, graph, state);
    expectRightLabelsClearOfTicks(paperReport, page::RightGraph.right, 15, colour::Red);

    for (const bool paper : {false, true}) {
        const Rect plane = paper ? page::LeftGraph : panel::CopPlane;
        const Rect time = paper ? page::RightGraph : panel::TimeGraph;
        RecordingSurface frames(paper);
        drawCopPlaneFrame(ctx(), frames, plane);
        expectRightLabelsClearOfTicks(frames, plane.right, paper ? 15 : 6, colour::Black);
        RecordingSurface timeFrame(paper);
        drawTimeGraphFrame(ctx(), timeFrame, time);
        expectRightLabelsClearOfTicks(timeFrame, time.right, paper ? 15 : 6, colour::Red);
    }
}

TEST_F(LayoutGeometry, PrintedPanelsKeepTheirAxisLabelsApart) {
    // On paper the COP plane's right-hand labels face the time graph's left-hand ones across the
    // gap between the two panels: the ink of "-50" must not reach "-100".
    attempt(500, [](int32_t) { return 0.0f; });
    RecordingSurface page(true);
    drawCopPlaneFrame(ctx(), page, page::LeftGraph);
    drawReportTimeGraphs(page, page::RightGraph, *store, graph, state);
    // The ink of a label: every character as wide as a digit of the paper font, from the side
    // the text is aligned to.
    const int32_t digit = fontSpec(ViewFont::PrintNormal).height * 556 / 1000;
    auto ink = [&](const RecordingSurface::Op& op) {
        const Rect r = normalised(op.rect);
        const int32_t width = static_cast<int32_t>(op.text.size()) * digit;
        if (op.align == TextAlign::Right) return Rect{r.right - width, r.top, r.right, r.bottom};
        return Rect{r.left, r.top, r.left + width, r.bottom};
    };
    std::vector<Rect> planeRight, timeLeft;
    for (const auto* op : page.texts()) {
        if (op->text.find_first_not_of("-0123456789") != std::string::npos) continue;
        const Rect r = normalised(op->rect);
        if (op->align == TextAlign::Left && r.left > page::LeftGraph.right &&
            r.left < page::RightGraph.left)
            planeRight.push_back(ink(*op));
        if (op->align == TextAlign::Right && r.right < page::RightGraph.left &&
            r.right > page::LeftGraph.right)
            timeLeft.push_back(ink(*op));
    }
    ASSERT_EQ(planeRight.size(), 6u);  // -50 .. 50 in steps of 20
    ASSERT_GT(timeLeft.size(), 5u);
    for (const Rect& a : planeRight)
        for (const Rect& b : timeLeft) EXPECT_FALSE(overlap(a, b)) << str(a) << " / " << str(b);
}

TEST_F(LayoutGeometry, WideSwayStaysInsideTheCopPlane) {
    // 90 mm each way, then 70 mm behind: far past the plane's +-50 mm.
    resetWindow(400);
    for (int32_t k = 0; k <= 400; ++k)
        store->liveTrace.pushRecorded(
            CopSample{k % 2 ? 90.0f : -90.0f, k < 200 ? -70.0f : 70.0f, 0});
    graph.copTraceLength = 400;
    RecordingSurface frame;
    drawCopPlaneFrame(ctx(), frame, panel::CopPlane);
    RecordingSurface s;
    drawLiveCopTrace(ctx(), s, panel::CopPlane, 400);
    const Rect plane = panel::CopPlane;
    const Rect withMarks{plane.left - 1, plane.top - 1, plane.right + 2, plane.bottom + 2};
    int32_t marks = 0;
    for (const auto* op : s.of(Kind::Pixel)) {
        ++marks;
        EXPECT_TRUE(
            within({op->rect.left, op->rect.top, op->rect.left + 1, op->rect.top + 1}, withMarks))
            << str(op->rect);
        for (const auto* label : frame.texts())
            EXPECT_FALSE(overlap(op->rect, label->rect)) << label->text;
    }
    EXPECT_GT(marks, 0);
    const auto heads = s.of(Kind::Ellipse);
    ASSERT_EQ(heads.size(), 1u);
    EXPECT_TRUE(within(heads[0]->rect, plane)) << str(heads[0]->rect);
}

}  // namespace
}  // namespace kenvo
