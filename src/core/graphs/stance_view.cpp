#include "graphs/stance_view.h"

#include "graphs/live_traces.h"
#include "graphs/stance_frames.h"

namespace kenvo {

void repaintStanceView(const StanceContext& ctx, Surface& s, const StancePanels& p, bool replay) {
    drawTimeGraphFrame(ctx, s, p.timeGraph);
    drawCopPlaneFrame(ctx, s, p.copPlane);
    if (!replay) return;
    const int32_t n = ctx.state.traceLength;
    drawLiveTimeTraces(ctx, s, p.timeGraph, 0, n);
    drawLiveCopTrace(ctx, s, p.copPlane, n);
}

void stanceTick(const StanceContext& ctx, Surface& s, const StancePanels& p, int32_t dispatcherSampleCount) {
    const int32_t n = ctx.state.traceLength;
    drawLiveTimeTraces(ctx, s, p.timeGraph, 0, n);
    drawLiveCopTrace(ctx, s, p.copPlane, n);
    ctx.state.shownSamples = dispatcherSampleCount;
}

}  // namespace kenvo
