#include "graphs/stance_frames.h"

#include "analysis/text_format.h"
#include "graphs/axis_labels.h"
#include "graphs/axis_scale.h"
#include "graphs/cop_plane_mapping.h"
#include "graphs/display_geometry.h"
#include "graphs/protocol_target_disc.h"

namespace kenvo {

namespace {

std::string integerLabel(double v) { return formatText("%d", static_cast<int>(v)); }

void line(Surface& s, int32_t x0, int32_t y0, int32_t x1, int32_t y1) {
    s.moveTo(x0, y0);
    s.lineTo(x1, y1);
}

}  // namespace

std::string_view liveAxisTitle(int32_t graphParameter) {
    switch (graphParameter) {
        case GraphCopX: return "COP-X (mm)";
        case GraphCopY: return "COP-Y (mm)";
        case GraphVelocity: return "v (mm/s)";
        case GraphHeartFrequency: return "HR (1/min)";
        default: return "";
    }
}

void drawOriginCross(const StanceContext& ctx, Surface& s, const Rect& r) {
    const Point o = CopPlaneMapping(ctx.graph, r).origin();
    line(s, o.x, o.y - 20, o.x, o.y + 20);
    line(s, o.x - 20, o.y, o.x + 20, o.y);
}

void drawCopPlaneFrame(const StanceContext& ctx, Surface& s, const Rect& r) {
    SurfaceState keep(s);
    const bool paper = s.isPrinting();
    const GraphSettings& g = ctx.graph;
    s.selectPen(Pen{colour::Black});
    s.selectFont(paper ? ViewFont::PrintNormal : ViewFont::SmallNormal);

    const CopPlaneMapping m(g, r);
    ctx.state.copScaleX = m.x.factor();
    ctx.state.copScaleY = m.y.factor();
    const int32_t a = r.left, b = r.top, c = r.right, d = r.bottom;

    const bool targetData = isTargetHittingData(ctx.store);
    // Above the plane's top left corner, clear of the graph report's distance line and
    // read-out strip.
    if (targetData) {
        const std::string number = formatText("%d", ctx.state.selectedAttempt + 1);
        if (paper) {
            s.text({a, b + 140, a + 160, b + 100}, "Test No:", TextAlign::Left);
            s.text({a + 170, b + 140, a + 400, b + 100}, number, TextAlign::Left);
        } else {
            s.text({a - 30, b - 60, a + 30, b - 45}, "Test No:", TextAlign::Left);
            s.text({a + 32, b - 60, a + 58, b - 45}, number, TextAlign::Left);
        }
    }

    s.moveTo(a, b);
    s.lineTo(a, d);
    s.lineTo(c, d);
    s.lineTo(c, b);
    s.lineTo(a, b);

    // The title sits below the tick labels; on paper that is further down the page.
    s.text(paper ? Rect{a, d - 80, c, d - 120} : Rect{a, d + 25, c, d + 40}, "COP (mm)",
           TextAlign::Centre);

    // Both axes start with a tick at the minimum.
    forEachTick(g.copAxisMin, g.copAxisMax, g.copAxisStep, [&](double v) {
        const std::string label = integerLabel(v);
        const int32_t x = m.x.horizontal(a, v);
        line(s, x, d, x, paper ? d - 20 : d + 3);
        s.text(paper ? Rect{x - 200, d - 20, x + 200, d - 60} : Rect{x - 20, d + 3, x + 20, d + 18}, label,
               TextAlign::Centre);

        const int32_t y = m.y.vertical(d, v);
        line(s, a, y, paper ? a - 15 : a - 3, y);
        s.text(paper ? Rect{a - 100, y + 20, a - 20, y - 20} : Rect{a - 40, y - 10, a - 5, y + 10}, label,
               TextAlign::Right);
        const int32_t tick = paper ? 15 : 3;
        const int32_t near = c + tick + rightLabelGap(s);
        line(s, c, y, c + tick, y);
        s.text(paper ? Rect{near, y + 20, c + 200, y - 20} : Rect{near, y - 10, c + 40, y + 10}, label,
               TextAlign::Left);
    });

    drawOriginCross(ctx, s, r);

    if (targetData && ctx.target && ctx.target->newTargetFlag) {
        const int32_t attempt = ctx.recordingAttempt >= 0 ? ctx.recordingAttempt : ctx.state.selectedAttempt;
        drawProtocolTargetDisc(s, *ctx.target, ctx.store, attempt, drivingSquare(ctx.client));
    }
}

void drawTimeGraphFrame(const StanceContext& ctx, Surface& s, const Rect& r) {
    SurfaceState keep(s);
    const bool paper = s.isPrinting();
    const GraphSettings& g = ctx.graph;
    const int32_t a = r.left, b = r.top, c = r.right, d = r.bottom;

    const AxisScale time(0.0, g.timeAxisSeconds * 1000.0, c - a);
    const AxisScale y1(g.y1Min, g.y1Max, d - b);
    const AxisScale y2(g.y2Min, g.y2Max, d - b);
    ctx.state.timeScale = time.factor();
    ctx.state.y1Scale = y1.factor();
    ctx.state.y2Scale = y2.factor();

    s.selectFont(paper ? ViewFont::PrintNormal : ViewFont::SmallNormal);
    s.selectPen(Pen{colour::Black});
    s.moveTo(a, b);
    s.lineTo(a, d);
    s.lineTo(c, d);
    s.lineTo(c, b);

    // The value axes get no tick at their minimum, which lies on the time axis.
    s.setTextColour(colour::Blue);
    forEachTick(double(g.y1Min) + g.y1Step, g.y1Max, g.y1Step, [&](double v) {
        const int32_t y = y1.vertical(d, v);
        line(s, a, y, paper ? a - 15 : a - 3, y);
        s.text(paper ? Rect{a - 100, y + 20, a - 20, y - 20} : Rect{a - 40, y - 10, a - 5, y + 10},
               integerLabel(v), TextAlign::Right);
    });
    s.text(paper ? Rect{a - 200, b + 60, a + 200, b + 20} : Rect{a - 50, b - 25, a + 50, b - 10},
           liveAxisTitle(g.y1Parameter), TextAlign::Centre);

    s.setTextColour(colour::Red);
    forEachTick(double(g.y2Min) + g.y2Step, g.y2Max, g.y2Step, [&](double v) {
        const int32_t y = y2.vertical(d, v);
        const int32_t tick = paper ? 15 : 3;
        const int32_t near = c + tick + rightLabelGap(s);
        line(s, c, y, c + tick, y);
        if (paper)
            s.text({near, y + 20, c + 200, y - 20}, integerLabel(v), TextAlign::Left);
        else
            s.text({near, y - 10, c + 40, y + 10}, integerLabel(v), TextAlign::Right);
    });
    s.text(paper ? Rect{c - 200, b + 60, c + 200, b + 20} : Rect{c - 50, b - 25, c + 50, b - 10},
           liveAxisTitle(g.y2Parameter), TextAlign::Centre);
}

}  // namespace kenvo
