#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "graph_test_support.h"
#include "graphs/display_geometry.h"
#include "graphs/header_band.h"
#include "graphs/report_controls.h"
#include "graphs/report_cop_overlay.h"
#include "graphs/report_readout_strip.h"
#include "graphs/report_time_graphs.h"
#include "model/measurement_store.h"

namespace kenvo {
namespace {

using namespace testing_support;
using Strings = std::vector<std::string>;

// One attempt of n samples; calibration 100 mm per unit of fraction.
std::unique_ptr<MeasurementStore> attemptOf(int32_t n) {
    auto store = std::make_unique<MeasurementStore>();
    store->attemptSeconds = 30;
    store->attemptCount = 1;
    store->length[0] = n;
    store->calibration.scaleX = 100.0f;
    store->calibration.scaleY = 100.0f;
    return store;
}

Strings multiplesOf(int32_t step, int32_t first, int32_t last) {
    Strings out;
    for (int32_t v = first; v <= last; v += step) out.push_back(std::to_string(v));
    return out;
}

struct Report {
    std::unique_ptr<MeasurementStore> store;
    GraphSettings settings = GraphSettings::defaults();
    DisplayState state;
    explicit Report(int32_t n) : store(attemptOf(n)) { enterGraphReport(state, *store, settings); }
    RecordingSurface draw(bool paper = false, Rect r = panel::TimeGraph) {
        RecordingSurface s(paper);
        drawReportTimeGraphs(s, r, *store, settings, state);
        return s;
    }
};

TEST(ReportTimeGraphs, WholeAttemptOfThreeThousandSamples) {
    Report report(3000);
    const RecordingSurface s = report.draw();
    // Time labels every 300 samples, in ms, in boxes 10..25 below the bottom line.
    EXPECT_EQ(textsAtTop(s, 360), multiplesOf(3000, 0, 27000));
    ASSERT_NE(s.findText("TIME (ms)"), nullptr);
    EXPECT_EQ(s.textOp("TIME (ms)").rect, (Rect{300, 375, 710, 390}));
    EXPECT_DOUBLE_EQ(report.state.reportXScale, 410.0 / 3000.0);
    // The cursors are the last two lines: sample 0 on the left edge, sample 2999 at
    // 300 + trunc(2999 * 410 / 3000).
    const auto all = segments(s);
    ASSERT_GE(all.size(), 2u);
    const Segment left = all[all.size() - 2], right = all.back();
    EXPECT_EQ(left.from, (Point{300, 150}));
    EXPECT_EQ(left.to, (Point{300, 350}));
    EXPECT_EQ(right.from, (Point{709, 150}));
    EXPECT_EQ(right.to, (Point{709, 350}));
    EXPECT_EQ(right.colour, colour::Black);
    // Both traces have one point per displayed sample.
    EXPECT_EQ(longest(s, colour::Blue).points.size(), 3000u);
    EXPECT_EQ(longest(s, colour::Red).points.size(), 3000u);
}

TEST(ReportTimeGraphs, ZoomedRangeIsLabelledFromItsStart) {
    Report report(3000);
    report.state.leftMarker = 500;
    report.state.rightMarker = 1500;
    zoomReport(report.state);
    const RecordingSurface s = report.draw();
    EXPECT_EQ(textsAtTop(s, 360), multiplesOf(1000, 5000, 14000));
    EXPECT_EQ(longest(s, colour::Blue).points.size(), 1000u);  // samples 500 .. 1499
}

TEST(ReportTimeGraphs, ValueAxesTickFromTheMinimumAndAStepBelowOneGivesTenths) {
    Report report(100);
    report.settings.y1Step = 0;  // -100 .. 100: every 20
    report.settings.y2Step = 30;
    RecordingSurface s = report.draw();
    EXPECT_EQ(textsIn(s, colour::Blue, TextAlign::Right), multiplesOf(20, -100, 100));
    EXPECT_EQ(textsIn(s, colour::Red, TextAlign::Left), multiplesOf(30, -100, 80));
    ASSERT_NE(s.findText("COP X(mm)"), nullptr);
    EXPECT_EQ(s.textOp("COP X(mm)").rect, (Rect{260, 115, 340, 135}));
    EXPECT_EQ(s.textOp("COP X(mm)").colour, colour::Blue);
    EXPECT_EQ(s.textOp("COP Y(mm)").rect, (Rect{670, 115, 750, 135}));
    // The label of 100 is centred on the top edge, right-aligned left of the axis (the time
    // axis has a black "100" too).
    const RecordingSurface::Op* top = nullptr;
    for (const auto* op : s.texts())
        if (op->text == "100" && op->colour == colour::Blue) top = op;
    ASSERT_NE(top, nullptr);
    EXPECT_EQ(top->rect, (Rect{260, 140, 295, 160}));

    // A range narrower than ten units still gets whole-unit ticks instead of none.
    report.settings.y1Min = 0;
    report.settings.y1Max = 5;
    s = report.draw();
    EXPECT_EQ(textsIn(s, colour::Blue, TextAlign::Right), multiplesOf(1, 0, 5));
    EXPECT_EQ(reportValueStep(0, 5, 0), 1);
    EXPECT_EQ(reportValueStep(-100, 100, -3), 20);
    EXPECT_EQ(reportValueStep(-100, 100, 7), 7);
}

TEST(ReportTimeGraphs, ZeroLinesOnlyWhereZeroIsInsideTheAxis) {
    Report report(100);
    report.settings.y2Min = 0;  // zero on the bottom line: no Y2 zero line
    report.settings.y2Max = 100;
    RecordingSurface s = report.draw();
    const auto across = [](const RecordingSurface& rs, Rgb c) {
        std::vector<int32_t> ys;
        for (const Segment& seg : segmentsIn(rs, c))
            if (seg.from.x == 300 && seg.to.x == 710 && seg.from.y == seg.to.y)
                ys.push_back(seg.from.y);
        return ys;
    };
    EXPECT_EQ(across(s, colour::Black), (std::vector<int32_t>{350, 250}));  // bottom, zero
    EXPECT_TRUE(across(s, colour::Red).empty());
    report.settings.y2Min = -50;
    report.settings.y2Max = 150;
    s = report.draw();
    EXPECT_EQ(across(s, colour::Red), (std::vector<int32_t>{300}));
}

TEST(ReportTimeGraphs, TracesAreClampedIntoTheAxesAndReadTheChosenQuantity) {
    Report report(4);
    CopSample* a = report.store->samples(0);
    a[0] = {0.5f, 0.0f, 0};   // x 50 mm
    a[1] = {2.0f, 0.0f, 0};   // x 200 mm: above Y1's 100
    a[2] = {-2.0f, 0.0f, 0};  // below -100
    a[3] = {-2.0f, 0.3f, 0};  // y 30 mm; the step from a[2] is 30 mm long
    report.settings.y2Min = 0;
    report.settings.y2Max = 20000;
    selectReportY2(report.state, report.settings, GraphVelocity);
    const RecordingSurface s = report.draw();
    const Polyline y1 = longest(s, colour::Blue);
    ASSERT_EQ(y1.points.size(), 4u);
    EXPECT_EQ(y1.points[0].y, 200);  // 350 - trunc(150 * 200 / 200)
    EXPECT_EQ(y1.points[1].y, 150);
    EXPECT_EQ(y1.points[2].y, 350);
    EXPECT_EQ(y1.points[0].x, 300);
    EXPECT_EQ(y1.points[3].x, 300 + 410 * 3 / 4);
    // Velocity in mm/s, steps of 10 ms: the first sample is its own predecessor (0), then
    // 15000, 40000 (clamped to 20000), 3000.
    const Polyline y2 = longest(s, colour::Red);
    ASSERT_EQ(y2.points.size(), 4u);
    EXPECT_EQ(y2.points[0].y, 350);
    EXPECT_EQ(y2.points[1].y, 200);
    EXPECT_EQ(y2.points[2].y, 150);
    EXPECT_EQ(y2.points[3].y, 320);
    EXPECT_NE(s.findText("Velocity(mm/s)"), nullptr);
}

TEST(ReportTimeGraphs, DegenerateRangesAndAxesDrawWithoutDividingByZero) {
    Report report(100);
    report.settings.y1Min = 50;  // max == min
    report.settings.y1Max = 50;
    report.settings.y1Step = 0;
    report.settings.y2Min = 100;  // max < min
    report.settings.y2Max = -100;
    report.state.rangeStart = 10;  // an empty range
    report.state.rangeEnd = 10;
    const RecordingSurface s = report.draw();
    EXPECT_EQ(report.state.reportXScale, 0.0);
    EXPECT_EQ(report.state.reportY1Scale, 0.0);
    EXPECT_EQ(report.state.reportY2Scale, 0.0);
    EXPECT_TRUE(textsAtTop(s, 360).empty());
    EXPECT_EQ(textsIn(s, colour::Blue, TextAlign::Right), (Strings{"50"}));
    EXPECT_TRUE(textsIn(s, colour::Red, TextAlign::Left).empty());
    for (const auto& op : s.ops()) {
        EXPECT_GE(op.rect.left, 0);
        EXPECT_LE(op.rect.right, 800);
    }
    // A range past the recording draws no trace from unrecorded slots.
    report.state.rangeStart = 50;
    report.state.rangeEnd = 400;
    const RecordingSurface beyond = report.draw();
    EXPECT_EQ(longest(beyond, colour::Blue).points.size(), 50u);
}

TEST(ReportTimeGraphs, PaperBoxesFollowThePageWithYUpward) {
    Report report(3000);
    const Rect box{850, -750, 1800, -1350};
    const RecordingSurface s = report.draw(true, box);
    const auto* zero = s.findText("0");
    ASSERT_NE(zero, nullptr);
    EXPECT_EQ(zero->rect, (Rect{840, -1370, 860, -1410}));  // as wide as its text
    EXPECT_EQ(zero->font, ViewFont::PrintNormal);
    EXPECT_EQ(s.textOp("TIME (ms)").rect, (Rect{850, -1430, 1800, -1470}));
    EXPECT_EQ(s.textOp("COP X(mm)").rect, (Rect{650, -690, 1050, -730}));
    EXPECT_EQ(s.textOp("COP Y(mm)").rect, (Rect{1600, -690, 2000, -730}));
    // Y1 labels left of the axis, Y2 labels right of it; -100 sits on the bottom line and
    // 100 on the top one.
    Rect y1Bottom{}, y1Top{}, y2Bottom{};
    for (const auto* t : s.texts()) {
        if (t->colour == colour::Blue && t->text == "-100") y1Bottom = t->rect;
        if (t->colour == colour::Blue && t->text == "100") y1Top = t->rect;
        if (t->colour == colour::Red && t->text == "-100") y2Bottom = t->rect;
    }
    EXPECT_EQ(y1Bottom, (Rect{730, -1330, 830, -1370}));
    EXPECT_EQ(y1Top, (Rect{730, -730, 830, -770}));
    EXPECT_EQ(y2Bottom, (Rect{1830, -1330, 2000, -1370}));
    // Ticks point down out of the graph: the first time tick and the Y1 tick at -100.
    const auto all = segments(s);
    EXPECT_NE(std::find_if(all.begin(), all.end(),
                           [](const Segment& g) {
                               return g.from == Point{850, -1350} && g.to == Point{850, -1370};
                           }),
              all.end());
    EXPECT_NE(std::find_if(all.begin(), all.end(),
                           [](const Segment& g) {
                               return g.from == Point{850, -1350} && g.to == Point{835, -1350};
                           }),
              all.end());
    // A negative height turns the scale negative, so larger values rise on the page.
    EXPECT_LT(report.state.reportY1Scale, 0.0);
}

TEST(ReportCopOverlay, TrajectoryCrossesAndDistance) {
    auto store = attemptOf(10);
    CopSample* a = store->samples(0);
    for (int32_t i = 0; i < 10; ++i) a[i] = {0.1f, 0.2f, 0};  // (10, 20) mm
    a[9] = {1.0f, 0.0f, 0};                                   // x 100 mm: outside the axes
    GraphSettings g = GraphSettings::defaults();              // COP axes -50 .. 50
    DisplayState st;
    enterGraphReport(st, *store, g);
    st.leftMarker = 2;
    st.rightMarker = 5;
    RecordingSurface s;
    drawReportCopOverlay(s, panel::CopPlane, *store, g, st);
    const Polyline path = longest(s, colour::Black);
    ASSERT_EQ(path.points.size(), 10u);
    EXPECT_EQ(path.points[0], (Point{160, 210}));
    EXPECT_EQ(path.points[9], (Point{240, 250}));  // clamped onto the right edge
    const auto blue = segmentsIn(s, colour::Blue);
    ASSERT_EQ(blue.size(), 2u);
    EXPECT_EQ(blue[0].from, (Point{157, 210}));
    EXPECT_EQ(blue[0].to, (Point{163, 210}));
    EXPECT_EQ(blue[1].from, (Point{160, 207}));
    EXPECT_EQ(blue[1].to, (Point{160, 213}));
    EXPECT_EQ(segmentsIn(s, colour::Red).size(), 2u);
    // Same COP under both cursors.
    const auto* text = s.findText("  DISTANCE: 0.000  ");
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(text->rect, (Rect{40, 110, 240, 125}));
    EXPECT_EQ(text->align, TextAlign::Centre);

    // The distance uses the unclamped millimetres.
    st.rightMarker = 9;
    s.clear();
    drawReportCopOverlay(s, panel::CopPlane, *store, g, st);
    EXPECT_NE(s.findText("  DISTANCE: 92.195  "), nullptr);  // hypot(90, 20)

    // The right cursor one past the recording (XR ">>" allows it) reads the last recorded
    // sample, not the stale slot behind it.
    a[10] = {-0.4f, -0.4f, 0};
    st.rightMarker = 10;
    s.clear();
    drawReportCopOverlay(s, panel::CopPlane, *store, g, st);
    EXPECT_NE(s.findText("  DISTANCE: 92.195  "), nullptr);

    RecordingSurface paper(true);
    drawReportCopOverlay(paper, {100, -750, 700, -1350}, *store, g, st);
    ASSERT_EQ(paper.texts().size(), 1u);
    EXPECT_EQ(paper.texts()[0]->rect, (Rect{100, -690, 700, -730}));
}

TEST(HeaderBand, SubjectAttemptAndEmptySubject) {
    SubjectRecord subject;
    subject.name = "\x8Akoda";  // Windows-1250 S with caron
    subject.weight = 72;
    RecordingSurface s;
    drawHeaderBand(s, panel::HeaderUpper, panel::HeaderLower,
                   {&subject, HeaderContent::Attempt, 2, nullptr});
    const auto boxes = s.of(RecordingSurface::Kind::Rectangle);
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(boxes[0]->rect, panel::HeaderUpper);
    EXPECT_EQ(boxes[1]->rect, panel::HeaderLower);
    const auto expectText = [&](const char* text, Rect r, ViewFont f) {
        const auto* op = s.findText(text);
        ASSERT_NE(op, nullptr) << text;
        EXPECT_EQ(op->rect, r) << text;
        EXPECT_EQ(op->font, f) << text;
        EXPECT_EQ(op->align, TextAlign::Left) << text;
    };
    expectText("Name:", {20, 5, 200, 26}, ViewFont::SmallBold);
    expectText("\xC5\xA0koda", {100, 5, 200, 26}, ViewFont::SmallNormal);
    expectText("Weight:", {560, 5, 730, 26}, ViewFont::SmallBold);
    expectText("72", {640, 5, 730, 26}, ViewFont::SmallNormal);
    expectText("Attempt:", {20, 25, 200, 65}, ViewFont::SmallBold);
    expectText("3", {100, 25, 200, 65}, ViewFont::SmallNormal);

    // No subject: the labels with empty fields, and no attempt outside the stance views.
    const SubjectRecord none;
    s.clear();
    drawHeaderBand(s, panel::HeaderUpper, panel::HeaderLower,
                   {&none, HeaderContent::SubjectOnly, 0, nullptr});
    EXPECT_EQ(textsAtTop(s, 5), (Strings{"Name:", "Weight:", "", ""}));
    EXPECT_TRUE(textsAtTop(s, 25).empty());
    EXPECT_EQ(s.font(), ViewFont::SmallNormal);  // restored
}

TEST(HeaderBand, DiffusionResultRowsOnScreenAndPaper) {
    DiffusionTexts t{"x result: 120",
                           "yleft:   4.2",
                           "y right:   2.5",
                           "y1= 0.035 x",
                           "y2= 0.0010x+3.9000",
                           "result[x][y]: [114.71] [  4.01]"};
    HeaderBandInput input{nullptr, HeaderContent::DiffusionResults, 0, &t, false};
    RecordingSurface s;
    drawHeaderBand(s, panel::HeaderUpper, panel::HeaderLower, input);
    EXPECT_EQ(textsAtTop(s, 15), (Strings{"x result: 120", "yleft:   4.2", "y right:   2.5"}));
    EXPECT_EQ(s.textOp("y right:   2.5").rect, (Rect{380, 15, 560, 55}));
    EXPECT_TRUE(textsAtTop(s, 35).empty());  // fit not current
    EXPECT_EQ(s.findText("Attempt:"), nullptr);

    input.diffusionResultsCurrent = true;
    s.clear();
    drawHeaderBand(s, panel::HeaderUpper, panel::HeaderLower, input);
    EXPECT_EQ(textsAtTop(s, 35), (Strings{t.originLine, t.generalLine, t.crossing}));

    // Paper: the printed subject strip, the marker row above the fit row on the page.
    RecordingSurface p(true);
    drawHeaderBand(p, {0, -160, 1800, -241}, {0, -240, 1800, -400}, input);
    EXPECT_EQ(p.textOp("Name:").rect, (Rect{25, -160, 475, -241}));
    EXPECT_EQ(p.textOp("Name:").font, ViewFont::PrintBold);
    EXPECT_EQ(p.textOp("Weight:").rect, (Rect{1375, -160, 1800, -241}));
    EXPECT_EQ(p.textOp(t.marker).rect, (Rect{25, -210, 475, -370}));
    EXPECT_EQ(p.textOp(t.crossing).rect, (Rect{925, -270, 1375, -430}));
    EXPECT_EQ(p.textOp(t.crossing).font, ViewFont::PrintNormal);
}

TEST(ReadoutStrip, ThreeRowsFourColumnsCentred) {
    const ReadoutStripTexts t{
        "XL: 100",
        "diff X: 500",
        "XR: 600",
        {"Y1L:     1.0", "int Y1:     2.0", "avr Y1:     3.0", "Y1R:     4.0"},
        {"Y2L:     5.0", "int Y2:     6.0", "avr Y2:     7.0", "Y2R:     8.0"}};
    RecordingSurface s;
    drawReadoutStrip(s, panel::ReadoutStrip, t);
    ASSERT_EQ(s.of(RecordingSurface::Kind::Rectangle).size(), 1u);
    EXPECT_EQ(s.of(RecordingSurface::Kind::Rectangle)[0]->rect, panel::ReadoutStrip);
    ASSERT_EQ(s.texts().size(), 11u);
    for (const auto* op : s.texts()) EXPECT_EQ(op->align, TextAlign::Centre);
    EXPECT_EQ(s.textOp("XL: 100").rect, (Rect{100, 67, 235, 81}));
    EXPECT_EQ(s.textOp("diff X: 500").rect, (Rect{235, 67, 505, 81}));
    EXPECT_EQ(s.textOp("XR: 600").rect, (Rect{505, 67, 640, 81}));
    EXPECT_EQ(s.textOp("avr Y1:     3.0").rect, (Rect{370, 81, 505, 95}));
    EXPECT_EQ(s.textOp("Y2R:     8.0").rect, (Rect{505, 95, 640, 109}));

    RecordingSurface p(true);
    drawReadoutStrip(p, {0, -500, 1800, -800}, t);
    EXPECT_EQ(p.textOp("XL: 100").rect, (Rect{0, -500, 450, -600}));
    EXPECT_EQ(p.textOp("Y2L:     5.0").rect, (Rect{0, -700, 450, -800}));
}

}  // namespace
}  // namespace kenvo
