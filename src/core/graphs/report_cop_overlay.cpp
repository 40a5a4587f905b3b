#include "graphs/report_cop_overlay.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "analysis/text_format.h"
#include "graphs/axis_scale.h"
#include "graphs/report_pens.h"
#include "model/measurement_store.h"
#include "model/sample_metric.h"

namespace kenvo {

void drawReportCopOverlay(Surface& s, const Rect& r, const MeasurementStore& store,
                          const GraphSettings& g, const DisplayState& st) {
    const int32_t attempt = st.selectedAttempt;
    if (attempt < 0 || attempt >= MaxAttempts) return;
    const int32_t recorded =
        std::clamp(store.length[static_cast<std::size_t>(attempt)], 0, MaxSamples);
    if (recorded == 0) return;

    const SurfaceState keep(s);
    const int32_t a = r.left, b = r.top, c = r.right, d = r.bottom;
    const AxisScale sx(g.copAxisMin, g.copAxisMax, c - a);
    const AxisScale sy(g.copAxisMin, g.copAxisMax, d - b);
    const CopSample* samples = store.samples(attempt);
    const float lo = static_cast<float>(g.copAxisMin), hi = static_cast<float>(g.copAxisMax);
    const auto mm = [&](int32_t i, int32_t kind) {
        return sampleMetric(kind, samples[i], samples[i], store.calibration);
    };
    const auto point = [&](int32_t i) {
        return Point{sx.horizontal(a, clampToAxis(mm(i, MetricCopX), lo, hi)),
                     sy.vertical(d, clampToAxis(mm(i, MetricCopY), lo, hi))};
    };

    s.selectPen(ReportBlackPen);
    const int32_t first = std::max(st.rangeStart, 0);
    const int32_t end = std::min(st.rangeEnd, recorded);
    for (int32_t i = first; i < end; ++i) {
        const Point p = point(i);
        if (i == first)
            s.moveTo(p.x, p.y);
        else
            s.lineTo(p.x, p.y);
    }

    const auto onRecording = [&](int32_t i) { return std::clamp(i, 0, recorded - 1); };
    const int32_t left = onRecording(st.leftMarker), right = onRecording(st.rightMarker);
    for (const auto& [sample, pen] :
         {std::pair{left, ReportBluePen}, std::pair{right, ReportRedPen}}) {
        const Point p = point(sample);
        s.selectPen(pen);
        drawLine(s, p.x - 3, p.y, p.x + 3, p.y);
        drawLine(s, p.x, p.y - 3, p.x, p.y + 3);
    }

    const float dx = mm(left, MetricCopX) - mm(right, MetricCopX);
    const float dy = mm(left, MetricCopY) - mm(right, MetricCopY);
    const float distance = std::sqrt(dy * dy + dx * dx);
    const Rect band = s.isPrinting() ? Rect{a, b + 60, c, b + 20} : Rect{a, b - 40, c, b - 25};
    s.text(band, formatText("  DISTANCE: %4.3f  ", static_cast<double>(distance)),
           TextAlign::Centre);
}

}  // namespace kenvo
