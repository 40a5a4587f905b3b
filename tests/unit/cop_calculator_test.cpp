#include <gtest/gtest.h>

#include "platform/cop_calculator.h"

namespace kenvo {
namespace {

TEST(CopFormula, FourSensorsBothOrientations) {
    // s1 front left, s2 front right, s3 rear left, s4 rear right.
    CopFraction c = copFormula(1000, 3000, 1000, 3000, true, 0);
    EXPECT_FLOAT_EQ(c.x, 0.5f);
    EXPECT_FLOAT_EQ(c.y, 0.0f);
    c = copFormula(3000, 3000, 1000, 1000, true, 0);  // loaded at the front
    EXPECT_FLOAT_EQ(c.x, 0.0f);
    EXPECT_FLOAT_EQ(c.y, 0.5f);
    // Turned axes: x from rear minus front, y from right minus left.
    c = copFormula(1000, 3000, 1000, 3000, true, 1);
    EXPECT_FLOAT_EQ(c.x, 0.0f);
    EXPECT_FLOAT_EQ(c.y, 0.5f);
    c = copFormula(1000, 1000, 3000, 3000, true, 1);
    EXPECT_FLOAT_EQ(c.x, 0.5f);
    EXPECT_FLOAT_EQ(c.y, 0.0f);
}

TEST(CopFormula, CoordinatesAreRoundedThroughTenThousandths) {
    // 1/3 is formed as (float)(10000/3) / 10000, not as a plain float division.
    const CopFraction c = copFormula(0, 100, 100, 100, true, 0);
    const float scaled = static_cast<float>(100 * 10000.0 / 300);
    EXPECT_EQ(c.x, static_cast<float>(scaled / 10000.0));
    EXPECT_EQ(c.y, static_cast<float>(static_cast<float>(-100 * 10000.0 / 300) / 10000.0));
}

TEST(CopFormula, LightLoadDividesByFullScaleInstead) {
    CopFraction c = copFormula(0, 0, 0, 0, true, 0);
    EXPECT_EQ(c.x, 0.0f);
    EXPECT_EQ(c.y, 0.0f);
    c = copFormula(0, 99, 0, 0, true, 0);  // sum 99 < 100: divisor 16383
    EXPECT_FLOAT_EQ(c.x, static_cast<float>(static_cast<float>(99 * 10000.0 / 16383) / 10000.0));
    c = copFormula(0, 100, 0, 0, true, 0);  // sum 100: the real sum
    EXPECT_FLOAT_EQ(c.x, 1.0f);
}

TEST(CopFormula, ThreeSensors) {
    // x from the two front sensors alone, y from front minus rear; s4 and orientation unused.
    CopFraction c = copFormula(1000, 3000, 2000, 4000, false, 1);
    EXPECT_FLOAT_EQ(c.x, 0.5f);
    EXPECT_FLOAT_EQ(c.y, 2000.0f / 6000.0f);
    // Only the rear sensor loaded: the front total is 0 and x is defined as 0.
    c = copFormula(0, 0, 2000, 0, false, 0);
    EXPECT_EQ(c.x, 0.0f);
    EXPECT_FLOAT_EQ(c.y, -1.0f);
    // Negative zero-corrected readings can also cancel at the front.
    c = copFormula(-50, 50, 2000, 0, false, 0);
    EXPECT_EQ(c.x, 0.0f);
    // Light load: sum3 replaced by 16383, so the front total is positive again.
    c = copFormula(0, 0, 50, 0, false, 0);
    EXPECT_FLOAT_EQ(c.x, 0.0f);
    EXPECT_FLOAT_EQ(c.y, -50.0f / 16383.0f);
}

TEST(CopCalculator, DeadBandSuppressesChangesBelowThreeTenThousandthsPerAxis) {
    CopCalculator cop;
    // 10000-count total: one count on x moves x by 0.0002, two counts by 0.0004.
    CopFraction c = cop.compute(2500, 2500, 2500, 2500, true, 0);
    EXPECT_EQ(c.x, 0.0f);
    c = cop.compute(2499, 2501, 2500, 2500, true, 0);  // x +0.0002, y 0
    EXPECT_EQ(c.x, 0.0f);
    c = cop.compute(2499, 2502, 2499, 2500, true, 0);  // x +0.0004, y +0.0002
    EXPECT_FLOAT_EQ(c.x, 0.0004f);
    EXPECT_EQ(c.y, 0.0f);
    c = cop.compute(2500, 2500, 2500, 2500, true, 0);  // back by 0.0004: moves
    EXPECT_EQ(c.x, 0.0f);
    // y moves by 0.0006 while the 0.0002 change of x is suppressed.
    c = cop.compute(2502, 2501, 2499, 2498, true, 0);
    EXPECT_FLOAT_EQ(c.y, 0.0006f);
    EXPECT_EQ(c.x, 0.0f);
    // A change of exactly 0.0003 (6 counts of 20000) is not suppressed.
    CopCalculator fresh;
    c = fresh.compute(5000, 5003, 4997, 5000, true, 0);
    EXPECT_FLOAT_EQ(c.x, 0.0003f);
    EXPECT_FLOAT_EQ(c.y, 0.0003f);
    EXPECT_FLOAT_EQ(fresh.remembered().x, 0.0003f);
}

}  // namespace
}  // namespace kenvo
