#pragma once

#include "graphs/surface.h"

namespace kenvo {

// Fixed panel rectangles of the view, in view units.
namespace panel {
inline constexpr Rect CopPlane{40, 150, 240, 350};
inline constexpr Rect TimeGraph{300, 150, 710, 350};
inline constexpr Rect DiffusionGraph{80, 150, 710, 350};
inline constexpr Rect HeaderUpper{10, 5, 730, 26};
inline constexpr Rect HeaderLower{10, 25, 730, 65};
inline constexpr Rect ReadoutStrip{100, 67, 640, 109};  // between the header and the graphs' titles
}  // namespace panel

// The square displays of the target and driving tests, from the view's client rectangle
// (integer arithmetic, division toward zero).
Rect drivingSquare(const Rect& client);  // side 7/10 of the height, centred
Rect targetSquare(const Rect& client);   // side height - 100, from top + 60 to bottom - 40
Rect statusBand(const Rect& client);     // L, 0, R, T + 60
Rect progressBand(const Rect& client);   // L, T + 60, R, T + 110

}  // namespace kenvo
