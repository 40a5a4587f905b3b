#include "graphs/hit_tests.h"

#include <algorithm>
#include <cmath>

namespace kenvo {

bool pointInQuadrilateral(int32_t x, int32_t y, const std::array<Point, 4>& q) {
    bool inside = false;
    for (int k = 0; k < 4; ++k) {
        const Point& i = q[static_cast<std::size_t>(k)];
        const Point& j = q[static_cast<std::size_t>((k + 3) % 4)];
        if ((y < i.y) != (y < j.y)) {
            // 64-bit so that large coordinates cannot overflow the product.
            const int64_t crossing = i.x + int64_t{j.x - i.x} * (y - i.y) / (j.y - i.y);
            if (x < crossing) inside = !inside;
        }
    }
    return inside;
}

bool insideCup(int32_t x, int32_t y, const std::array<Point, 6>& cup) {
    return pointInQuadrilateral(x, y, {cup[0], cup[1], cup[2], cup[3]});
}

bool inMouth(int32_t x, int32_t y, const std::array<Point, 6>& cup) {
    return pointInQuadrilateral(x, y, {cup[2], cup[3], cup[4], cup[5]});
}

bool circleTouchesSegment(int32_t x, int32_t y, int32_t r, Point a, Point b) {
    const float ax = static_cast<float>(a.x), ay = static_cast<float>(a.y);
    const float dx = static_cast<float>(b.x - a.x), dy = static_cast<float>(b.y - a.y);
    const float qx = ax - static_cast<float>(x), qy = ay - static_cast<float>(y);
    const float d = dx * dx + dy * dy;
    const float e = 2.0f * (dx * qx + dy * qy);
    const float f = qx * qx + qy * qy - static_cast<float>(r) * static_cast<float>(r);
    const float disc = e * e - 4.0f * d * f;
    if (disc < 0.0f) return false;
    if (d == 0.0f) return f <= 0.0f;  // a degenerate wall is a point: touched when inside the circle
    const float root = std::sqrt(disc);
    const float lowX = static_cast<float>(std::min(a.x, b.x)), highX = static_cast<float>(std::max(a.x, b.x));
    const float lowY = static_cast<float>(std::min(a.y, b.y)), highY = static_cast<float>(std::max(a.y, b.y));
    for (const float t : {(-e + root) / (2.0f * d), (-e - root) / (2.0f * d)}) {
        const float px = ax + t * dx, py = ay + t * dy;
        if (px >= lowX && px <= highX && py >= lowY && py <= highY) return true;
    }
    return false;
}

bool touchesWall(int32_t x, int32_t y, int32_t r, const std::array<Point, 6>& cup) {
    return circleTouchesSegment(x, y, r, cup[0], cup[1]) || circleTouchesSegment(x, y, r, cup[1], cup[2]) ||
           circleTouchesSegment(x, y, r, cup[0], cup[3]);
}

bool insideCircle(int32_t x, int32_t y, int32_t cx, int32_t cy, int32_t radius) {
    const int64_t dy = cy - y, dx = cx - x;
    return dy * dy + dx * dx <= int64_t{radius} * radius;
}

}  // namespace kenvo
