#include "graphs/cop_pictures.h"

#include <algorithm>

#include "graphs/cop_plane_mapping.h"
#include "graphs/ellipse_outline.h"
#include "graphs/live_traces.h"
#include "graphs/stance_frames.h"
#include "model/sample_metric.h"

namespace kenvo {

namespace {

double clampTo(double v, int32_t min, int32_t max) {
    // Two steps rather than std::clamp, which max < min would make undefined.
    return std::min(std::max(v, double(min)), double(max));
}

void attemptPolyline(const StanceContext& ctx, Surface& s, const CopPlaneMapping& m, int32_t attempt) {
    const MeasurementStore& store = ctx.store;
    const int32_t count = store.plannedSamples();
    const CopSample* samples = store.samples(attempt);
    const GraphSettings& g = ctx.graph;
    for (int32_t i = 0; i < count; ++i) {
        const CopSample& e = samples[i];
        const double x = clampTo(sampleMetric(MetricCopX, e, e, store.calibration), g.copAxisMin, g.copAxisMax);
        const double y = clampTo(sampleMetric(MetricCopY, e, e, store.calibration), g.copAxisMin, g.copAxisMax);
        const Point p = m.map(x, y);
        if (i == 0)
            s.moveTo(p.x, p.y);
        else
            s.lineTo(p.x, p.y);
    }
}

}  // namespace

void showCopPicture(const StanceContext& ctx, Surface& s, const Rect& r, CopPictureKind kind) {
    DisplayState& st = ctx.state;
    // The dialog allows up to 10 s; a larger word must not overflow the millisecond count.
    st.copCountdown = std::clamp(ctx.graph.copDisplayTimeSeconds, 0, 10) * 1000;
    st.copPictureKind = kind;

    SurfaceState keep(s);
    s.selectPen(Pen{colour::Black});
    const CopPlaneMapping m(ctx.graph, r);
    const int32_t attempts = std::clamp(ctx.store.attemptCount, 0, MaxAttempts);
    // Each attempt's ellipse covers the samples its trajectory shows.
    const auto ellipse = [&](int32_t k) {
        drawAttemptEllipse(s, r, ctx.graph, ctx.store, k, 0, ctx.store.plannedSamples(), ctx.clinical);
    };
    if (kind == CopPictureAll) {
        for (int32_t k = 0; k < attempts; ++k) attemptPolyline(ctx, s, m, k);
        for (int32_t k = 0; k < attempts; ++k) ellipse(k);
    } else if (kind == CopPictureOne && st.selectedAttempt >= 0 && st.selectedAttempt < attempts) {
        attemptPolyline(ctx, s, m, st.selectedAttempt);
        ellipse(st.selectedAttempt);
    }
}

bool countDownCopPicture(DisplayState& st, bool printJobActive) {
    if (printJobActive || st.copCountdown <= 0) return false;
    st.copCountdown = std::max(st.copCountdown - 50, 0);
    return st.copCountdown == 0;
}

void removeCopPicture(const StanceContext& ctx, Surface& s, const Rect& r, int32_t n) {
    {
        SurfaceState keep(s);
        s.selectPen(Pen{colour::White});
        s.selectBrush(Brush{colour::White});
        s.rectangle(r);
    }
    drawCopPlaneFrame(ctx, s, r);
    drawLiveCopTrace(ctx, s, r, n);
    ctx.state.copPictureKind = CopPictureNone;
}

}  // namespace kenvo
