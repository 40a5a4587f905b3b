#include "graphs/trend_graph.h"

#include <algorithm>
#include <array>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <limits>

#include "graphs/axis_labels.h"

namespace kenvo {

namespace {

constexpr int64_t Day = 86400;

struct CivilDate {
    int year;
    unsigned month;  // 1..12
    unsigned day;    // 1..31
};

CivilDate civil(int64_t time) {
    using namespace std::chrono;
    const year_month_day ymd{floor<days>(sys_seconds{seconds{time}})};
    return {int(ymd.year()), unsigned(ymd.month()), unsigned(ymd.day())};
}

int64_t secondsOf(int year, unsigned month, unsigned day) {
    using namespace std::chrono;
    const sys_days d{std::chrono::year{year} / std::chrono::month{month} / std::chrono::day{day}};
    return duration_cast<seconds>(d.time_since_epoch()).count();
}

int64_t floorDiv(int64_t a, int64_t b) {
    return a / b - ((a % b != 0) && ((a < 0) != (b < 0)) ? 1 : 0);
}

// The calendar steps the time axis may use, finest first.
enum class StepUnit { Days, Months, Years };
struct TimeStep {
    StepUnit unit;
    int count;
    int64_t approxSeconds;
};
constexpr std::array<TimeStep, 14> TimeSteps{{
    {StepUnit::Days, 1, Day},
    {StepUnit::Days, 2, 2 * Day},
    {StepUnit::Days, 7, 7 * Day},
    {StepUnit::Days, 14, 14 * Day},
    {StepUnit::Months, 1, 30 * Day},
    {StepUnit::Months, 2, 61 * Day},
    {StepUnit::Months, 3, 91 * Day},
    {StepUnit::Months, 6, 182 * Day},
    {StepUnit::Years, 1, 365 * Day},
    {StepUnit::Years, 2, 730 * Day},
    {StepUnit::Years, 5, 1826 * Day},
    {StepUnit::Years, 10, 3652 * Day},
    {StepUnit::Years, 20, 7305 * Day},
    {StepUnit::Years, 50, 18262 * Day},
}};

std::string label(int64_t time, StepUnit unit) {
    const CivilDate d = civil(time);
    char text[32];
    switch (unit) {
        case StepUnit::Days:
            std::snprintf(text, sizeof text, "%04d-%02u-%02u", d.year, d.month, d.day);
            break;
        case StepUnit::Months:
            std::snprintf(text, sizeof text, "%04d-%02u", d.year, d.month);
            break;
        case StepUnit::Years:
            std::snprintf(text, sizeof text, "%04d", d.year);
            break;
    }
    return text;
}

// Every tick of `step` from the first calendar boundary at or after `min` up to `max`.
std::vector<TrendTimeTick> ticksOf(const TimeStep& step, int64_t min, int64_t max) {
    std::vector<TrendTimeTick> ticks;
    auto add = [&](int64_t t) {
        if (t >= min && t <= max) ticks.push_back({t, label(t, step.unit)});
    };
    if (step.unit == StepUnit::Days) {
        const int64_t stepSeconds = step.count * Day;
        for (int64_t t = floorDiv(min, stepSeconds) * stepSeconds; t <= max; t += stepSeconds)
            add(t);
        return ticks;
    }
    const CivilDate first = civil(min);
    if (step.unit == StepUnit::Months) {
        int64_t index = int64_t{first.year} * 12 + (first.month - 1);
        index = floorDiv(index, step.count) * step.count;
        for (;; index += step.count) {
            const int64_t t = secondsOf(int(floorDiv(index, 12)),
                                        unsigned(index - floorDiv(index, 12) * 12) + 1, 1);
            if (t > max) break;
            add(t);
        }
        return ticks;
    }
    for (int64_t year = floorDiv(first.year, step.count) * step.count;; year += step.count) {
        const int64_t t = secondsOf(int(year), 1, 1);
        if (t > max) break;
        add(t);
    }
    return ticks;
}

int32_t fontHeight(const Surface& s) {
    return s.isPrinting() ? fontSpec(ViewFont::PrintNormal).height
                          : fontSpec(ViewFont::SmallNormal).height;
}

// Wide enough for a digit of the axis font (Liberation Sans digits are 0.56 em).
int32_t charWidth(const Surface& s) {
    return (fontHeight(s) * 6 + 9) / 10;
}

std::string valueLabel(double value, int decimals) {
    char text[48];
    // -0.0 would print as "-0".
    if (std::fabs(value) < 1e-12) value = 0.0;
    std::snprintf(text, sizeof text, "%.*f", decimals, value);
    return text;
}

// +1 where y grows downward (screen), -1 where it grows upward (paper).
int32_t down(const Rect& r) {
    return r.top <= r.bottom ? 1 : -1;
}

}  // namespace

std::string trendDate(int64_t time) {
    return label(time, StepUnit::Days);
}

TrendValueAxis trendValueAxis(const std::vector<TrendPoint>& points) {
    double lo = 0.0, hi = 0.0;
    for (const TrendPoint& p : points) {
        if (!std::isfinite(p.value)) continue;
        lo = std::min(lo, p.value);
        hi = std::max(hi, p.value);
    }
    if (hi - lo <= 0.0) hi = lo + 1.0;
    // A step of 1, 2 or 5 times a power of ten that gives about five intervals.
    const double raw = (hi - lo) / 5.0;
    const double magnitude = std::pow(10.0, std::floor(std::log10(raw)));
    double step = 10.0 * magnitude;
    for (const double m : {1.0, 2.0, 5.0})
        if (m * magnitude >= raw) {
            step = m * magnitude;
            break;
        }
    TrendValueAxis axis;
    axis.step = step;
    axis.min = std::floor(lo / step + 1e-9) * step;
    axis.max = std::ceil(hi / step - 1e-9) * step;
    // A point on the frame itself is hard to see: the axis goes one step further.
    if (hi > 0.0 && axis.max - hi < step * 0.1) axis.max += step;
    if (lo < 0.0 && lo - axis.min < step * 0.1) axis.min -= step;
    axis.decimals = std::max(0, int(-std::floor(std::log10(step) + 1e-9)));
    return axis;
}

TrendTimeAxis trendTimeAxis(const std::vector<TrendPoint>& points, int32_t width,
                            int32_t charWidth) {
    TrendTimeAxis axis;
    if (points.empty()) {
        axis.min = 0;
        axis.max = Day;
        return axis;
    }
    int64_t first = std::numeric_limits<int64_t>::max();
    int64_t last = std::numeric_limits<int64_t>::min();
    for (const TrendPoint& p : points) {
        first = std::min(first, p.time);
        last = std::max(last, p.time);
    }
    // Room at both ends so the first and last points stand clear of the frame.
    const int64_t pad = std::max<int64_t>((last - first) / 20, 2 * Day);
    axis.min = first - pad;
    axis.max = last + pad;
    const int64_t span = axis.max - axis.min;
    for (const TimeStep& step : TimeSteps) {
        const int labelChars = step.unit == StepUnit::Days     ? 10
                               : step.unit == StepUnit::Months ? 7
                                                               : 4;
        const int maxTicks = std::max(2, width / std::max(1, (labelChars + 2) * charWidth));
        if (span / step.approxSeconds > maxTicks) continue;
        axis.ticks = ticksOf(step, axis.min, axis.max);
        if (int(axis.ticks.size()) <= maxTicks) break;
    }
    return axis;
}

int32_t TrendLayout::x(int64_t time) const {
    const double span = double(times.max - times.min);
    const double f = span > 0 ? double(time - times.min) / span : 0.5;
    return plot.left + int32_t(std::lround(f * (plot.right - plot.left)));
}

int32_t TrendLayout::y(double value) const {
    const double span = values.max - values.min;
    const double f = span > 0 ? (value - values.min) / span : 0.0;
    return plot.bottom + int32_t(std::lround(f * (plot.top - plot.bottom)));
}

TrendLayout trendLayout(const Surface& surface, const Rect& box, const TrendGraph& graph) {
    TrendLayout layout;
    layout.values = trendValueAxis(graph.points);
    const int32_t font = fontHeight(surface);
    const int32_t cw = charWidth(surface);
    const int32_t dir = down(box);
    // The widest value label decides the left margin.
    size_t widest = 1;
    for (double v = layout.values.min; v <= layout.values.max + layout.values.step * 0.5;
         v += layout.values.step)
        widest = std::max(widest, valueLabel(v, layout.values.decimals).size());
    const int32_t left = box.left + int32_t(widest) * cw + cw;
    const int32_t right = box.right - 5 * cw;  // half a date label may stick out on the right
    layout.plot = Rect{left, box.top + dir * (font * 2), right, box.bottom - dir * (font * 2)};
    layout.times = trendTimeAxis(graph.points, right - left, cw);
    return layout;
}

void drawTrendGraph(Surface& s, const Rect& box, const TrendGraph& graph) {
    SurfaceState keep(s);
    const bool paper = s.isPrinting();
    const ViewFont font = paper ? ViewFont::PrintNormal : ViewFont::SmallNormal;
    const int32_t fh = fontHeight(s);
    const int32_t cw = charWidth(s);
    const int32_t dir = down(box);
    const int32_t thin = paper ? 3 : 1;
    s.selectFont(font);
    s.setTextColour(colour::Black);

    if (graph.points.empty()) {
        s.text(box, NoTrendText, TextAlign::Centre);
        return;
    }
    const TrendLayout layout = trendLayout(s, box, graph);
    const Rect& plot = layout.plot;

    // The measure and its unit above the value axis.
    const std::string title =
        graph.unit.empty() ? graph.label : graph.label + " (" + graph.unit + ")";
    s.text(Rect{box.left, box.top, box.right, box.top + dir * (fh + fh / 2)}, title,
           TextAlign::Left);

    s.selectPen(Pen{colour::Black, thin});
    s.selectBrush(Brush{colour::White});
    s.rectangle(plot);

    // Value grid and labels.
    const TrendValueAxis& values = layout.values;
    const int32_t ticks = int32_t(std::lround((values.max - values.min) / values.step));
    for (int32_t i = 0; i <= ticks; ++i) {
        const double v = values.min + i * values.step;
        const int32_t y = layout.y(v);
        if (i > 0 && i < ticks) {
            s.selectPen(
                Pen{std::fabs(v) < values.step * 1e-6 ? colour::Black : colour::LightGrey, thin});
            s.moveTo(plot.left, y);
            s.lineTo(plot.right, y);
        }
        s.text(Rect{box.left, y - dir * fh / 2 - dir, plot.left - cw / 2, y + dir * fh / 2 + dir},
               valueLabel(v, values.decimals), TextAlign::Right);
    }

    // Date ticks and labels below the plot; a label that would touch its neighbour is left out.
    s.selectPen(Pen{colour::Black, thin});
    TimeLabelRow row(s);
    const int32_t tickLength = fh / 2;
    for (const TrendTimeTick& tick : layout.times.ticks) {
        const int32_t x = layout.x(tick.time);
        s.moveTo(x, plot.bottom);
        s.lineTo(x, plot.bottom + dir * tickLength);
        const int32_t half = int32_t(tick.label.size()) * cw / 2;
        const int32_t top = plot.bottom + dir * (tickLength + 1);
        row.draw(Rect{x - half, top, x + half, top + dir * (fh + 2)}, tick.label);
    }

    // The points, oldest first, joined by a line.
    std::vector<TrendPoint> points = graph.points;
    std::stable_sort(points.begin(), points.end(),
                     [](const TrendPoint& a, const TrendPoint& b) { return a.time < b.time; });
    s.selectPen(Pen{colour::Blue, paper ? 6 : 2});
    bool first = true;
    for (const TrendPoint& p : points) {
        if (!std::isfinite(p.value)) continue;
        if (first)
            s.moveTo(layout.x(p.time), layout.y(p.value));
        else
            s.lineTo(layout.x(p.time), layout.y(p.value));
        first = false;
    }
    const int32_t r = paper ? 12 : 3;
    s.selectPen(Pen{colour::Blue, thin});
    s.selectBrush(Brush{colour::Blue});
    for (const TrendPoint& p : points) {
        if (!std::isfinite(p.value)) continue;
        const int32_t x = layout.x(p.time), y = layout.y(p.value);
        s.ellipse(Rect{x - r, y - dir * r, x + r + 1, y + dir * (r + 1)});
    }
}

}  // namespace kenvo
