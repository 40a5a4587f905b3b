#pragma once

#include <cstdint>

#include "graphs/stance_context.h"

namespace kenvo {

// Where the stance view's two panels go.
struct StancePanels {
    Rect copPlane;
    Rect timeGraph;
};

// A full repaint of the stance view: the time graph frame and the COP plane frame; in replay
// also the live traces and the COP trace of the live window (traceLength steps).
void repaintStanceView(const StanceContext& ctx, Surface& surface, const StancePanels& panels, bool replay);

// The 50 ms tick of a running stance test: redraws the live traces and the COP trace (the
// frames stay from the last repaint) and takes the dispatcher's sample count of the attempt
// as the number of samples shown.
void stanceTick(const StanceContext& ctx, Surface& surface, const StancePanels& panels,
                int32_t dispatcherSampleCount);

}  // namespace kenvo
