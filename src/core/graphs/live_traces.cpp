#include "graphs/live_traces.h"

#include <algorithm>

#include "analysis/text_format.h"
#include "graphs/axis_labels.h"
#include "graphs/axis_scale.h"
#include "graphs/cop_plane_mapping.h"
#include "graphs/hit_tests.h"
#include "graphs/report_pens.h"
#include "graphs/stance_frames.h"
#include "model/sample_metric.h"

namespace kenvo {

namespace {

// A consistent view of the live ring for one drawing: the reader thread may push while we draw,
// so the oldest index and the capacity are read once and every offset is taken from them.
struct Window {
    explicit Window(const LiveTrace& t) : trace(t), capacity(t.capacity()), oldest(t.oldest()) {}
    int32_t index(int32_t offset) const { return (oldest + offset) % capacity; }
    CopSample entry(int32_t offset) const { return trace.entry(index(offset)); }
    int32_t sequence(int32_t offset) const { return trace.sequence(index(offset)); }
    int32_t lastOffset() const { return capacity - 1; }

    const LiveTrace& trace;
    int32_t capacity;
    int32_t oldest;
};

struct ValueAxis {
    int32_t parameter;
    int32_t min;
    int32_t max;
    TracePens pens;
};

void drawValueTrace(const StanceContext& ctx, Surface& s, const Window& w, const Rect& r, const AxisScale& time,
                    const ValueAxis& axis, int32_t first, int32_t last) {
    const AxisScale scale(axis.min, axis.max, r.bottom - r.top);
    int recordedClass = -1;
    for (int32_t k = first; k <= last; ++k) {
        const CopSample entry = w.entry(k);
        const CopSample previous = w.entry(std::max(k - 1, 0));
        float v = shownMetric(axis.parameter, entry, previous, ctx.store.calibration);
        // Two steps rather than a clamp: an axis with max below min pins every value to max.
        v = std::max(v, static_cast<float>(axis.min));
        v = std::min(v, static_cast<float>(axis.max));
        const int32_t x = time.horizontal(r.left, k * 10.0);
        const int32_t y = scale.vertical(r.bottom, v);
        const int cls = w.sequence(k) >= 0 ? 1 : 0;
        if (cls != recordedClass) {
            s.selectPen(Pen{cls ? axis.pens.recorded : axis.pens.live});
            recordedClass = cls;
        }
        if (k == first)
            s.moveTo(x, y);
        else
            s.lineTo(x, y);
    }
}

void plusMark(Surface& s, Point p, Rgb c) {
    s.setPixel(p.x, p.y, c);
    s.setPixel(p.x - 1, p.y, c);
    s.setPixel(p.x + 1, p.y, c);
    s.setPixel(p.x, p.y - 1, c);
    s.setPixel(p.x, p.y + 1, c);
}

// The 8 x 8 head marker from p, moved in where it would stick out of the plane.
Rect headMarker(Point p, const Rect& plane) {
    const auto inside = [](int32_t v, int32_t edge1, int32_t edge2) {
        const int32_t lo = std::min(edge1, edge2), hi = std::max(edge1, edge2) - 8;
        return std::clamp(v, lo, std::max(lo, hi));
    };
    const int32_t x = inside(p.x, plane.left, plane.right), y = inside(p.y, plane.top, plane.bottom);
    return {x, y, x + 8, y + 8};
}

}  // namespace

TraceWindow copTraceWindow(int32_t n, int32_t copTraceLength) {
    const int32_t length = std::clamp(copTraceLength, 0, MaxTracePoints);
    if (n <= 0) return {};
    return {std::max(n - length, 0), std::min(n, length)};
}

void drawLiveTimeTraces(const StanceContext& ctx, Surface& s, const Rect& r, int32_t first, int32_t last) {
    SurfaceState keep(s);
    const bool paper = s.isPrinting();
    const GraphSettings& g = ctx.graph;
    const int32_t a = r.left, b = r.top, c = r.right, d = r.bottom;
    const Window w(ctx.store.liveTrace);
    first = std::max(first, 0);
    last = std::min(last, w.lastOffset());

    const AxisScale time(0.0, g.timeAxisSeconds * 1000.0, c - a);
    ctx.state.timeScale = time.factor();
    ctx.state.y1Scale = AxisScale(g.y1Min, g.y1Max, d - b).factor();
    ctx.state.y2Scale = AxisScale(g.y2Min, g.y2Max, d - b).factor();

    if (!paper) {
        s.selectPen(Pen{colour::White});
        s.selectBrush(Brush{colour::White});
        s.rectangle({a + 1, b - 6, c, d});
        s.rectangle({a - 20, d + 1, c + 20, d + 40});
    }

    if (first <= last) {
        drawValueTrace(ctx, s, w, r, time, {g.y1Parameter, g.y1Min, g.y1Max, Y1TracePens}, first,
                       last);
        drawValueTrace(ctx, s, w, r, time, {g.y2Parameter, g.y2Min, g.y2Max, Y2TracePens}, first,
                       last);
    }

    s.selectFont(paper ? ViewFont::PrintNormal : ViewFont::SmallNormal);
    s.selectPen(Pen{colour::Black});
    s.moveTo(a, d);
    s.lineTo(c, d);

    // Sequence 0 is the sample just before recording began, so the labels count recorded time.
    int64_t latestMs = 0;
    TimeLabelRow labels(s);
    for (int32_t k = first; k <= last; ++k) {
        const int64_t t = int64_t{w.sequence(k)} * 10;
        if (t < 0) continue;
        latestMs = t;
        if (t % 1000 != 0) continue;
        const int32_t x = time.horizontal(a, k * 10.0);
        s.moveTo(x, d);
        s.lineTo(x, paper ? d - 20 : d + 3);
        const std::string label = formatText("%.2f", static_cast<double>(t) / 1000.0);
        labels.draw(paper ? paperTimeLabelBox(x, d, label) : Rect{x - 20, d + 3, x + 20, d + 18}, label);
    }
    s.text(paper ? Rect{a, d - 80, (a + c) / 2, d - 120} : Rect{a, d + 20, (a + c) / 2, d + 35},
           formatText("Time: %.2f", static_cast<double>(latestMs) / 1000.0), TextAlign::Left);

    if (paper) {
        s.moveTo(a, d);
        s.lineTo(a, b);
        s.moveTo(c, d);
        s.lineTo(c, b);
    }
}

void drawLiveCopTrace(const StanceContext& ctx, Surface& s, const Rect& r, int32_t n) {
    SurfaceState keep(s);
    const bool paper = s.isPrinting();
    DisplayState& st = ctx.state;
    const CopPlaneMapping m(ctx.graph, r);
    st.copScaleX = m.x.factor();
    st.copScaleY = m.y.factor();

    // Erase exactly what the last tick drew; the square itself is not cleared.
    if (!paper && st.traceStart >= 0) {
        s.selectPen(Pen{colour::White});
        s.selectBrush(Brush{colour::White});
        const int32_t lastPoint = std::clamp(st.traceLast, 0, MaxTracePoints - 1);
        Point p{};
        for (int32_t i = 0; i <= lastPoint; ++i) {
            const PointMm& mm = st.tracePoints[static_cast<std::size_t>(i)];
            p = m.map(mm.x, mm.y);
            plusMark(s, p, colour::White);
        }
        s.ellipse(headMarker(p, r));
    }

    s.selectPen(Pen{ctx.overload ? colour::Red : colour::Black});
    s.moveTo(r.left, r.top);
    s.lineTo(r.left, r.bottom);
    s.lineTo(r.right, r.bottom);
    s.lineTo(r.right, r.top);
    s.lineTo(r.left, r.top);
    s.selectPen(Pen{colour::Black});
    drawOriginCross(ctx, s, r);

    s.selectPen(Pen{colour::Red});
    s.selectBrush(Brush{colour::Red});
    const Window w(ctx.store.liveTrace);
    const TraceWindow tw = copTraceWindow(std::min(n, w.lastOffset()), ctx.graph.copTraceLength);
    const PlatformCalibration& cal = ctx.store.calibration;
    const TargetTestState* target = paper ? nullptr : ctx.target;
    const bool marksAttempt = ctx.recordingAttempt >= 0 && ctx.recordingAttempt < MaxAttempts;
    const float lo = static_cast<float>(ctx.graph.copAxisMin), hi = static_cast<float>(ctx.graph.copAxisMax);
    Point p{};
    for (int32_t i = 0; i < tw.count; ++i) {
        const CopSample e = w.entry(tw.first + i);
        const float rawX = sampleMetric(MetricCopX, e, e, cal) - st.displayCentreX;
        const float rawY = sampleMetric(MetricCopY, e, e, cal) - st.displayCentreY;
        // Drawn held on the plane's axes, so a wide sway stays in the square rather than
        // running over the tick labels and the title; the target is hit where the COP is.
        const float x = clampToAxis(rawX, lo, hi), y = clampToAxis(rawY, lo, hi);
        p = m.map(x, y);
        if (paper) {
            s.setPixel(p.x, p.y, colour::Black);
            continue;
        }
        st.tracePoints[static_cast<std::size_t>(i)] = {x, y};
        plusMark(s, p, colour::Red);
        const Point at = m.map(rawX, rawY);
        if (target && marksAttempt && insideCircle(at.x, at.y, target->circleX, target->circleY, target->circleRadius))
            ctx.store.targetReached[static_cast<std::size_t>(ctx.recordingAttempt)] = 1;
    }
    if (tw.count > 0) s.ellipse(headMarker(p, r));

    // A printed page leaves the screen's erase state as it was.
    if (paper) return;
    if (tw.count > 0) {
        st.traceStart = tw.first;
        st.traceLast = tw.count - 1;
    } else {
        st.traceStart = -1;
    }
}

}  // namespace kenvo
