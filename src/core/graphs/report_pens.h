#pragma once

#include <algorithm>
#include <cstdint>

#include "graphs/surface.h"

namespace kenvo {

// The two pens the report pages draw their Y1 and Y2 quantities with.
inline constexpr Pen ReportBluePen{colour::Blue, 1};
inline constexpr Pen ReportRedPen{colour::Red, 1};
inline constexpr Pen ReportBlackPen{colour::Black, 1};

inline void drawLine(Surface& s, int32_t x1, int32_t y1, int32_t x2, int32_t y2) {
    s.moveTo(x1, y1);
    s.lineTo(x2, y2);
}

// Keeps a value on its axis: raised to the minimum first, then lowered to the maximum, so an
// axis whose settings have max < min still gives one defined value instead of undefined
// std::clamp behaviour.
template <typename T>
T clampToAxis(T v, T min, T max) {
    return std::min(std::max(v, min), max);
}

}  // namespace kenvo
