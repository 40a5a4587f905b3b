#pragma once

#include <array>
#include <cstdint>
#include <string_view>

#include "graphs/display_state.h"
#include "model/graph_settings.h"
#include "graphs/surface.h"

namespace kenvo {

// The diffusion curve as the analysis keeps it: one record per lag 0 .. 1009, the first four
// values indexed by DiffusionParameter (r, r2, x, y).
inline constexpr int32_t DiffusionGraphLags = 1010;
using DiffusionRecords = std::array<std::array<float, 5>, DiffusionGraphLags>;

struct DiffusionGraphInput {
    const DiffusionRecords* curve = nullptr;  // none: axes and marker only
    bool resultsCurrent = false;              // the fit lines are drawn only while current
    float originSlope = 0.0f;                 // y1 = originSlope * lag
    float lineA = 0.0f;                       // y2 = lineA * lag + lineB
    float lineB = 0.0f;
};

// "r (mm)", "r2 (mm2)", "x (mm)", "y (mm)"; empty for anything else.
std::string_view diffusionAxisTitle(int32_t parameter);

// The diffusion graph over lags 0 .. rangeEnd: open frame, time ticks every 100 lags
// (1000 ms), the Y1 (blue, left) and Y2 (red, right) axes from 0 to their configured
// maximum, the two curves, the fit lines against the Y1 axis while current, and the marker
// at leftMarker. A segment whose end lies above its axis maximum is left out; the next one
// still starts from that point, above the graph. Sets the scale factors in `state` for the
// marker click. A maximum <= 0 or an empty range divides by nothing.
void drawDiffusionGraph(Surface& surface, const Rect& graph, const GraphSettings& settings,
                        const DiffusionGraphInput& input, DisplayState& state);

}  // namespace kenvo
