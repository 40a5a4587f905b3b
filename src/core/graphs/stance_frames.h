#pragma once

#include <string_view>

#include "graphs/stance_context.h"

namespace kenvo {

// The axis title of a time-graph quantity on the live and replay graphs; empty for a value
// that names no quantity.
std::string_view liveAxisTitle(int32_t graphParameter);

// The COP plane: the square with millimetre ticks on three sides, its title, the origin cross
// and, for target hitting data, the attempt number and the protocol target disc. Stores the
// plane's scale factors in the display state.
void drawCopPlaneFrame(const StanceContext& ctx, Surface& surface, const Rect& r);

// The time graph's frame (open at the top), the Y1 ticks and title in blue on the left, the Y2
// ticks and title in red on the right. Stores the time and value scale factors.
void drawTimeGraphFrame(const StanceContext& ctx, Surface& surface, const Rect& r);

// The origin cross of the COP plane, with the selected pen.
void drawOriginCross(const StanceContext& ctx, Surface& surface, const Rect& r);

}  // namespace kenvo
