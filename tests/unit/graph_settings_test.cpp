#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

#include "graphs/axis_scale.h"
#include "model/graph_settings.h"

namespace kenvo {
namespace {

TEST(GraphSettings, DefaultsInBlockOrder) {
    const GraphSettings::Words expected = {10, 100,  0,    5,   0,  10,   0,   -50, 50, 20,
                                           0,  1,    -100, 100, 20, -100, 100, 20,  0,  2,
                                           50, 1000, 50,   50,  5,  100,  5,   5};
    EXPECT_EQ(GraphSettings::defaults().words(), expected);
    EXPECT_EQ(GraphSettings::fromWords(expected), GraphSettings::defaults());
}

TEST(GraphSettings, WindowClampLowersToThenFrom) {
    GraphSettings g = GraphSettings::defaults();
    g.graphToSeconds = 10;
    g.graphFromSeconds = 9;
    g.clampWindowTo(8);
    EXPECT_EQ(g.graphToSeconds, 8);
    EXPECT_EQ(g.graphFromSeconds, 8);
    g.graphToSeconds = 10;
    g.graphFromSeconds = 5;
    g.clampWindowTo(8);
    EXPECT_EQ(g.graphFromSeconds, 5);
    g.clampWindowTo(30);  // never raised
    EXPECT_EQ(g.graphToSeconds, 8);
}

TEST(AxisScale, MapsAndTruncatesTowardZero) {
    const AxisScale axis(-50, 50, 300);  // 3 pixels per unit
    EXPECT_FALSE(axis.degenerate());
    EXPECT_DOUBLE_EQ(axis.factor(), 3.0);
    EXPECT_EQ(axis.horizontal(10, -50), 10);
    EXPECT_EQ(axis.horizontal(10, 0.9), 10 + 152);  // 152.7 truncated
    EXPECT_EQ(axis.vertical(400, 50), 100);
    EXPECT_EQ(axis.offset(-50.2), 0);  // -0.6 truncates toward zero, not down
    EXPECT_EQ(axis.offset(-51), -3);
}

TEST(AxisScale, EmptyOrReversedRangesNeitherDivideByZeroNorOverflow) {
    for (const auto& [min, max] : {std::pair{5.0, 5.0}, std::pair{10.0, -10.0},
                                   std::pair{0.0, std::numeric_limits<double>::quiet_NaN()}}) {
        const AxisScale axis(min, max, 300);
        EXPECT_TRUE(axis.degenerate());
        EXPECT_EQ(axis.factor(), 0.0);
        EXPECT_EQ(axis.horizontal(7, 1e300), 7);
        EXPECT_EQ(axis.vertical(7, -3), 7);
    }
    const AxisScale tiny(0, 1e-300, 1000);
    EXPECT_EQ(tiny.offset(1.0), 1000000000);  // saturates
    EXPECT_EQ(tiny.offset(-1.0), -1000000000);
    EXPECT_EQ(tiny.offset(std::numeric_limits<double>::quiet_NaN()), 0);
}

TEST(AxisScale, TicksAreBoundedWhateverTheStep) {
    std::vector<double> ticks;
    auto collect = [&](double v) { ticks.push_back(v); };
    EXPECT_EQ(forEachMultiple(-50, 50, 20, collect), 5);
    EXPECT_EQ(ticks, (std::vector<double>{-40, -20, 0, 20, 40}));
    ticks.clear();
    EXPECT_EQ(forEachTick(0, 50, 5, collect), 11);
    EXPECT_EQ(ticks.back(), 50);

    EXPECT_EQ(forEachTick(0, 50, 0, collect), 0);
    EXPECT_EQ(forEachTick(0, 50, -5, collect), 0);
    EXPECT_EQ(forEachMultiple(0, 50, std::numeric_limits<double>::quiet_NaN(), collect), 0);
    EXPECT_EQ(forEachTick(50, 0, 5, collect), 0);
    EXPECT_EQ(forEachTick(0, 1e9, 1, collect), MaxAxisTicks);
    // A step too small to change a large value would loop for ever when added repeatedly.
    EXPECT_EQ(forEachTick(1e17, 2e17, 1, collect), MaxAxisTicks);
}

}  // namespace
}  // namespace kenvo
