#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "graphs/surface.h"

namespace kenvo {

// One value of a subject's trend: when it was recorded and what it was. The time is in seconds
// since 1970 as the date labels should read it: the caller shifts UTC to the local time it
// shows elsewhere.
struct TrendPoint {
    int64_t time = 0;
    double value = 0.0;
};

// What a trend graph shows: the measure's name and unit for the value axis, and the points
// (any order; they are drawn oldest first).
struct TrendGraph {
    std::string label;  // e.g. "Mean velocity"
    std::string unit;   // e.g. "mm/s"; empty for a measure without one
    std::vector<TrendPoint> points;
};

// The value axis: from `min` to `max` in steps of `step`, both ends whole multiples of the
// step; zero always lies on it, so a trend is never exaggerated by a cut-off axis.
struct TrendValueAxis {
    double min = 0.0;
    double max = 1.0;
    double step = 1.0;
    int decimals = 0;  // the labels' decimals, enough to tell the ticks apart
};
TrendValueAxis trendValueAxis(const std::vector<TrendPoint>& points);

// The time axis: the span of the points with some room at either end, and the finest calendar
// ticks (midnights, first days of months or of years) whose labels fit side by side across
// `width` units with `charWidth` units a character and two characters' gap between them.
struct TrendTimeTick {
    int64_t time = 0;
    std::string label;  // "2026-03-14", "2026-03" or "2026", as the step suits
};
struct TrendTimeAxis {
    int64_t min = 0;
    int64_t max = 1;
    std::vector<TrendTimeTick> ticks;
};
TrendTimeAxis trendTimeAxis(const std::vector<TrendPoint>& points, int32_t width,
                            int32_t charWidth);

// "2026-03-14" for seconds since 1970 (no time zone is applied).
std::string trendDate(int64_t time);

// The graph's parts inside `box`, for placing and for tests: the plot area (a rectangle in
// the surface's units, y growing downward on screen and upward on paper) and the axes.
struct TrendLayout {
    Rect plot;
    TrendValueAxis values;
    TrendTimeAxis times;
    // Where a point lands in the plot.
    int32_t x(int64_t time) const;
    int32_t y(double value) const;
};
TrendLayout trendLayout(const Surface& surface, const Rect& box, const TrendGraph& graph);

// Draws the graph in `box`: the measure and unit above the plot, the value axis with its
// labels and grid on the left, the dates below, the points joined oldest to newest. Without
// points it says so in the middle of the box.
void drawTrendGraph(Surface& surface, const Rect& box, const TrendGraph& graph);

// The text drawn when there is nothing to plot.
inline constexpr const char* NoTrendText = "No sessions with stance attempts";

}  // namespace kenvo
