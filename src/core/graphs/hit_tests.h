#pragma once

#include <array>
#include <cstdint>

#include "graphs/display_state.h"

namespace kenvo {

// The target test's geometry, all in integer view units like the cup itself.

// Crossing test over the edges Qk -> Qk-1; the edge's crossing abscissa is computed in integers,
// product first, division truncating toward zero. Odd crossings: inside.
bool pointInQuadrilateral(int32_t x, int32_t y, const std::array<Point, 4>& q);
// Inside the cup P0 P1 P2 P3, and inside the mouth strip P2 P3 P4 P5.
bool insideCup(int32_t x, int32_t y, const std::array<Point, 6>& cup);
bool inMouth(int32_t x, int32_t y, const std::array<Point, 6>& cup);
// Whether the circle of radius r around (x, y) touches the segment A-B: the circle meets the
// segment's line at a point within the segment's bounding box (single-precision arithmetic).
bool circleTouchesSegment(int32_t x, int32_t y, int32_t r, Point a, Point b);
// The cup's walls: the bottom P0-P1 and the sides P1-P2 and P0-P3 (not the mouth).
bool touchesWall(int32_t x, int32_t y, int32_t r, const std::array<Point, 6>& cup);
// (cy - y)^2 + (cx - x)^2 <= radius^2, the boundary included.
bool insideCircle(int32_t x, int32_t y, int32_t cx, int32_t cy, int32_t radius);

}  // namespace kenvo
