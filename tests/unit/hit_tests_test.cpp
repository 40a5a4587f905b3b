#include <gtest/gtest.h>

#include "graphs/display_geometry.h"
#include "graphs/hit_tests.h"

namespace kenvo {
namespace {

// An upright cup: bottom from (100, 300) to (200, 300), walls up to y = 210, mouth at the top,
// the mouth strip 20 units above it.
const std::array<Point, 6> Cup = {Point{100, 300}, Point{200, 300}, Point{200, 210},
                                  Point{100, 210}, Point{100, 190}, Point{200, 190}};

TEST(HitTests, InsideCupAndMouthStrip) {
    EXPECT_TRUE(insideCup(150, 250, Cup));
    EXPECT_FALSE(inMouth(150, 250, Cup));
    EXPECT_TRUE(inMouth(150, 200, Cup));
    EXPECT_FALSE(insideCup(150, 200, Cup));
    EXPECT_FALSE(insideCup(50, 250, Cup));
    EXPECT_FALSE(insideCup(150, 310, Cup));
    // Edges: a point on the left edge counts (x < crossing is false at x = 100 for the left
    // edge, true for the right one), on the right edge it does not.
    EXPECT_TRUE(insideCup(100, 250, Cup));
    EXPECT_FALSE(insideCup(200, 250, Cup));
}

TEST(HitTests, QuadrilateralCrossingUsesIntegerDivisionTowardZero) {
    // A slanted edge from (0, 0) to (3, 10): at y = 5 the crossing is 0 + 3 * 5 / 10 = 1 (not 1.5).
    const std::array<Point, 4> q = {Point{3, 10}, Point{0, 0}, Point{-10, 0}, Point{-10, 10}};
    EXPECT_TRUE(pointInQuadrilateral(0, 5, q));
    EXPECT_FALSE(pointInQuadrilateral(1, 5, q));  // 1 < 1 is false: outside, though 1 < 1.5
}

TEST(HitTests, WallContactOnlyWithinTheSegment) {
    // A circle of radius 10 touching the left wall from outside.
    EXPECT_TRUE(touchesWall(92, 250, 10, Cup));
    EXPECT_FALSE(touchesWall(85, 250, 10, Cup));
    // Near the line of the left wall but beyond its end above the mouth: no contact.
    EXPECT_FALSE(touchesWall(100, 170, 10, Cup));
    // The open mouth P2-P3 is not a wall.
    EXPECT_FALSE(touchesWall(150, 212, 10, Cup));
    EXPECT_TRUE(touchesWall(150, 292, 10, Cup));  // the bottom
    // A cursor deep inside, clear of every wall.
    EXPECT_FALSE(touchesWall(150, 255, 10, Cup));
    EXPECT_TRUE(circleTouchesSegment(0, 0, 5, Point{5, -5}, Point{5, 5}));  // tangent
    EXPECT_TRUE(circleTouchesSegment(0, 0, 5, Point{0, 0}, Point{0, 0}));   // a point wall inside
}

TEST(HitTests, SlantedCupsAsPlacedAtRandomOrientations) {
    // A diamond, and a diagonal wall whose line the circle meets only beyond its end.
    const std::array<Point, 4> diamond = {Point{0, -50}, Point{50, 0}, Point{0, 50}, Point{-50, 0}};
    EXPECT_TRUE(pointInQuadrilateral(0, 0, diamond));
    EXPECT_TRUE(pointInQuadrilateral(20, 20, diamond));
    EXPECT_FALSE(pointInQuadrilateral(30, 30, diamond));
    EXPECT_FALSE(pointInQuadrilateral(-30, -30, diamond));
    EXPECT_TRUE(circleTouchesSegment(60, 40, 15, Point{0, 0}, Point{100, 100}));
    EXPECT_FALSE(circleTouchesSegment(120, 100, 15, Point{0, 0}, Point{100, 100}));
}

TEST(HitTests, InsideCircleIncludesTheBoundary) {
    EXPECT_TRUE(insideCircle(3, 4, 0, 0, 5));
    EXPECT_FALSE(insideCircle(4, 4, 0, 0, 5));
    EXPECT_TRUE(insideCircle(100000, 0, 0, 0, 100000));  // no overflow in the squares
}

TEST(DisplayGeometry, SquaresAndBandsFromTheClientRectangle) {
    const Rect client{0, 0, 800, 500};
    const Rect target = targetSquare(client);
    EXPECT_EQ(target.right - target.left, 400);
    EXPECT_EQ(target, (Rect{200, 60, 600, 460}));
    EXPECT_EQ(drivingSquare(client), (Rect{225, 75, 575, 425}));
    EXPECT_EQ(statusBand(client), (Rect{0, 0, 800, 60}));
    EXPECT_EQ(progressBand(client), (Rect{0, 60, 800, 110}));
    const Rect odd = drivingSquare({0, 0, 801, 333});
    EXPECT_EQ(odd.right - odd.left, 233);  // 7 * 333 / 10, truncated
}

}  // namespace
}  // namespace kenvo
