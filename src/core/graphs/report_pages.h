#pragma once

#include "analysis/diffusion_curve.h"
#include "analysis/diffusion_fit.h"
#include "analysis/diffusion_texts.h"
#include "graphs/stance_context.h"
#include "graphs/surface.h"

namespace kenvo {

// The diffusion analysis of the attempt on the diffusion page: its curve, the last fit and
// whether that fit is still current (a new Y1 quantity makes it stale).
struct DiffusionPageData {
    DiffusionCurve curve;
    DiffusionFit fit;
    bool resultsCurrent = false;
};

// Where the graph report page's parts go (view units on screen, 0.1 mm on paper).
struct ReportPageBoxes {
    Rect headerUpper;
    Rect headerLower;
    Rect readout;
    Rect copPlane;
    Rect timeGraph;
};
ReportPageBoxes screenReportBoxes();

// The whole graph report: header band, cursor read-outs, the report's time graphs, the COP
// plane frame and the report's COP trajectory, in that order.
void drawGraphReportPage(const StanceContext& ctx, Surface& surface, const ReportPageBoxes& boxes);
// The parts a printed page holds: the time graphs in the right box, the frame and trajectory
// in the left one (the read-outs and the header are the page's own).
void drawGraphReportGraphs(const StanceContext& ctx, Surface& surface, const Rect& copPlane, const Rect& timeGraph);

// The diffusion page: header band with the result texts, then the diffusion graph.
void drawDiffusionPage(const StanceContext& ctx, Surface& surface, const DiffusionPageData& data,
                       const Rect& headerUpper, const Rect& headerLower, const Rect& graph);
void drawDiffusionGraphOf(const StanceContext& ctx, Surface& surface, const DiffusionPageData& data, const Rect& graph);
// The header band's diffusion texts for the page's marker and axes.
DiffusionTexts diffusionPageTexts(const StanceContext& ctx, const DiffusionPageData& data);

}  // namespace kenvo
