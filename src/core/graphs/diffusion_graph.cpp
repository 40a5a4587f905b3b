#include "graphs/diffusion_graph.h"

#include <algorithm>
#include <tuple>

#include "analysis/text_format.h"
#include "graphs/axis_scale.h"
#include "graphs/report_axes.h"
#include "graphs/report_pens.h"

namespace kenvo {

namespace {

constexpr ReportAxisLayout ScreenAxis{3, 5, 40, 10, 30, 10, 25};
constexpr ReportAxisLayout PaperY1{15, 20, 100, 20, 200, 20, 60};
constexpr ReportAxisLayout PaperY2{15, 20, 200, 20, 200, 20, 60};
constexpr int32_t LagsPerTick = 100;

int32_t kindOf(int32_t parameter) {
    return std::clamp(parameter, 0, DiffusionParameterCount - 1);
}

}  // namespace

std::string_view diffusionAxisTitle(int32_t parameter) {
    static constexpr std::array<std::string_view, 4> Titles = {"r (mm)", "r2 (mm2)", "x (mm)",
                                                               "y (mm)"};
    if (parameter < 0 || parameter >= static_cast<int32_t>(Titles.size())) return {};
    return Titles[static_cast<std::size_t>(parameter)];
}

void drawDiffusionGraph(Surface& s, const Rect& r, const GraphSettings& g,
                        const DiffusionGraphInput& in, DisplayState& st) {
    const SurfaceState keep(s);
    const bool paper = s.isPrinting();
    const int32_t a = r.left, b = r.top, c = r.right, d = r.bottom;

    const int32_t k1 = kindOf(st.reportY1), k2 = kindOf(st.reportY2);
    const int32_t s1 = std::max(g.daStep[k1], 1), s2 = std::max(g.daStep[k2], 1);
    const int32_t m1 = g.daMax[k1], m2 = g.daMax[k2];
    const AxisScale lag(0.0, st.rangeEnd, c - a);
    const AxisScale y1(0.0, m1, d - b);
    const AxisScale y2(0.0, m2, d - b);
    st.reportXScale = lag.factor();
    st.reportY1Scale = y1.factor();
    st.reportY2Scale = y2.factor();

    drawReportOpenFrame(s, {a, b, c, d});

    TimeLabelRow lagLabels(s);
    forEachTick(0.0, st.rangeEnd, LagsPerTick, [&](double offset) {
        drawReportTimeTick(s, lagLabels, lag.horizontal(a, offset), d,
                           formatText("%d", static_cast<int>(offset) * 10), 3, 18);
    });
    drawReportTimeTitle(s, a, c, d, "Time interval (ms)", 18, 33);

    s.setTextColour(colour::Blue);
    s.selectPen(ReportBluePen);
    drawReportValueAxis(s,
                        ReportValueAxis{false, a, b, d, y1, 0.0, static_cast<double>(m1),
                                        static_cast<double>(s1), diffusionAxisTitle(k1), std::nullopt},
                        paper ? PaperY1 : ScreenAxis);
    s.setTextColour(colour::Red);
    s.selectPen(ReportRedPen);
    drawReportValueAxis(s,
                        ReportValueAxis{true, c, b, d, y2, 0.0, static_cast<double>(m2),
                                        static_cast<double>(s2), diffusionAxisTitle(k2), std::nullopt},
                        paper ? PaperY2 : ScreenAxis);

    // Lags past the records are not drawn; the displayed range never reaches them.
    const int32_t first = std::max(st.rangeStart, 0);
    const int32_t end = std::min(st.rangeEnd, DiffusionGraphLags);
    const auto x = [&](int32_t i) { return lag.horizontal(a, i); };

    if (in.curve) {
        const DiffusionRecords& curve = *in.curve;
        for (const auto& [kind, max, scale, pen] :
             {std::tuple{k1, m1, &y1, ReportBluePen}, std::tuple{k2, m2, &y2, ReportRedPen}}) {
            s.selectPen(pen);
            const auto column = static_cast<std::size_t>(kind);
            const auto value = [&curve, column](int32_t i) {
                return std::max(curve[static_cast<std::size_t>(i)][column], 0.0f);
            };
            // A point above the maximum ends no segment but still starts the next one.
            for (int32_t i = first + 1; i < end; ++i) {
                s.moveTo(x(i - 1), scale->vertical(d, value(i - 1)));
                const float v = value(i);
                if (v <= static_cast<float>(max)) s.lineTo(x(i), scale->vertical(d, v));
            }
        }
    }

    if (in.resultsCurrent) {
        // Both lines against the Y1 axis, held within 0 .. M1; a step that reaches M1 is not
        // drawn, so each line stops where it leaves the graph at the top.
        s.selectPen(ReportBlackPen);
        const float top = static_cast<float>(m1);
        const auto limited = [&](float v) { return clampToAxis(v, 0.0f, top); };
        const auto line = [&](float slope, float intercept, int32_t stop) {
            stop = std::min(stop, DiffusionGraphLags);
            float previous = limited(intercept);
            for (int32_t i = first + 1; i < stop; ++i) {
                const float v = limited(slope * static_cast<float>(i) + intercept);
                if (v != top) {
                    s.moveTo(x(i - 1), y1.vertical(d, previous));
                    s.lineTo(x(i), y1.vertical(d, v));
                }
                previous = v;
            }
        };
        line(in.originSlope, 0.0f, st.rangeEnd / 2);
        line(in.lineA, in.lineB, st.rangeEnd);
    }

    s.selectPen(ReportBlackPen);
    drawLine(s, x(st.leftMarker), b, x(st.leftMarker), d);
}

}  // namespace kenvo
