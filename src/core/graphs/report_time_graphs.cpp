#include "graphs/report_time_graphs.h"

#include <algorithm>
#include <array>

#include "analysis/text_format.h"
#include "graphs/axis_scale.h"
#include "graphs/report_axes.h"
#include "graphs/report_pens.h"
#include "graphs/report_y_fit.h"
#include "model/measurement_store.h"
#include "model/sample_metric.h"

namespace kenvo {

namespace {

constexpr ReportAxisLayout ScreenY1{3, 5, 40, 10, 40, 15, 35};
constexpr ReportAxisLayout PaperY1{15, 20, 120, 20, 200, 20, 60};
constexpr ReportAxisLayout ScreenY2 = ScreenY1;
constexpr ReportAxisLayout PaperY2{15, 20, 200, 20, 200, 20, 60};

struct Trace {
    int32_t kind;
    double min;
    double max;
    const AxisScale& scale;
    Pen pen;
};

}  // namespace

std::string_view reportAxisTitle(int32_t parameter) {
    static constexpr std::array<std::string_view, 4> Titles = {"COP X(mm)", "COP Y(mm)",
                                                               "Velocity(mm/s)", "HR (1/min)"};
    if (parameter < 0 || parameter >= static_cast<int32_t>(Titles.size())) return {};
    return Titles[static_cast<std::size_t>(parameter)];
}

int32_t reportValueStep(int32_t min, int32_t max, int32_t step) {
    if (step >= 1) return step;
    // A range under ten units would give a step of 0, which draws no ticks.
    const int64_t tenth = (int64_t{max} - min) / 10;
    return static_cast<int32_t>(std::max<int64_t>(tenth, 1));
}

void drawReportTimeGraphs(Surface& s, const Rect& r, const MeasurementStore& store,
                          const GraphSettings& g, DisplayState& st) {
    const SurfaceState keep(s);
    const bool paper = s.isPrinting();
    const int32_t a = r.left, b = r.top, c = r.right, d = r.bottom;

    // Fitting the value axes is a way of looking at the screen; pages print the settings.
    const bool fit = st.reportFitY && !paper;
    const ReportValueRange v1 =
        reportValueRange(store, st, st.reportY1, g.y1Min, g.y1Max, g.y1Step, fit);
    const ReportValueRange v2 =
        reportValueRange(store, st, st.reportY2, g.y2Min, g.y2Max, g.y2Step, fit);

    const int64_t n = int64_t{st.rangeEnd} - st.rangeStart;
    const int64_t xStep = std::max<int64_t>(n / 10, 1);
    const AxisScale time(0.0, static_cast<double>(n), c - a);
    const AxisScale y1(v1.min, v1.max, d - b);
    const AxisScale y2(v2.min, v2.max, d - b);
    st.reportXScale = time.factor();
    st.reportY1Scale = y1.factor();
    st.reportY2Scale = y2.factor();
    const auto xOf = [&](int64_t sample) {
        return time.horizontal(a, static_cast<double>(sample - st.rangeStart));
    };

    drawReportOpenFrame(s, {a, b, c, d});

    if (v1.min < 0 && 0 < v1.max) {
        const int32_t y = y1.vertical(d, 0.0);
        drawLine(s, a, y, c, y);
    }
    if (v2.min < 0 && 0 < v2.max) {
        s.selectPen(ReportRedPen);
        const int32_t y = y2.vertical(d, 0.0);
        drawLine(s, a, y, c, y);
    }

    s.selectPen(ReportBluePen);
    TimeLabelRow timeLabels(s);
    forEachTick(0.0, static_cast<double>(n - 1), static_cast<double>(xStep), [&](double k) {
        const int64_t sample = st.rangeStart + static_cast<int64_t>(k);
        drawReportTimeTick(s, timeLabels, xOf(sample), d,
                           formatText("%lld", static_cast<long long>(sample * 10)), 10, 25);
    });
    drawReportTimeTitle(s, a, c, d, "TIME (ms)", 25, 40);

    s.setTextColour(colour::Blue);
    drawReportValueAxis(s,
                        ReportValueAxis{false, a, b, d, y1, v1.firstTick, v1.max, v1.step,
                                        reportAxisTitle(st.reportY1), v1.decimals},
                        paper ? PaperY1 : ScreenY1);
    s.selectPen(ReportRedPen);
    s.setTextColour(colour::Red);
    drawReportValueAxis(s,
                        ReportValueAxis{true, c, b, d, y2, v2.firstTick, v2.max, v2.step,
                                        reportAxisTitle(st.reportY2), v2.decimals},
                        paper ? PaperY2 : ScreenY2);

    // Traces over the recorded part of the range: the value of sample i is taken with sample
    // i - 1 as its predecessor, the first one with itself.
    const int32_t attempt = st.selectedAttempt;
    if (attempt >= 0 && attempt < MaxAttempts) {
        const int32_t recorded =
            std::clamp(store.length[static_cast<std::size_t>(attempt)], 0, MaxSamples);
        const int32_t first = std::max(st.rangeStart, 0);
        const int32_t end = std::min(st.rangeEnd, recorded);
        const CopSample* samples = store.samples(attempt);
        for (const Trace& t : {Trace{st.reportY1, v1.min, v1.max, y1, ReportBluePen},
                               Trace{st.reportY2, v2.min, v2.max, y2, ReportRedPen}}) {
            if (end - first < 2) break;
            s.selectPen(t.pen);
            const auto y = [&](int32_t i, int32_t previous) {
                const float v =
                    shownMetric(t.kind, samples[i], samples[previous], store.calibration);
                return t.scale.vertical(
                    d, clampToAxis(v, static_cast<float>(t.min), static_cast<float>(t.max)));
            };
            s.moveTo(xOf(first), y(first, first));
            for (int32_t i = first + 1; i < end; ++i) s.lineTo(xOf(i), y(i, i - 1));
        }
    }

    s.selectPen(ReportBlackPen);
    drawLine(s, xOf(st.leftMarker), b, xOf(st.leftMarker), d);
    drawLine(s, xOf(st.rightMarker), b, xOf(st.rightMarker), d);
}

}  // namespace kenvo
