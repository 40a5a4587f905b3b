#include "procedures/target_placement.h"

#include <cmath>

#include "model/limits.h"
#include "model/measurement_store.h"

namespace kenvo {

namespace {
constexpr double Pi = 3.141592653589793;
constexpr int32_t Locations = 4;
constexpr int32_t MouthStrip = 20;  // P4/P5 lie this far beyond the mouth

double radians(int32_t degrees) { return degrees * Pi / 180.0; }

Point truncated(double x, double y) { return Point{static_cast<int32_t>(x), static_cast<int32_t>(y)}; }
}  // namespace

void fillTargetSequence(MeasurementStore& store, int32_t count, RandomSource random) {
    if (count > MaxAttempts - 1) count = MaxAttempts - 1;
    int32_t previous = -1;
    for (int32_t k = 0; k < count; ++k) {
        int32_t location = random() % Locations;
        while (location == previous) location = random() % Locations;
        store.targetLocation[static_cast<std::size_t>(k)] = location;
        previous = location;
    }
}

std::array<Point, 6> placeCup(const Rect& q, int32_t targetSize, RandomSource random) {
    const int32_t orientationDegrees = random() % 360;
    const int32_t positionDegrees = random() % 360;
    const double orientation = radians(orientationDegrees);
    const double position = radians(positionDegrees);
    const double across = radians(orientationDegrees + 90);
    const int32_t u = (q.bottom - q.top) / 8;
    const double gx = (q.left + q.right) / 2 + std::cos(position) * u;
    const double gy = (q.top + q.bottom) / 2 + std::sin(position) * u;
    const double t = targetSize / 2;
    const double ax = std::cos(orientation), ay = std::sin(orientation);
    const double dx = std::cos(across), dy = std::sin(across);
    const double wall = targetSize, strip = targetSize + MouthStrip;
    const double p0x = gx + t * ax, p0y = gy + t * ay;
    const double p1x = gx - t * ax, p1y = gy - t * ay;
    return {truncated(p0x, p0y),
            truncated(p1x, p1y),
            truncated(p1x - wall * dx, p1y - wall * dy),
            truncated(p0x - wall * dx, p0y - wall * dy),
            truncated(p0x - strip * dx, p0y - strip * dy),
            truncated(p1x - strip * dx, p1y - strip * dy)};
}

NextTarget drawNextTarget(const Rect& q, int32_t targetSize, RandomSource random) {
    NextTarget next;
    const int32_t upper = (q.bottom - q.top) - 2 * targetSize;
    const int32_t span = upper - targetSize + 1;
    next.circleX = targetSize + (span > 0 ? random() % span : 0);
    next.circleY = targetSize + (span > 0 ? random() % span : 0);
    next.cup = placeCup(q, targetSize, random);
    return next;
}

}  // namespace kenvo
