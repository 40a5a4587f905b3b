#pragma once

#include "graphs/display_state.h"
#include "model/graph_settings.h"
#include "graphs/surface.h"

namespace kenvo {

class MeasurementStore;

// The report's COP trajectory over the COP plane frame: the displayed range of the selected
// attempt as one black polyline clamped into the COP axes, a blue cross at the left cursor, a
// red cross at the right one, and "  DISTANCE: %4.3f  " (mm, between the unclamped positions
// at the two cursors) centred above the square in the current font and text colour. A cursor
// beyond the recording reads the last recorded sample.
void drawReportCopOverlay(Surface& surface, const Rect& plane, const MeasurementStore& store,
                          const GraphSettings& settings, const DisplayState& state);

}  // namespace kenvo
