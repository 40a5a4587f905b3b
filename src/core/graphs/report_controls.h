#pragma once

#include <cstdint>
#include <optional>

#include "graphs/display_state.h"
#include "model/graph_settings.h"

namespace kenvo {

class MeasurementStore;

// The graph report's and the diffusion page's controls as operations on the view state. Each
// returns whether it changed anything; the view repaints after every one of them regardless.

// Entering the graph report: the report axes from the graph settings, attempt 0 whole (its
// planned length, lowered to what was recorded), the cursors on its first and last sample,
// the value axes as the settings give them (not fitted).
void enterGraphReport(DisplayState& state, const MeasurementStore& store,
                      const GraphSettings& settings);

// The attempt combo: the chosen attempt to its end, the cursors on the ends of the range. A
// zoomed start is kept while it lies inside the new attempt, otherwise the range starts at 0.
// An attempt outside 0 .. attemptCount - 1 is ignored.
bool selectReportAttempt(DisplayState& state, const MeasurementStore& store, int32_t attempt);

// The Y1 and Y2 combos: the axis quantity, remembered in the graph settings too. Values outside
// the GraphParameter list are ignored.
bool selectReportY1(DisplayState& state, GraphSettings& settings, int32_t parameter);
bool selectReportY2(DisplayState& state, GraphSettings& settings, int32_t parameter);

// Zoom: the range becomes left cursor .. right cursor.
bool zoomReport(DisplayState& state);

// The way back from zooms: the range becomes the whole recorded selected attempt. The cursors
// stay where they are, marking the part that was zoomed into, unless they no longer fit (then
// they go to its first and last sample). False when the whole attempt is already shown.
bool showWholeAttempt(DisplayState& state, const MeasurementStore& store);
// Whether the range is less than the whole recorded selected attempt.
bool reportZoomed(const DisplayState& state, const MeasurementStore& store);

// The cursor buttons: XL "<<" / ">>" and XR "<<" / ">>". The left cursor stays left of the
// right one and both stay within the range (the right one may reach the range end).
bool leftCursorBack(DisplayState& state);
bool leftCursorForward(DisplayState& state);
bool rightCursorBack(DisplayState& state);
bool rightCursorForward(DisplayState& state);

// Mouse clicks at (x, y): inside `graph` (the time graph rectangle the report was last drawn
// into) a left click moves the left cursor and a right click the right cursor to the sample
// under the pointer, as long as the left cursor stays left of the right one.
bool reportLeftClick(DisplayState& state, const Rect& graph, int32_t x, int32_t y);
bool reportRightClick(DisplayState& state, const Rect& graph, int32_t x, int32_t y);

// Entering the diffusion page: attempt 0, the axis kinds from the graph settings, lags
// 0 .. min(1000, recorded length), the marker at 0.
void enterDiffusionGraph(DisplayState& state, const MeasurementStore& store,
                         const GraphSettings& settings);

// The diffusion marker: "<<" and ">>" within the displayed lags, and a left click in the
// diffusion graph rectangle that puts it on the lag under the pointer.
bool diffusionMarkerBack(DisplayState& state);
bool diffusionMarkerForward(DisplayState& state);
bool diffusionClick(DisplayState& state, const Rect& graph, int32_t x, int32_t y);

// The diffusion page's Y1 and Y2 combos: the curve kind, remembered in the graph settings.
// A new Y1 kind makes the fit results stale: the caller clears its results flag when
// selectDiffusionY1 returns true. Values outside the DiffusionParameter list are ignored.
bool selectDiffusionY1(DisplayState& state, GraphSettings& settings, int32_t kind);
bool selectDiffusionY2(DisplayState& state, GraphSettings& settings, int32_t kind);

// The sample (or lag) under horizontal position x of a graph starting at `left`: rangeStart +
// trunc((x - left) / reportXScale); none while the graph has no scale (not drawn yet, or an
// empty range).
std::optional<int32_t> indexAt(const DisplayState& state, int32_t left, int32_t x);

}  // namespace kenvo
