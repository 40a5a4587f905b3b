#include "graphs/report_pages.h"

#include <algorithm>
#include <span>

#include "analysis/diffusion_texts.h"
#include "analysis/report_readouts.h"
#include "graphs/diffusion_graph.h"
#include "graphs/display_geometry.h"
#include "graphs/ellipse_outline.h"
#include "graphs/header_band.h"
#include "graphs/report_cop_overlay.h"
#include "graphs/report_readout_strip.h"
#include "graphs/report_time_graphs.h"
#include "graphs/stance_frames.h"

namespace kenvo {

ReportPageBoxes screenReportBoxes() {
    return {panel::HeaderUpper, panel::HeaderLower, panel::ReadoutStrip, panel::CopPlane, panel::TimeGraph};
}

void drawGraphReportGraphs(const StanceContext& ctx, Surface& s, const Rect& copPlane, const Rect& timeGraph) {
    drawReportTimeGraphs(s, timeGraph, ctx.store, ctx.graph, ctx.state);
    drawCopPlaneFrame(ctx, s, copPlane);
    drawReportCopOverlay(s, copPlane, ctx.store, ctx.graph, ctx.state);
    // The ellipse of the samples the overlay shows: the zoomed range of the attempt.
    drawAttemptEllipse(s, copPlane, ctx.graph, ctx.store, ctx.state.selectedAttempt, ctx.state.rangeStart,
                       ctx.state.rangeEnd, ctx.clinical);
}

void drawGraphReportPage(const StanceContext& ctx, Surface& s, const ReportPageBoxes& boxes) {
    const DisplayState& st = ctx.state;
    drawHeaderBand(s, boxes.headerUpper, boxes.headerLower,
                   {&ctx.store.subject, HeaderContent::SubjectOnly, st.selectedAttempt, nullptr, false});
    const int32_t attempt = std::clamp(st.selectedAttempt, 0, MaxAttempts - 1);
    const int32_t n = std::clamp(ctx.store.length[static_cast<std::size_t>(attempt)], 0, MaxSamples);
    const ReportReadouts readouts =
        computeReportReadouts(std::span<const CopSample>(ctx.store.samples(attempt), static_cast<std::size_t>(n)),
                              ctx.store.calibration, st.leftMarker, st.rightMarker, st.reportY1, st.reportY2);
    drawReadoutStrip(s, boxes.readout, reportReadoutTexts(readouts));
    drawGraphReportGraphs(ctx, s, boxes.copPlane, boxes.timeGraph);
}

DiffusionTexts diffusionPageTexts(const StanceContext& ctx, const DiffusionPageData& data) {
    const DisplayState& st = ctx.state;
    return diffusionTexts(data.curve, st.leftMarker, st.reportY1, st.reportY2,
                          data.resultsCurrent ? &data.fit : nullptr);
}

void drawDiffusionGraphOf(const StanceContext& ctx, Surface& s, const DiffusionPageData& data, const Rect& graph) {
    const DiffusionGraphInput input{&data.curve.records, data.resultsCurrent, data.fit.originSlope, data.fit.lineA,
                                    data.fit.lineB};
    drawDiffusionGraph(s, graph, ctx.graph, input, ctx.state);
}

void drawDiffusionPage(const StanceContext& ctx, Surface& s, const DiffusionPageData& data, const Rect& headerUpper,
                       const Rect& headerLower, const Rect& graph) {
    const DiffusionTexts texts = diffusionPageTexts(ctx, data);
    drawHeaderBand(s, headerUpper, headerLower,
                   {&ctx.store.subject, HeaderContent::DiffusionResults, ctx.state.selectedAttempt, &texts,
                    data.resultsCurrent});
    drawDiffusionGraphOf(ctx, s, data, graph);
}

}  // namespace kenvo
