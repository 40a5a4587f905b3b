#include "graphs/ellipse_outline.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "clinical/attempt_trace.h"
#include "clinical/low_pass.h"
#include "graphs/report_pens.h"
#include "model/limits.h"
#include "model/measurement_store.h"

namespace kenvo {

std::vector<Point> ellipseOutline(const PredictionEllipse& e, const CopPlaneMapping& m,
                                  const GraphSettings& g, int32_t points) {
    points = std::max(points, EllipseOutlinePoints);
    // A round cloud has no direction; any angle draws the same circle.
    const double angle = e.angleDeg.value_or(0.0) * std::numbers::pi / 180.0;
    const double c = std::cos(angle), s = std::sin(angle);
    const double lo = g.copAxisMin, hi = g.copAxisMax;
    std::vector<Point> outline;
    outline.reserve(static_cast<std::size_t>(points) + 1);
    for (int32_t k = 0; k <= points; ++k) {
        const double t = 2.0 * std::numbers::pi * (k % points) / points;
        const double u = e.major * std::cos(t), v = e.minor * std::sin(t);
        const double x = e.centreX + u * c - v * s;
        const double y = e.centreY + u * s + v * c;
        outline.push_back(m.map(clampToAxis(x, lo, hi), clampToAxis(y, lo, hi)));
    }
    return outline;
}

std::optional<PredictionEllipse> attemptEllipse(const MeasurementStore& store, int32_t attempt,
                                                int32_t first, int32_t end,
                                                const ClinicalViewOptions& options) {
    SwayTrace trace = attemptTrace(store, attempt);
    const auto n = static_cast<int32_t>(trace.x.size());
    first = std::clamp(first, 0, n);
    end = std::clamp(end, first, n);
    if (end - first < 3) return std::nullopt;
    if (const auto hz = options.lowPass()) {
        std::vector<double> fx, fy;
        // Too short an attempt is taken as it is, as the measures take it.
        if (zeroPhaseLowPass(trace.x, trace.y, butterworthLowPass(*hz, SampleRate), fx, fy)) {
            trace.x = std::move(fx);
            trace.y = std::move(fy);
        }
    }
    const auto count = static_cast<std::size_t>(end - first);
    return predictionEllipse95(
        std::span<const double>(trace.x).subspan(static_cast<std::size_t>(first), count),
        std::span<const double>(trace.y).subspan(static_cast<std::size_t>(first), count));
}

void drawAttemptEllipse(Surface& s, const Rect& plane, const GraphSettings& g,
                        const MeasurementStore& store, int32_t attempt, int32_t first, int32_t end,
                        const ClinicalViewOptions* options) {
    if (!options || !options->drawEllipse) return;
    const auto ellipse = attemptEllipse(store, attempt, first, end, *options);
    if (!ellipse) return;
    const std::vector<Point> outline = ellipseOutline(*ellipse, CopPlaneMapping(g, plane), g);
    const SurfaceState keep(s);
    s.selectPen(EllipsePen);
    s.moveTo(outline.front().x, outline.front().y);
    for (std::size_t i = 1; i < outline.size(); ++i) s.lineTo(outline[i].x, outline[i].y);
}

}  // namespace kenvo
