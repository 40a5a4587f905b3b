// The graph report's value axes fitted to the shown data: the range, its ticks and labels,
// which samples count, and that paper keeps the settings' axes.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <memory>
#include <numbers>
#include <string>
#include <vector>

#include "graph_test_support.h"
#include "graphs/display_geometry.h"
#include "graphs/report_controls.h"
#include "graphs/report_time_graphs.h"
#include "graphs/report_y_fit.h"
#include "model/measurement_store.h"
#include "reports/printed_report.h"

namespace kenvo {
namespace {

using namespace testing_support;
using Strings = std::vector<std::string>;

constexpr float MmPerUnit = 100.0f;  // the test calibration: fraction x 100 = mm

std::unique_ptr<MeasurementStore> emptyAttempt(int32_t n) {
    auto store = std::make_unique<MeasurementStore>();
    store->attemptSeconds = n / SampleRate;
    store->attemptCount = 1;
    store->length[0] = n;
    store->calibration.scaleX = MmPerUnit;
    store->calibration.scaleY = MmPerUnit;
    return store;
}

// COP x a sine of `amplitude` mm (two periods per 1000 samples), COP y constant `y` mm.
void fillSine(MeasurementStore& store, int32_t from, int32_t to, double amplitude, float y) {
    CopSample* s = store.samples(0);
    for (int32_t i = from; i < to; ++i) {
        const double phase = 2.0 * std::numbers::pi * i / 500.0;
        s[i].x = static_cast<float>(amplitude * std::sin(phase) / MmPerUnit);
        s[i].y = y / MmPerUnit;
    }
}

TEST(ReportYFit, RangeIsTheDataWithAMarginAndRoundTicks) {
    const auto r = fitValueRange(-5.0, 5.0);
    ASSERT_TRUE(r);
    EXPECT_DOUBLE_EQ(r->min, -5.5);
    EXPECT_DOUBLE_EQ(r->max, 5.5);
    EXPECT_DOUBLE_EQ(r->step, 2.0);  // 11 / 10 rounded up to the 1-2-5 ladder
    EXPECT_DOUBLE_EQ(r->firstTick, -4.0);
    EXPECT_EQ(r->decimals, 0);

    // Wider data, wider steps; never more than ten intervals.
    const auto wide = fitValueRange(0.0, 1000.0);
    ASSERT_TRUE(wide);
    EXPECT_DOUBLE_EQ(wide->min, -50.0);
    EXPECT_DOUBLE_EQ(wide->max, 1050.0);
    EXPECT_DOUBLE_EQ(wide->step, 200.0);
    EXPECT_DOUBLE_EQ(wide->firstTick, 0.0);
    const auto exact = fitValueRange(0.0, 20.0 / 1.1);  // span 20 exactly: step 2, not 5
    ASSERT_TRUE(exact);
    EXPECT_NEAR(exact->step, 2.0, 1e-12);
}

TEST(ReportYFit, AFlatSignalGetsTheMinimumSpanAroundItsValue) {
    const auto r = fitValueRange(3.0, 3.0);
    ASSERT_TRUE(r);
    EXPECT_DOUBLE_EQ(r->min, 3.0 - FitMinimumSpan / 2);
    EXPECT_DOUBLE_EQ(r->max, 3.0 + FitMinimumSpan / 2);
    EXPECT_NEAR(r->step, 0.2, 1e-12);
    EXPECT_EQ(r->decimals, 1);
    // Just under the minimum once the margin is added: widened about its centre.
    const auto narrow = fitValueRange(10.0, 11.5);
    ASSERT_TRUE(narrow);
    EXPECT_DOUBLE_EQ(narrow->min, 9.75);
    EXPECT_DOUBLE_EQ(narrow->max, 11.75);
}

TEST(ReportYFit, BoundsThatCannotBeFittedGiveNone) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    EXPECT_FALSE(fitValueRange(nan, 1.0));
    EXPECT_FALSE(fitValueRange(0.0, inf));
    EXPECT_FALSE(fitValueRange(2.0, 1.0));
    // The largest floats a damaged file can hold still give a finite axis.
    const double big = std::numeric_limits<float>::max();
    const auto r = fitValueRange(-big, big);
    ASSERT_TRUE(r);
    EXPECT_TRUE(std::isfinite(r->max - r->min));
    EXPECT_GT(r->step, 0.0);
}

TEST(ReportYFit, OnlyTheDisplayedWindowsRecordedSamplesCount) {
    auto store = emptyAttempt(3000);
    // A far excursion in the first half, a 5 mm sine in the second.
    fillSine(*store, 0, 1500, 40.0, 2.0f);
    fillSine(*store, 1500, 3000, 5.0, 2.0f);
    const auto whole = shownValueExtent(*store, 0, GraphCopX, 0, 3000);
    ASSERT_TRUE(whole);
    EXPECT_NEAR(whole->high, 40.0, 0.01);
    const auto second = shownValueExtent(*store, 0, GraphCopX, 1500, 3000);
    ASSERT_TRUE(second);
    EXPECT_NEAR(second->low, -5.0, 0.01);
    EXPECT_NEAR(second->high, 5.0, 0.01);

    // A range reaching past what was recorded reads only the recorded samples.
    store->samples(0)[2000].x = 90.0f / MmPerUnit;
    store->length[0] = 1800;
    const auto cut = shownValueExtent(*store, 0, GraphCopX, 1500, 3000);
    ASSERT_TRUE(cut);
    EXPECT_LT(cut->high, 5.01);
    EXPECT_FALSE(shownValueExtent(*store, 0, GraphCopX, 1800, 3000));
    EXPECT_FALSE(shownValueExtent(*store, 0, GraphCopX, 100, 100));
    EXPECT_FALSE(shownValueExtent(*store, -1, GraphCopX, 0, 100));
}

TEST(ReportYFit, TheFirstSpeedOfTheWindowIsTakenFromItselfAsTheTraceDrawsIt) {
    auto store = emptyAttempt(100);
    // 0.01 mm further every sample: 1 mm/s.
    for (int32_t i = 0; i < 100; ++i) store->samples(0)[i].x = 0.01f * i / MmPerUnit;
    const auto e = shownValueExtent(*store, 0, GraphVelocity, 10, 20);
    ASSERT_TRUE(e);
    EXPECT_NEAR(e->low, 0.0, 1e-6);
    EXPECT_NEAR(e->high, 1.0, 1e-3);
}

TEST(ReportYFit, SamplesThatAreNotNumbersAreLeftOut) {
    auto store = emptyAttempt(100);
    fillSine(*store, 0, 100, 5.0, 0.0f);
    store->samples(0)[30].x = std::numeric_limits<float>::quiet_NaN();
    store->samples(0)[31].x = std::numeric_limits<float>::infinity();
    const auto e = shownValueExtent(*store, 0, GraphCopX, 0, 100);
    ASSERT_TRUE(e);
    EXPECT_LE(e->high, 5.0 + 1e-6);
    EXPECT_GE(e->low, -5.0 - 1e-6);
}

TEST(ReportYFit, AxisRangeFollowsTheFlagAndFallsBackToTheSettings) {
    auto store = emptyAttempt(3000);
    fillSine(*store, 0, 3000, 5.0, 2.0f);
    DisplayState st;
    enterGraphReport(st, *store, GraphSettings::defaults());
    const auto settings = reportValueRange(*store, st, GraphCopX, -100, 100, 20, false);
    EXPECT_DOUBLE_EQ(settings.min, -100.0);
    EXPECT_DOUBLE_EQ(settings.max, 100.0);
    EXPECT_DOUBLE_EQ(settings.step, 20.0);
    EXPECT_DOUBLE_EQ(settings.firstTick, -100.0);
    EXPECT_FALSE(settings.decimals);

    // The sine of amplitude 5 mm fits to about +-5 plus the margin.
    const auto fitted = reportValueRange(*store, st, GraphCopX, -100, 100, 20, true);
    EXPECT_NEAR(fitted.min, -5.5, 0.01);
    EXPECT_NEAR(fitted.max, 5.5, 0.01);
    // The constant COP y gets the minimum span.
    const auto flat = reportValueRange(*store, st, GraphCopY, -100, 100, 20, true);
    EXPECT_NEAR(flat.min, 1.0, 1e-6);
    EXPECT_NEAR(flat.max, 3.0, 1e-6);

    // An attempt with nothing recorded keeps the settings' axis.
    store->length[0] = 0;
    const auto none = reportValueRange(*store, st, GraphCopX, -100, 100, 0, true);
    EXPECT_DOUBLE_EQ(none.min, -100.0);
    EXPECT_DOUBLE_EQ(none.step, 20.0);  // a step below 1: a tenth of the range
}

struct FittedReport {
    std::unique_ptr<MeasurementStore> store = emptyAttempt(3000);
    GraphSettings settings = GraphSettings::defaults();
    DisplayState state;
    FittedReport() {
        fillSine(*store, 0, 3000, 5.0, 0.9f);
        enterGraphReport(state, *store, settings);
    }
    RecordingSurface draw(bool paper, Rect r = panel::TimeGraph) {
        RecordingSurface s(paper);
        drawReportTimeGraphs(s, r, *store, settings, state);
        return s;
    }
};

TEST(ReportYFit, TheScreenDrawsTheFittedAxesAndTraces) {
    FittedReport report;
    report.state.reportFitY = true;
    const RecordingSurface s = report.draw(false);
    const Rect g = panel::TimeGraph;
    // Y1 (COP x, blue, right-aligned): every second millimetre within +-5.5.
    EXPECT_EQ(textsIn(s, colour::Blue, TextAlign::Right), (Strings{"-4", "-2", "0", "2", "4"}));
    // Y2 (COP y, flat at 0.9 mm, red, left-aligned): -0.1 .. 1.9 in steps of 0.2, the first
    // tick a plain zero.
    EXPECT_EQ(textsIn(s, colour::Red, TextAlign::Left),
              (Strings{"0.0", "0.2", "0.4", "0.6", "0.8", "1.0", "1.2", "1.4", "1.6", "1.8"}));
    EXPECT_NEAR(report.state.reportY1Scale, (g.bottom - g.top) / 11.0, 1e-9);
    // The sine now spans nearly the graph's whole height.
    const Polyline blue = longest(s, colour::Blue);
    ASSERT_EQ(blue.points.size(), 3000u);
    int32_t top = g.bottom, bottom = g.top;
    for (const Point& p : blue.points) {
        top = std::min(top, p.y);
        bottom = std::max(bottom, p.y);
    }
    EXPECT_LE(top, g.top + 11);
    EXPECT_GE(bottom, g.bottom - 11);
    EXPECT_GT(bottom - top, (g.bottom - g.top) * 85 / 100);
}

TEST(ReportYFit, PrintedPagesKeepTheSettingsAxes) {
    FittedReport report;
    const RecordingSurface plain = report.draw(true, page::RightGraph);
    report.state.reportFitY = true;
    const RecordingSurface fitted = report.draw(true, page::RightGraph);
    ASSERT_EQ(plain.ops().size(), fitted.ops().size());
    for (std::size_t i = 0; i < plain.ops().size(); ++i) {
        const auto& a = plain.ops()[i];
        const auto& b = fitted.ops()[i];
        EXPECT_TRUE(a.kind == b.kind && a.rect == b.rect && a.text == b.text &&
                    a.colour == b.colour)
            << "operation " << i << " differs";
    }
    // And the screen without the flag draws the settings' axes.
    report.state.reportFitY = false;
    EXPECT_EQ(textsIn(report.draw(false), colour::Blue, TextAlign::Right).front(), "-100");
}

}  // namespace
}  // namespace kenvo
