#include <gtest/gtest.h>

#include "platform/sensor_check.h"

namespace kenvo {
namespace {

TEST(SensorReading, UnloadedPlatformReadingItsZerosShowsNothing) {
    const int32_t zero[4] = {52, 47, 50, 45};
    const int32_t sums[4] = {52 * 20, 47 * 20, 50 * 20, 45 * 20 + 19};
    const SensorReading r = sensorReading(sums, zero, 175.0f, 276.0f, true);
    EXPECT_EQ(r.mean[0], 52);
    EXPECT_EQ(r.mean[3], 45);  // integer mean
    EXPECT_EQ(r.sum, 0);
    EXPECT_EQ(r.xMm, 0.0f);
    EXPECT_EQ(r.yMm, 0.0f);
    EXPECT_DOUBLE_EQ(r.percent[0], 1040.0 / 819.0);
}

TEST(SensorReading, FourSensorCopInMillimetres) {
    const int32_t zero[4] = {0, 0, 0, 0};
    // Means FL 100, FR 300, RL 100, RR 300: x = 400 / 800 of the half-span.
    const int32_t sums[4] = {2000, 6000, 2000, 6000};
    const SensorReading r = sensorReading(sums, zero, 175.0f, 276.0f, true);
    EXPECT_EQ(r.sum, 800);
    EXPECT_FLOAT_EQ(r.xMm, 87.5f);
    EXPECT_FLOAT_EQ(r.yMm, 0.0f);
    // The share is an integer of ten-thousandths: 1/3 becomes 3333.
    const int32_t third[4] = {0, 20 * 100, 20 * 100, 20 * 100};
    EXPECT_FLOAT_EQ(sensorReading(third, zero, 100.0f, 100.0f, true).xMm, 33.33f);
}

TEST(SensorReading, LoadOfTenCountsOrLessKeepsTheCopAtTheOrigin) {
    const int32_t zero[4] = {1, 1, 1, 1};
    const int32_t sums[4] = {20 * 11, 20, 20, 20};  // total 10 above the zeros
    const SensorReading r = sensorReading(sums, zero, 175.0f, 276.0f, true);
    EXPECT_EQ(r.sum, 10);
    EXPECT_EQ(r.xMm, 0.0f);
    const int32_t more[4] = {20 * 12, 20, 20, 20};
    EXPECT_LT(sensorReading(more, zero, 175.0f, 276.0f, true).xMm, 0.0f);
}

TEST(SensorReading, ThreeSensorsUseTheFrontPairForXAndIgnoreTheFourth) {
    const int32_t zero[4] = {0, 0, 0, 999};
    const int32_t sums[4] = {20 * 100, 20 * 300, 20 * 400, 20 * 4000};
    const SensorReading r = sensorReading(sums, zero, 265.0f, 230.0f, false);
    EXPECT_EQ(r.sum, 800);
    EXPECT_FLOAT_EQ(r.xMm, 0.5f * 265.0f);
    EXPECT_FLOAT_EQ(r.yMm, 0.0f);
    // Only the rear sensor loaded: the front pair totals 0 and X is shown as 0.
    const int32_t rear[4] = {0, 0, 20 * 500, 0};
    const SensorReading onlyRear = sensorReading(rear, zero, 265.0f, 230.0f, false);
    EXPECT_EQ(onlyRear.xMm, 0.0f);
    EXPECT_FLOAT_EQ(onlyRear.yMm, -230.0f);
}

TEST(SensorReading, FieldTextsAreLimitedToSixCharacters) {
    EXPECT_EQ(formatPercent(12.345), "12.35");  // rounding per printf
    EXPECT_EQ(formatPercent(100.0), "100.00");
    EXPECT_EQ(formatPercent(1234.5), "1234.5");
    EXPECT_EQ(formatCopMm(-87.54f), "-87.5");
    EXPECT_EQ(formatCopMm(-12345.0f), "-12345");
}

}  // namespace
}  // namespace kenvo
