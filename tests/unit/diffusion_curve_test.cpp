#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <vector>

#include "analysis/diffusion_curve.h"
#include "model/measurement_store.h"
#include "support/diffusion_reference.h"
#include "support/synthetic_sway.h"

namespace kenvo {
namespace {

const PlatformCalibration Model0{175.0f, 276.0f, {1, 1, 1, 1}};
const PlatformCalibration UnitScales{1.0f, 1.0f, {1, 1, 1, 1}};

bool sameBits(float a, float b) {
    return std::memcmp(&a, &b, sizeof a) == 0;
}

// Every value of every record, bit for bit.
void expectSameCurve(const DiffusionCurve& got, const DiffusionCurve& want) {
    ASSERT_EQ(got.samplesUsed, want.samplesUsed);
    for (int32_t m = 0; m < DiffusionRecordCount; ++m)
        for (int32_t v = 0; v < DiffusionValuesPerRecord; ++v)
            ASSERT_TRUE(sameBits(got.records[m][v], want.records[m][v]))
                << "lag " << m << " value " << v << ": " << got.records[m][v] << " vs "
                << want.records[m][v];
}

TEST(DiffusionCurve, ASteadyDriftGivesTheExactDistancesPerLag) {
    // 3-4-5 steps: every pair m apart is 5m mm away, 3m in X and 4m in Y.
    std::vector<CopSample> samples(1200);
    for (int k = 0; k < 1200; ++k) samples[k] = {3.0f * k, 4.0f * k, 0};
    const auto curve = computeDiffusionCurve(samples, UnitScales, 1200);
    for (int m : {1, 2, 77, 999, 1000}) {
        EXPECT_NEAR(curve.value(m, DiffusionKindR), 5.0 * m, 1e-5 * m) << m;
        EXPECT_NEAR(curve.value(m, DiffusionKindR2), 25.0 * m * m, 25e-5 * m * m) << m;
        EXPECT_NEAR(curve.value(m, DiffusionKindX), 3.0 * m, 1e-5 * m) << m;
        EXPECT_NEAR(curve.value(m, DiffusionKindY), 4.0 * m, 1e-5 * m) << m;
    }
    for (int v = 0; v < DiffusionValuesPerRecord; ++v) EXPECT_EQ(curve.records[0][v], 0.0f);
    for (int m = 1; m <= DiffusionMaxLag; ++m) EXPECT_EQ(curve.records[m][4], 0.0f);
    for (int m = 1001; m < DiffusionRecordCount; ++m)
        for (int v = 0; v < DiffusionValuesPerRecord; ++v) EXPECT_EQ(curve.records[m][v], 0.0f);
}

TEST(DiffusionCurve, ASpanOf1000FillsLags1To999AndLeavesLag1000WithoutPairs) {
    const auto samples = test::syntheticSway(1000, 3);
    const auto curve = computeDiffusionCurve(samples, Model0, 1000);
    EXPECT_EQ(curve.samplesUsed, 1000);
    EXPECT_EQ(curve.usableLags(), 1000);  // lags 0 .. 999
    EXPECT_TRUE(curve.hasPairs(999));
    EXPECT_FALSE(curve.hasPairs(1000));
    EXPECT_FALSE(curve.hasPairs(0));
    EXPECT_GT(curve.value(999, DiffusionKindR), 0.0f);  // the one pair (0, 999)
    for (int v = 0; v < DiffusionKindCount; ++v) EXPECT_EQ(curve.value(1000, v), 0.0f);
}

TEST(DiffusionCurve, SpansOfNoneOrOneSampleLeaveEveryLagWithoutPairs) {
    const auto samples = test::syntheticSway(10, 3);
    for (int span : {-5, 0, 1}) {
        const auto curve = computeDiffusionCurve(samples, Model0, span);
        EXPECT_EQ(curve.usableLags(), 1);
        for (int m = 0; m < DiffusionRecordCount; ++m)
            for (int v = 0; v < DiffusionKindCount; ++v) ASSERT_EQ(curve.value(m, v), 0.0f);
    }
    const auto two = computeDiffusionCurve(samples, Model0, 2);
    EXPECT_EQ(two.usableLags(), 2);
    EXPECT_GT(two.value(1, DiffusionKindR), 0.0f);
    EXPECT_EQ(two.value(2, DiffusionKindR), 0.0f);
}

TEST(DiffusionCurve, ValueOutsideTheRecordsOrKindsIsZero) {
    DiffusionCurve curve;
    curve.records[5][1] = 2.0f;
    EXPECT_EQ(curve.value(5, 1), 2.0f);
    EXPECT_EQ(curve.value(-1, 0), 0.0f);
    EXPECT_EQ(curve.value(DiffusionRecordCount, 0), 0.0f);
    EXPECT_EQ(curve.value(5, 4), 0.0f);  // the unused fifth value is no quantity
    EXPECT_EQ(curve.value(5, -1), 0.0f);
}

// The tiled loop against the plain loop over lag and pair, at sizes around the tile edges
// and the 1000-lag limit.
TEST(DiffusionCurve, MatchesThePlainLoopBitForBit) {
    const auto samples = test::syntheticSway(2600, 21);
    for (int span : {2, 3, 16, 17, 18, 33, 999, 1000, 1001, 1002, 1017, 2600}) {
        SCOPED_TRACE(span);
        expectSameCurve(computeDiffusionCurve(samples, Model0, span),
                        test::literalDiffusionCurve(samples, Model0, span));
    }
}

TEST(DiffusionCurve, AStoreAttemptUsesItsRecordedSamplesAndTheDataSetScales) {
    auto store = std::make_unique<MeasurementStore>();
    const auto samples = test::syntheticSway(1500, 5);
    std::copy(samples.begin(), samples.end(), store->samples(1));
    store->attemptCount = 2;
    store->length[1] = 1500;
    store->calibration = {150.0f, 250.0f, {1, 1, 1, 1}};
    // A span beyond the recording reads only the 1500 recorded samples.
    const auto curve = computeDiffusionCurve(*store, 1, 3000);
    expectSameCurve(curve, test::literalDiffusionCurve(samples, store->calibration, 1500));

    // Attempts that do not exist give the empty curve, never samples of an unused slot.
    for (int attempt : {-1, 2, MaxAttempts}) {
        const auto none = computeDiffusionCurve(*store, attempt, 3000);
        EXPECT_EQ(none.samplesUsed, 0);
        EXPECT_EQ(none.value(1, DiffusionKindR), 0.0f);
    }
}

}  // namespace
}  // namespace kenvo
