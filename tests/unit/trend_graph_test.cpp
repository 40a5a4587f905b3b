#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "graphs/recording_surface.h"
#include "graphs/trend_graph.h"
#include "graphs/trend_page.h"

namespace kenvo {
namespace {

constexpr int64_t Day = 86400;
// 2026-01-01T00:00:00Z and 2026-03-01T00:00:00Z.
constexpr int64_t Jan2026 = 1767225600;
constexpr int64_t Mar2026 = 1772323200;

std::vector<TrendPoint> points(std::initializer_list<std::pair<int64_t, double>> list) {
    std::vector<TrendPoint> out;
    for (const auto& [t, v] : list) out.push_back({t, v});
    return out;
}

bool isMultiple(double value, double step) {
    const double q = value / step;
    return std::fabs(q - std::round(q)) < 1e-9;
}

TEST(TrendValueAxis, HoldsZeroAndEveryValueWithRoomAndEndsOnWholeSteps) {
    for (const auto& values : std::vector<std::vector<double>>{{12.3, 14.8, 9.1},
                                                               {0.31, 0.42},
                                                               {1500.0, 2730.0},
                                                               {-4.2, 3.1},
                                                               {-7.5, -2.0},
                                                               {10.0}}) {
        std::vector<TrendPoint> p;
        for (double v : values) p.push_back({0, v});
        const TrendValueAxis axis = trendValueAxis(p);
        SCOPED_TRACE(values.front());
        EXPECT_LE(axis.min, 0.0);
        EXPECT_GE(axis.max, 0.0);
        EXPECT_TRUE(isMultiple(axis.min, axis.step));
        EXPECT_TRUE(isMultiple(axis.max, axis.step));
        const auto [lo, hi] = std::minmax_element(values.begin(), values.end());
        // No point sits on the frame: at least a tenth of a step clear of either end.
        EXPECT_GE(axis.max - std::max(*hi, 0.0), 0.0);
        if (*hi > 0) {
            EXPECT_GT(axis.max - *hi, axis.step * 0.05);
        }
        if (*lo < 0) {
            EXPECT_GT(*lo - axis.min, axis.step * 0.05);
        }
        // About five intervals, never a crowd of them.
        const double intervals = (axis.max - axis.min) / axis.step;
        EXPECT_GE(intervals, 3.0);
        EXPECT_LE(intervals, 12.0);
    }
}

TEST(TrendValueAxis, LabelsHaveTheDecimalsTheStepNeeds) {
    EXPECT_EQ(trendValueAxis(points({{0, 0.42}})).decimals, 1);  // steps of 0.1
    EXPECT_EQ(trendValueAxis(points({{0, 0.042}})).decimals, 2);
    EXPECT_EQ(trendValueAxis(points({{0, 42.0}})).decimals, 0);
    // All values zero (or none): a unit axis instead of a division by zero.
    const TrendValueAxis flat = trendValueAxis(points({{0, 0.0}, {Day, 0.0}}));
    EXPECT_LT(flat.min, flat.max);
    EXPECT_GT(flat.step, 0.0);
    EXPECT_LT(trendValueAxis({}).min, trendValueAxis({}).max);
}

TEST(TrendTimeAxis, TicksFollowTheCalendarAndTheSpan) {
    // Six sessions over five months: ticks on first days of months, labelled by month.
    const auto months =
        points({{Jan2026 + 10 * Day, 1}, {Jan2026 + 40 * Day, 1}, {Jan2026 + 150 * Day, 1}});
    // 8 characters a unit: month labels (7 characters and a gap of 2) fit 8 across 576 units.
    const TrendTimeAxis a = trendTimeAxis(months, 576, 8);
    ASSERT_FALSE(a.ticks.empty());
    EXPECT_LT(a.min, Jan2026 + 10 * Day);
    EXPECT_GT(a.max, Jan2026 + 150 * Day);
    bool sawMarch = false;
    for (const TrendTimeTick& t : a.ticks) {
        EXPECT_GE(t.time, a.min);
        EXPECT_LE(t.time, a.max);
        EXPECT_EQ(t.label.size(), 7u) << t.label;  // "2026-03"
        if (t.time == Mar2026) {
            sawMarch = true;
            EXPECT_EQ(t.label, "2026-03");
        }
    }
    EXPECT_TRUE(sawMarch);
    EXPECT_LE(int(a.ticks.size()), 8);
    // The finest step that fits: every month, not every other one.
    for (std::size_t i = 1; i < a.ticks.size(); ++i)
        EXPECT_LE(a.ticks[i].time - a.ticks[i - 1].time, 31 * Day);
    // Narrower, the months thin out instead of crowding.
    const TrendTimeAxis narrow = trendTimeAxis(months, 216, 8);
    EXPECT_LE(narrow.ticks.size(), 3u);
    EXPECT_GE(narrow.ticks.size(), 1u);

    // Three sessions within a week: daily ticks at midnight, labelled with the full date.
    const TrendTimeAxis days =
        trendTimeAxis(points({{Jan2026 + 3600, 1}, {Jan2026 + 3 * Day, 1}}), 1200, 10);
    ASSERT_FALSE(days.ticks.empty());
    for (const TrendTimeTick& t : days.ticks) {
        EXPECT_EQ(t.time % Day, 0);
        EXPECT_EQ(t.label, trendDate(t.time));
    }
    EXPECT_EQ(trendDate(Jan2026), "2026-01-01");
    EXPECT_EQ(trendDate(Jan2026 - 1), "2025-12-31");
    EXPECT_EQ(trendDate(-1), "1969-12-31");

    // Twenty years: ticks on New Year's days, no more than allowed.
    const TrendTimeAxis years = trendTimeAxis(points({{0, 1}, {20 * 365 * Day, 1}}), 36, 1);
    ASSERT_GE(years.ticks.size(), 2u);
    EXPECT_LE(years.ticks.size(), 6u);
    for (const TrendTimeTick& t : years.ticks) {
        EXPECT_EQ(t.label.size(), 4u);
        EXPECT_EQ(trendDate(t.time).substr(4), "-01-01");
    }
}

TEST(TrendTimeAxis, OneSessionGetsARangeAroundIt) {
    const TrendTimeAxis a = trendTimeAxis(points({{Mar2026 + 5000, 3}}), 600, 10);
    EXPECT_LT(a.min, Mar2026 + 5000);
    EXPECT_GT(a.max, Mar2026 + 5000);
    EXPECT_FALSE(a.ticks.empty());
}

struct Drawn {
    RecordingSurface surface;
    TrendLayout layout;
    std::vector<std::pair<int32_t, int32_t>> centres;  // of the point markers
    std::vector<std::pair<int32_t, int32_t>> line;     // the polyline's vertices
};

void draw(Drawn& d, const Rect& box, const TrendGraph& g) {
    drawTrendGraph(d.surface, box, g);
    d.layout = trendLayout(d.surface, box, g);
    for (const auto* op : d.surface.of(RecordingSurface::Kind::Ellipse))
        d.centres.push_back(
            {(op->rect.left + op->rect.right - 1) / 2, (op->rect.top + op->rect.bottom) / 2});
    for (const auto& op : d.surface.ops())
        if ((op.kind == RecordingSurface::Kind::MoveTo ||
             op.kind == RecordingSurface::Kind::LineTo) &&
            op.colour == colour::Blue)
            d.line.push_back({op.rect.left, op.rect.top});
}

TEST(TrendGraphDrawing, PointsLandWhereTheAxesPutThemOldestFirst) {
    // Given newest first: the line must still run left to right.
    TrendGraph g{"Mean velocity", "mm/s",
                 points({{Jan2026 + 120 * Day, 8.0}, {Jan2026 + 60 * Day, 16.0}, {Jan2026, 12.0}})};
    Drawn d;
    draw(d, Rect{0, 0, 600, 300}, g);
    const Rect plot = d.layout.plot;
    ASSERT_EQ(d.centres.size(), 3u);
    ASSERT_GE(d.line.size(), 3u);
    for (std::size_t i = 1; i < d.line.size(); ++i) EXPECT_GT(d.line[i].first, d.line[i - 1].first);
    // Equal gaps in time are equal gaps across the plot; the line passes through each marker.
    EXPECT_NEAR(d.line[1].first - d.line[0].first, d.line[2].first - d.line[1].first, 1);
    for (std::size_t i = 0; i < 3; ++i) {
        EXPECT_NEAR(d.line[i].first, d.centres[i].first, 1);
        EXPECT_NEAR(d.line[i].second, d.centres[i].second, 1);
        EXPECT_GT(d.centres[i].first, plot.left);
        EXPECT_LT(d.centres[i].first, plot.right);
        EXPECT_GT(d.centres[i].second, plot.top);
        EXPECT_LT(d.centres[i].second, plot.bottom);
    }
    // On screen a larger value is higher up; value 0 sits on the bottom of the plot, and the
    // heights are proportional to the values.
    EXPECT_EQ(d.layout.y(0.0), plot.bottom);
    const double perUnit = double(plot.bottom - d.line[0].second) / 12.0;
    EXPECT_NEAR(plot.bottom - d.line[1].second, perUnit * 16.0, 1.5);
    EXPECT_NEAR(plot.bottom - d.line[2].second, perUnit * 8.0, 1.5);
    // The measure and its unit, and the value labels right of nothing but the box.
    EXPECT_NE(d.surface.findText("Mean velocity (mm/s)"), nullptr);
    EXPECT_NE(d.surface.findText("0"), nullptr);
}

TEST(TrendGraphDrawing, OnPaperValuesGrowUpwardAndDateLabelsNeverOverlap) {
    std::vector<TrendPoint> p;
    for (int i = 0; i < 6; ++i) p.push_back({Jan2026 + i * 30 * Day, 10.0 + i});
    TrendGraph g{"95 % ellipse area", "mm^2", p};
    Drawn d;
    d.surface = RecordingSurface(true);
    const Rect box{100, -500, 1300, -1300};  // 0.1 mm, y upward
    draw(d, box, g);
    ASSERT_EQ(d.centres.size(), 6u);
    for (std::size_t i = 1; i < d.centres.size(); ++i) {
        EXPECT_GT(d.centres[i].first, d.centres[i - 1].first);
        EXPECT_GT(d.centres[i].second, d.centres[i - 1].second);  // upward on paper
    }
    for (const auto& [x, y] : d.centres) {
        EXPECT_LT(y, box.top);
        EXPECT_GT(y, box.bottom);
    }
    // Date labels: below the plot, left to right, none over its neighbour.
    std::vector<const RecordingSurface::Op*> dates;
    for (const auto* op : d.surface.texts())
        if (op->text.size() == 7 && op->text[4] == '-') dates.push_back(op);
    ASSERT_GE(dates.size(), 2u);
    for (std::size_t i = 0; i < dates.size(); ++i) {
        EXPECT_LT(std::max(dates[i]->rect.top, dates[i]->rect.bottom), d.layout.plot.bottom);
        if (i > 0) {
            EXPECT_GE(dates[i]->rect.left, dates[i - 1]->rect.right);
        }
    }
}

TEST(TrendGraphDrawing, WithoutPointsItSaysSoAndDrawsNoAxes) {
    Drawn d;
    draw(d, Rect{0, 0, 400, 200}, TrendGraph{"Mean velocity", "mm/s", {}});
    ASSERT_EQ(d.surface.texts().size(), 1u);
    EXPECT_EQ(d.surface.texts()[0]->text, NoTrendText);
    EXPECT_TRUE(d.surface.of(RecordingSurface::Kind::Rectangle).empty());
    EXPECT_TRUE(d.centres.empty());
}

TEST(TrendGraphDrawing, AValueThatIsNotANumberIsLeftOutOfTheLine) {
    TrendGraph g{
        "Mean velocity", "mm/s",
        points({{Jan2026, 5.0}, {Jan2026 + Day * 10, std::nan("")}, {Jan2026 + Day * 20, 6.0}})};
    Drawn d;
    draw(d, Rect{0, 0, 500, 300}, g);
    EXPECT_EQ(d.centres.size(), 2u);
    EXPECT_EQ(d.line.size(), 2u);
}

TEST(TrendPage, EveryRowIsPrintedOnceAndTheGraphOnlyOnTheFirstPage) {
    for (const int rows :
         {0, 1, TrendFirstPageRows, TrendFirstPageRows + 1, TrendFirstPageRows + TrendLaterPageRows,
          TrendFirstPageRows + TrendLaterPageRows + 1}) {
        SCOPED_TRACE(rows);
        TrendPage page{"mean velocity - Jana", TrendGraph{"mean velocity", "mm/s", {}}, {}};
        for (int i = 0; i < rows; ++i) {
            page.rows.push_back({"row" + std::to_string(i), std::to_string(i), "3"});
            page.graph.points.push_back({Jan2026 + i * Day, 1.0 + i});
        }
        const int32_t pages = trendPageCount(page);
        EXPECT_EQ(pages, rows <= TrendFirstPageRows
                             ? 1
                             : 1 + (rows - TrendFirstPageRows + TrendLaterPageRows - 1) /
                                       TrendLaterPageRows);
        std::vector<int> printed(std::size_t(rows), 0);
        for (int32_t n = 1; n <= pages; ++n) {
            RecordingSurface s(true);
            drawTrendPage(s, page, n);
            EXPECT_NE(s.findText("Page " + std::to_string(n) + " of " + std::to_string(pages)),
                      nullptr);
            // The graph's markers only on page 1.
            EXPECT_EQ(s.of(RecordingSurface::Kind::Ellipse).empty(), n > 1 || rows == 0);
            for (const auto* op : s.texts()) {
                if (op->text.rfind("row", 0) != 0) continue;
                ++printed[std::size_t(std::stoi(op->text.substr(3)))];
                // Within the printable A4 height (287 mm with the margins).
                EXPECT_GT(std::min(op->rect.top, op->rect.bottom), -2870);
            }
        }
        for (int i = 0; i < rows; ++i) EXPECT_EQ(printed[std::size_t(i)], 1) << i;
    }
}

}  // namespace
}  // namespace kenvo
