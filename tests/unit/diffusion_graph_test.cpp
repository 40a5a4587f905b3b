#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "graph_test_support.h"
#include "graphs/diffusion_graph.h"
#include "graphs/display_geometry.h"

namespace kenvo {
namespace {

using namespace testing_support;
using Strings = std::vector<std::string>;

Strings multiplesOf(int32_t step, int32_t first, int32_t last) {
    Strings out;
    for (int32_t v = first; v <= last; v += step) out.push_back(std::to_string(v));
    return out;
}

struct Diffusion {
    GraphSettings settings = GraphSettings::defaults();  // r and x: 0 .. 50 step 5
    DisplayState state;
    std::unique_ptr<DiffusionRecords> curve = std::make_unique<DiffusionRecords>();
    DiffusionGraphInput input;
    explicit Diffusion(int32_t lags) {
        state.reportY1 = DiffusionR;
        state.reportY2 = DiffusionX;
        state.rangeStart = 0;
        state.rangeEnd = lags;
        input.curve = curve.get();
    }
    void set(int32_t lag, int32_t kind, float v) {
        (*curve)[static_cast<std::size_t>(lag)][static_cast<std::size_t>(kind)] = v;
    }
    RecordingSurface draw(bool paper = false, Rect r = panel::DiffusionGraph) {
        RecordingSurface s(paper);
        drawDiffusionGraph(s, r, settings, input, state);
        return s;
    }
};

// Lines running left to right with a slope: curve pieces and fit lines, not ticks or frame.
std::vector<Segment> sloped(const RecordingSurface& s, Rgb colour) {
    std::vector<Segment> out;
    for (const Segment& g : segmentsIn(s, colour))
        if (g.to.x > g.from.x && g.to.y != g.from.y) out.push_back(g);
    return out;
}

TEST(DiffusionGraph, AxesTicksAndTitles) {
    Diffusion d(1000);
    const RecordingSurface s = d.draw();
    EXPECT_EQ(textsAtTop(s, 353), multiplesOf(1000, 0, 10000));
    EXPECT_EQ(s.textOp("Time interval (ms)").rect, (Rect{80, 368, 710, 383}));
    EXPECT_EQ(textsIn(s, colour::Blue, TextAlign::Right), multiplesOf(5, 0, 50));
    EXPECT_EQ(textsIn(s, colour::Red, TextAlign::Left), multiplesOf(5, 0, 50));
    EXPECT_EQ(s.textOp("r (mm)").rect, (Rect{50, 125, 110, 140}));
    EXPECT_EQ(s.textOp("x (mm)").rect, (Rect{680, 125, 740, 140}));
    EXPECT_DOUBLE_EQ(d.state.reportXScale, 0.63);
    EXPECT_DOUBLE_EQ(d.state.reportY1Scale, 4.0);

    // A step below 1 counts as 1; the other kinds have their own titles.
    d.settings.daStep[DiffusionR2] = 0;
    d.settings.daMax[DiffusionR2] = 5;
    d.state.reportY1 = DiffusionR2;
    d.state.reportY2 = DiffusionY;
    const RecordingSurface t = d.draw();
    EXPECT_EQ(textsIn(t, colour::Blue, TextAlign::Right), multiplesOf(1, 0, 5));
    EXPECT_NE(t.findText("r2 (mm2)"), nullptr);
    EXPECT_NE(t.findText("y (mm)"), nullptr);
}

TEST(DiffusionGraph, SegmentEndingAboveTheMaximumIsLeftOut) {
    Diffusion d(10);              // 63 units per lag
    d.set(2, DiffusionR, -5.0f);  // drawn as 0
    d.set(5, DiffusionR, 60.0f);  // above the r maximum of 50
    d.set(6, DiffusionR, 10.0f);
    const RecordingSurface s = d.draw();
    std::vector<Segment> curve;
    for (const Segment& g : segmentsIn(s, colour::Blue))
        if (g.to.x - g.from.x == 63) curve.push_back(g);
    ASSERT_EQ(curve.size(), 8u);  // lags 1 .. 9 less the one ending at lag 5
    for (const Segment& g : curve) EXPECT_NE(g.to.x, 80 + 5 * 63);
    EXPECT_EQ(curve[1].to, (Point{80 + 2 * 63, 350}));
    // The segment leaving lag 5 starts above the graph's top (150).
    EXPECT_EQ(curve[4].from, (Point{80 + 5 * 63, 350 - 240}));
    EXPECT_EQ(curve[4].to, (Point{80 + 6 * 63, 350 - 40}));
    // The Y2 curve (all zero here) runs along the bottom in red.
    std::size_t red = 0;
    for (const Segment& g : segmentsIn(s, colour::Red))
        if (g.to.x - g.from.x == 63 && g.from.y == 350 && g.to.y == 350) ++red;
    EXPECT_EQ(red, 9u);
}

TEST(DiffusionGraph, FitLinesStopWhereTheyLeaveTheTopAndOnlyWhileCurrent) {
    Diffusion d(100);            // 6.3 units per lag, 4 units per mm
    d.input.originSlope = 2.0f;  // reaches 50 at lag 25
    d.input.lineA = 0.0f;
    d.input.lineB = 60.0f;                                 // entirely above the graph
    EXPECT_TRUE(sloped(d.draw(), colour::Black).empty());  // results not current

    d.input.resultsCurrent = true;
    std::vector<Segment> lines = sloped(d.draw(), colour::Black);
    ASSERT_EQ(lines.size(), 24u);  // lags 1 .. 24; the step onto 50 is not drawn
    EXPECT_EQ(lines.front().from, (Point{80, 350}));
    EXPECT_EQ(lines.back().to, (Point{80 + 151, 350 - 192}));

    // A falling general line enters the graph from the top: drawn from the lag where it
    // comes below 50 (lag 21) to the end of the range; the origin line lies on the axis.
    d.input.originSlope = 0.0f;
    d.input.lineA = -0.5f;
    lines = sloped(d.draw(), colour::Black);
    ASSERT_EQ(lines.size(), 79u);
    EXPECT_EQ(lines.front().from, (Point{80 + 126, 150}));
    EXPECT_EQ(lines.front().to, (Point{80 + 132, 152}));
}

TEST(DiffusionGraph, MarkerLine) {
    Diffusion d(1000);
    d.state.leftMarker = 500;
    const RecordingSurface s = d.draw();
    const auto all = segments(s);
    ASSERT_FALSE(all.empty());
    EXPECT_EQ(all.back().from, (Point{395, 150}));
    EXPECT_EQ(all.back().to, (Point{395, 350}));
    EXPECT_EQ(all.back().colour, colour::Black);
}

TEST(DiffusionGraph, DegenerateAxesAndRangeDrawWithoutDividingByZero) {
    Diffusion d(0);
    d.settings.daMax[DiffusionR] = 0;
    d.settings.daMax[DiffusionX] = -5;
    d.settings.daStep[DiffusionX] = -2;
    d.input.resultsCurrent = true;
    d.input.originSlope = 1.0f;
    d.set(1, DiffusionR, 3.0f);
    RecordingSurface s = d.draw();
    EXPECT_EQ(d.state.reportXScale, 0.0);
    EXPECT_EQ(d.state.reportY1Scale, 0.0);
    EXPECT_EQ(d.state.reportY2Scale, 0.0);
    EXPECT_EQ(textsAtTop(s, 353), (Strings{"0"}));
    EXPECT_EQ(textsIn(s, colour::Blue, TextAlign::Right), (Strings{"0"}));
    EXPECT_TRUE(textsIn(s, colour::Red, TextAlign::Left).empty());
    for (const auto& op : s.ops()) {
        EXPECT_GE(op.rect.left, 0);
        EXPECT_LE(op.rect.right, 800);
    }
    // With lags but a top of 0 every fit value sits on the top: no fit line at all.
    d.state.rangeEnd = 100;
    s = d.draw();
    EXPECT_TRUE(sloped(s, colour::Black).empty());
    // Without a curve only the axes and the marker are drawn.
    d.input.curve = nullptr;
    d.input.resultsCurrent = false;
    s = d.draw();
    for (const Segment& g : segmentsIn(s, colour::Blue)) EXPECT_LE(g.to.x, g.from.x);  // ticks only
}

TEST(DiffusionGraph, PaperBoxes) {
    Diffusion d(1000);
    const RecordingSurface s = d.draw(true, {100, -750, 1800, -1350});
    const auto find = [&](const char* text, Rgb c) {
        for (const auto* op : s.texts())
            if (op->text == text && op->colour == c) return op->rect;
        return Rect{};
    };
    EXPECT_EQ(find("0", colour::Black), (Rect{90, -1370, 110, -1410}));  // as wide as its text
    EXPECT_EQ(find("0", colour::Blue), (Rect{0, -1330, 80, -1370}));
    EXPECT_EQ(find("50", colour::Blue), (Rect{0, -730, 80, -770}));
    EXPECT_EQ(find("0", colour::Red), (Rect{1830, -1330, 2000, -1370}));
    EXPECT_EQ(find("r (mm)", colour::Blue), (Rect{-100, -690, 300, -730}));
    EXPECT_EQ(find("Time interval (ms)", colour::Black), (Rect{100, -1430, 1800, -1470}));
}

}  // namespace
}  // namespace kenvo
