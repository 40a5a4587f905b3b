#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <functional>
#include <limits>

#include "analysis/diffusion_fit.h"
#include "analysis/line_grid_search.h"
#include "support/diffusion_reference.h"

namespace kenvo {
namespace {

bool sameBits(float a, float b) {
    return std::memcmp(&a, &b, sizeof a) == 0;
}

// A curve whose r values are f(lag) for lags 1 .. samplesUsed − 1 (and at most 1000).
DiffusionCurve curveOf(int32_t samplesUsed, const std::function<float(int32_t)>& f) {
    DiffusionCurve curve;
    curve.samplesUsed = samplesUsed;
    for (int32_t m = 1; m <= DiffusionMaxLag && m < samplesUsed; ++m)
        curve.records[m][DiffusionKindR] = f(m);
    return curve;
}

void expectSameAsExhaustive(const DiffusionCurve& curve, int32_t marker, float startA = 0.0f) {
    const DiffusionFit got = fitDiffusionLines(curve, DiffusionKindR, marker, startA);
    const DiffusionFit want = test::literalDiffusionFit(curve, DiffusionKindR, marker, startA);
    for (int p = 0; p < OriginFitPasses; ++p)
        EXPECT_TRUE(sameBits(got.originSlopeByPass[p], want.originSlopeByPass[p]))
            << "origin pass " << p << ": " << got.originSlopeByPass[p] << " vs "
            << want.originSlopeByPass[p];
    for (int p = 0; p < GeneralFitPasses; ++p) {
        EXPECT_TRUE(sameBits(got.lineAByPass[p], want.lineAByPass[p]))
            << "slope pass " << p << ": " << got.lineAByPass[p] << " vs " << want.lineAByPass[p];
        EXPECT_TRUE(sameBits(got.lineBByPass[p], want.lineBByPass[p]))
            << "intercept pass " << p << ": " << got.lineBByPass[p] << " vs "
            << want.lineBByPass[p];
    }
    EXPECT_TRUE(sameBits(got.originSlope, want.originSlope));
    EXPECT_TRUE(sameBits(got.lineA, want.lineA));
    EXPECT_TRUE(sameBits(got.lineB, want.lineB));
}

TEST(DiffusionFit, MarkerAtZeroLeavesTheOriginLineWithoutPointsAndEndsAtMinus1111) {
    const auto curve = curveOf(1001, [](int32_t m) { return 0.01f * m; });
    const DiffusionFit fit = fitDiffusionLines(curve, DiffusionKindR, 0);
    // Every slope has residual 0, so each pass keeps its first grid value.
    EXPECT_EQ(fit.originSlopeByPass[0], 0.0f);
    EXPECT_EQ(fit.originSlopeByPass[1], -1.0f);
    EXPECT_EQ(fit.originSlopeByPass[2], -1.0f - 0.1f);
    EXPECT_EQ(fit.originSlopeByPass[3], (-1.0f - 0.1f) - 0.01f);
    EXPECT_EQ(fit.originSlope, ((-1.0f - 0.1f) - 0.01f) - 0.001f);
    EXPECT_NEAR(fit.originSlope, -1.111, 1e-6);
}

TEST(DiffusionFit, RecoversExactLinesOnBothSidesOfTheMarker) {
    // 0.75·m up to the marker, then 0.001·m + 5. (The intercepts searched lie within 8 of the
    // curve value at the marker, so the general line must start near its intercept.)
    const auto curve =
        curveOf(1001, [](int32_t m) { return m < 10 ? 0.75f * m : 0.001f * m + 5.0f; });
    const DiffusionFit fit = fitDiffusionLines(curve, DiffusionKindR, 10);
    EXPECT_NEAR(fit.originSlope, 0.75, 1e-4);
    EXPECT_NEAR(fit.lineA, 0.001, 1e-5);
    EXPECT_NEAR(fit.lineB, 5.0, 0.01);
}

TEST(DiffusionFit, EqualResidualsKeepTheEarlierSlopeAndIntercept) {
    // Origin: lags 0 and 1 with value 0.5 give slopes 0 and 1 the same residual 0.25.
    auto curve = curveOf(1001, [](int32_t m) { return m == 1 ? 0.5f : 10.0f; });
    EXPECT_EQ(fitDiffusionLines(curve, DiffusionKindR, 2).originSlopeByPass[0], 0.0f);

    // General line over lags 990 .. 999 alternating 10.5, 9.5: intercepts 9.5 and 10.5 (with
    // slope 0) leave residuals 1, 0, 1, 0 ... and 0, 1, 0, 1 ...: the same sum. 9.5 comes first.
    curve = curveOf(1001, [](int32_t m) { return m % 2 == 0 ? 10.5f : 9.5f; });
    const DiffusionFit fit = fitDiffusionLines(curve, DiffusionKindR, 990);
    EXPECT_EQ(fit.lineAByPass[0], 0.0f);
    EXPECT_EQ(fit.lineBByPass[0], 9.5f);
    expectSameAsExhaustive(curve, 990);
}

TEST(DiffusionFit, LagsWithoutPairsStayOutOfTheFits) {
    // A span of 80 samples: lags 80 .. 1000 hold placeholder zeros. The general line over
    // lags 10 .. 79 is the exact line 0.001·m + 5, not pulled towards the zeros.
    const auto curve = curveOf(80, [](int32_t m) { return 0.001f * m + 5.0f; });
    EXPECT_EQ(curve.value(600, DiffusionKindR), 0.0f);
    const DiffusionFit fit = fitDiffusionLines(curve, DiffusionKindR, 10);
    EXPECT_NEAR(fit.lineA, 0.001, 1e-5);
    EXPECT_NEAR(fit.lineB, 5.0, 0.01);
    expectSameAsExhaustive(curve, 10);
}

TEST(DiffusionFit, AGeneralSideWithoutLagsKeepsTheFirstGridValueOfEachPass) {
    // Marker at the end of the range, and a marker beyond the lags with pairs.
    for (const auto& [samples, marker] : {std::pair{1001, 1000}, std::pair{120, 500}}) {
        SCOPED_TRACE(marker);
        const auto curve = curveOf(samples, [](int32_t m) { return 0.3f * m; });
        const float start = curve.value(marker, DiffusionKindR);
        const DiffusionFit fit = fitDiffusionLines(curve, DiffusionKindR, marker);
        EXPECT_EQ(fit.lineAByPass[0], 0.0f);
        EXPECT_EQ(fit.lineBByPass[0], start - 2.0f);
        EXPECT_EQ(fit.lineA, ((0.0f - 0.1f) - 0.01f) - 0.001f);
        EXPECT_EQ(fit.lineB, (((start - 2.0f) - 2.0f) - 2.0f) - 2.0f);
        EXPECT_NEAR(fit.originSlope, 0.3, 1e-4);  // the origin side still fits
        expectSameAsExhaustive(curve, marker);
    }
}

// (Short curves keep the exhaustive search quick; the equivalence suite runs full ones.)
TEST(DiffusionFit, FlatAndZeroCurvesMatchTheExhaustiveSearch) {
    expectSameAsExhaustive(curveOf(1001, [](int32_t) { return 4.0f; }), 980);
    expectSameAsExhaustive(curveOf(1001, [](int32_t) { return 0.0f; }), 990);
    expectSameAsExhaustive(curveOf(30, [](int32_t) { return 4.0f; }), 3);
}

TEST(DiffusionFit, LargeInterceptsStillEndTheirGrids) {
    // Intercepts near 3000: a step of 0.0001 is below half a float unit there, so a plain
    // running sum would stand still. The grid walks float by float and the fit ends.
    const auto curve = curveOf(1001, [](int32_t m) { return 3000.0f + 0.5f * m; });
    const DiffusionFit fit = fitDiffusionLines(curve, DiffusionKindR, 995);
    EXPECT_NEAR(fit.lineA * 997 + fit.lineB, 3498.5, 0.01);  // through the middle lag
    expectSameAsExhaustive(curve, 995);
}

TEST(DiffusionFit, ValuesThatAreNotFiniteTakeThePlainPathAndStillEnd) {
    const float inf = std::numeric_limits<float>::infinity();
    const float nan = std::numeric_limits<float>::quiet_NaN();
    expectSameAsExhaustive(curveOf(1001, [inf](int32_t m) { return m == 997 ? inf : 1.0f; }), 990);
    expectSameAsExhaustive(curveOf(30, [nan](int32_t m) { return m == 5 ? nan : 1.0f; }), 10);
    // A start at an infinite value: the intercept grid is that one value.
    expectSameAsExhaustive(curveOf(1001, [inf](int32_t m) { return m == 996 ? inf : 1.0f; }), 996);
}

TEST(DiffusionFit, TheStartingSlopeRemainsOnlyWhenTheFirstPassKeepsNothing) {
    // Residuals of 1e14 and more never beat the starting best.
    const auto huge = curveOf(1001, [](int32_t m) { return m % 2 ? 1e9f : -1e9f; });
    const DiffusionFit kept = fitDiffusionLines(huge, DiffusionKindR, 900, 7.0f);
    EXPECT_EQ(kept.lineAByPass[0], 7.0f);
    expectSameAsExhaustive(huge, 995, 7.0f);
    const auto normal = curveOf(1001, [](int32_t m) { return 0.2f * m; });
    EXPECT_NE(fitDiffusionLines(normal, DiffusionKindR, 990, 7.0f).lineA, 7.0f);
}

TEST(DiffusionFit, SumsOnlyAFewCandidatesInFull) {
    const auto curve = curveOf(1001, [](int32_t m) {
        return 2.0f * std::sqrt(static_cast<float>(m)) + 0.1f * std::sin(0.37f * m);
    });
    const DiffusionFit fit = fitDiffusionLines(curve, DiffusionKindR, 100);
    EXPECT_GT(fit.searchedCandidates, 900000);
    EXPECT_LT(fit.evaluatedCandidates, fit.searchedCandidates / 1000);
}

TEST(RunningGrid, IsThePlainRunningSumWhereThatEnds) {
    std::vector<float> plain;
    for (float v = -1.0f; v <= 1.0f; v += 0.1f) plain.push_back(v);
    EXPECT_EQ(runningGrid(-1.0f, 1.0f, 0.1f), plain);
    EXPECT_EQ(runningGrid(5.0f, 4.0f, 1.0f), std::vector<float>{});
    EXPECT_EQ(runningGrid(2.0f, 2.0f, 1.0f), std::vector<float>{2.0f});
}

TEST(RunningGrid, MovesFloatByFloatWhereTheStepIsTooSmall) {
    const auto grid = runningGrid(2046.0f, 2050.0f, 0.0001f);
    ASSERT_GT(grid.size(), 1000u);
    for (std::size_t i = 1; i < grid.size(); ++i) {
        ASSERT_GT(grid[i], grid[i - 1]);
        if (grid[i - 1] >= 2048.0f)
            ASSERT_EQ(grid[i], std::nextafter(grid[i - 1], 1e9f));
        else
            ASSERT_EQ(grid[i], grid[i - 1] + 0.0001f);
    }
    EXPECT_LE(grid.back(), 2050.0f);
    EXPECT_EQ(runningGrid(std::numeric_limits<float>::infinity(),
                          std::numeric_limits<float>::infinity(), 1.0f)
                  .size(),
              1u);
}

}  // namespace
}  // namespace kenvo
