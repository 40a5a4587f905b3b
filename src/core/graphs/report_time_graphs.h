#pragma once

#include <cstdint>
#include <string_view>

#include "graphs/display_state.h"
#include "model/graph_settings.h"
#include "graphs/surface.h"

namespace kenvo {

class MeasurementStore;

// The report's axis title of a GraphParameter: "COP X(mm)", "COP Y(mm)", "Velocity(mm/s)",
// "HR (1/min)"; empty for anything else.
std::string_view reportAxisTitle(int32_t parameter);

// The tick spacing of a report value axis: the configured step, or a tenth of the range
// (integer, at least 1) when the step is below 1.
int32_t reportValueStep(int32_t min, int32_t max, int32_t step);

// The report's two time graphs over the displayed range of the selected attempt: open frame,
// zero lines, time ticks in ms, the Y1 (blue, left) and Y2 (red, right) axes and traces, and
// the two cursors. The value axes are the settings' ranges, or on screen with
// `state.reportFitY` fitted to the displayed data (reportValueRange); paper always prints the
// settings' ranges. Sets the report's scale factors in `state` for the mouse clicks. Only
// recorded samples are read; an empty range or a degenerate axis draws the frame and axes
// without dividing by zero.
void drawReportTimeGraphs(Surface& surface, const Rect& graph, const MeasurementStore& store,
                          const GraphSettings& settings, DisplayState& state);

}  // namespace kenvo
