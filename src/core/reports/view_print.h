#pragma once

#include <cstdint>

#include "graphs/report_pages.h"
#include "graphs/stance_context.h"
#include "reports/printed_report.h"

namespace kenvo {

// The graphs and subject strip of the printed pages, drawn with the view's own routines in
// their paper layouts: the replay panels, the graph report and the diffusion graph.
class ViewPrintedGraphs final : public PrintedGraphs {
public:
    ViewPrintedGraphs(const StanceContext& ctx, const DiffusionPageData* diffusion) : ctx_(ctx), diffusion_(diffusion) {}

    void subjectStrip(Surface& surface, const Rect& upper, const Rect& lower) override;
    void graphs(Surface& surface, int32_t viewMode, const Rect& leftBox, const Rect& rightBox,
                const Rect& diffusionBox) override;

    int32_t viewMode = 0;  // which header the strip shows

private:
    const StanceContext& ctx_;
    const DiffusionPageData* diffusion_;
};

}  // namespace kenvo
