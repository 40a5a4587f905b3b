#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <memory>

#include "model/limits.h"
#include "model/measurement_store.h"
#include "procedures/target_placement.h"

namespace kenvo {
namespace {

double distance(Point a, Point b) { return std::hypot(a.x - b.x, a.y - b.y); }

// Distance of p from the line through a and b.
double fromLine(Point p, Point a, Point b) {
    const double cross = double(b.x - a.x) * (p.y - a.y) - double(b.y - a.y) * (p.x - a.x);
    return std::abs(cross) / distance(a, b);
}

TEST(TargetSequence, FiveHundredLocationsWithoutRepeatsAndSlotFiveHundredUntouched) {
    auto store = std::make_unique<MeasurementStore>();
    store->targetLocation[MaxAttempts - 1] = 77;
    std::srand(3);
    fillTargetSequence(*store, 500, std::rand);
    int32_t seen[4] = {0, 0, 0, 0};
    for (int32_t k = 0; k < 500; ++k) {
        const int32_t location = store->targetLocation[static_cast<std::size_t>(k)];
        ASSERT_GE(location, 0);
        ASSERT_LT(location, 4);
        ++seen[location];
        if (k > 0) {
            ASSERT_NE(location, store->targetLocation[static_cast<std::size_t>(k - 1)]) << k;
        }
    }
    for (int32_t n : seen) EXPECT_GT(n, 80);
    EXPECT_EQ(store->targetLocation[MaxAttempts - 1], 77);
}

// With targetSize 90 the bottom is 90 units wide, the walls 90 long and P4/P5 110 units from
// the bottom line, whatever the random orientation; the cup stays around the square's centre.
TEST(TargetCup, SizeNinetyGivesItsBottomWallsAndMouthStrip) {
    const Rect square{100, 50, 500, 450};
    std::srand(11);
    for (int i = 0; i < 50; ++i) {
        const std::array<Point, 6> p = placeCup(square, 90, std::rand);
        EXPECT_NEAR(distance(p[0], p[1]), 90.0, 2.0);
        EXPECT_NEAR(distance(p[0], p[3]), 90.0, 2.0);
        EXPECT_NEAR(distance(p[1], p[2]), 90.0, 2.0);
        EXPECT_NEAR(fromLine(p[4], p[0], p[1]), 110.0, 2.0);
        EXPECT_NEAR(fromLine(p[5], p[0], p[1]), 110.0, 2.0);
        EXPECT_NEAR(fromLine(p[2], p[0], p[1]), 90.0, 2.0);
        const Point mid{(p[0].x + p[1].x) / 2, (p[0].y + p[1].y) / 2};
        EXPECT_LE(distance(mid, Point{300, 250}), 50.0 + 2.0);  // an eighth of the side
    }
}

TEST(TargetCup, CircularTargetKeepsItsDistanceFromTheEdges) {
    const Rect square{0, 0, 400, 400};
    std::srand(5);
    for (int i = 0; i < 200; ++i) {
        const NextTarget next = drawNextTarget(square, 90, std::rand);
        ASSERT_GE(next.circleX, 90);
        ASSERT_LE(next.circleX, 400 - 2 * 90);
        ASSERT_GE(next.circleY, 90);
        ASSERT_LE(next.circleY, 400 - 2 * 90);
    }
}

}  // namespace
}  // namespace kenvo
