#include "graphs/display_geometry.h"

namespace kenvo {

Rect drivingSquare(const Rect& c) {
    const int32_t h = c.bottom - c.top, w = c.right - c.left;
    const int32_t s = (7 * h) / 10;
    const int32_t left = c.left + (w - s) / 2, top = c.top + (h - s) / 2;
    return {left, top, left + s, top + s};
}

Rect targetSquare(const Rect& c) {
    const int32_t h = c.bottom - c.top, w = c.right - c.left;
    const int32_t q = h - 100;
    const int32_t left = c.left + w / 2 - q / 2;
    return {left, c.top + 60, left + q, c.bottom - 40};
}

Rect statusBand(const Rect& c) { return {c.left, 0, c.right, c.top + 60}; }
Rect progressBand(const Rect& c) { return {c.left, c.top + 60, c.right, c.top + 110}; }

}  // namespace kenvo
