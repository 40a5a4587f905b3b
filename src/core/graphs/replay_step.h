#pragma once

#include "graphs/stance_context.h"

namespace kenvo {

// Moves the replay of the selected attempt by replayStep samples (display state): forward it
// pushes the attempt's next samples into the live trace, backward it takes the newest off and
// puts the samples that scroll back into view at the old end. A step of 1 or -1 is a single
// step and pauses afterwards; reaching either end pauses and pins the position to 0 or to the
// attempt's full length. Returns false when paused (nothing moved).
bool advanceReplay(MeasurementStore& store, DisplayState& state);

// The replay timer's step: advances and redraws both live panels (window of traceLength steps).
// Does nothing while paused.
void replayStep(const StanceContext& ctx, Surface& surface, const Rect& copPlane, const Rect& timeGraph);

}  // namespace kenvo
