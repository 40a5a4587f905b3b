// The fast diffusion curve and fits against their plain forms, on the real recordings and on
// curves built to find the edges of the pruning: every value bit for bit.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <functional>
#include <random>

#include "analysis/diffusion_curve.h"
#include "analysis/diffusion_fit.h"
#include "support/diffusion_reference.h"
#include "support/synthetic_sway.h"
#include "support/validation_data.h"

namespace kenvo {
namespace {

const PlatformCalibration Model0{175.0f, 276.0f, {1, 1, 1, 1}};

bool sameBits(float a, float b) {
    return std::memcmp(&a, &b, sizeof a) == 0;
}

std::vector<CopSample> asStored(const test::Recording& r) {
    std::vector<CopSample> samples(r.xMm.size());
    for (std::size_t k = 0; k < samples.size(); ++k)
        samples[k] = {static_cast<float>(r.xMm[k] / 175.0), static_cast<float>(r.yMm[k] / 276.0),
                      72};
    return samples;
}

void expectSameCurve(const DiffusionCurve& got, const DiffusionCurve& want) {
    ASSERT_EQ(got.samplesUsed, want.samplesUsed);
    for (int32_t m = 0; m < DiffusionRecordCount; ++m)
        for (int32_t v = 0; v < DiffusionValuesPerRecord; ++v)
            ASSERT_TRUE(sameBits(got.records[m][v], want.records[m][v])) << "lag " << m;
}

void expectSameFit(const DiffusionCurve& curve, int32_t kind, int32_t marker) {
    SCOPED_TRACE(::testing::Message() << "kind " << kind << " marker " << marker);
    const DiffusionFit got = fitDiffusionLines(curve, kind, marker);
    const DiffusionFit want = test::literalDiffusionFit(curve, kind, marker);
    for (int p = 0; p < OriginFitPasses; ++p)
        EXPECT_TRUE(sameBits(got.originSlopeByPass[p], want.originSlopeByPass[p])) << "pass " << p;
    for (int p = 0; p < GeneralFitPasses; ++p) {
        EXPECT_TRUE(sameBits(got.lineAByPass[p], want.lineAByPass[p])) << "pass " << p;
        EXPECT_TRUE(sameBits(got.lineBByPass[p], want.lineBByPass[p])) << "pass " << p;
    }
    EXPECT_TRUE(sameBits(got.originSlope, want.originSlope))
        << got.originSlope << " vs " << want.originSlope;
    EXPECT_TRUE(sameBits(got.lineA, want.lineA)) << got.lineA << " vs " << want.lineA;
    EXPECT_TRUE(sameBits(got.lineB, want.lineB)) << got.lineB << " vs " << want.lineB;
    // The pruning must not degrade into the exhaustive search on ordinary curves.
    if (std::isfinite(curve.value(marker, kind))) {
        EXPECT_LT(got.evaluatedCandidates, got.searchedCandidates / 100);
    }
}

DiffusionCurve curveOf(int32_t samplesUsed, const std::function<float(int32_t)>& f) {
    DiffusionCurve curve;
    curve.samplesUsed = samplesUsed;
    for (int32_t m = 1; m <= DiffusionMaxLag && m < samplesUsed; ++m)
        curve.records[m][DiffusionKindR] = f(m);
    return curve;
}

TEST(DiffusionEquivalence, CurvesOfTheValidationRecordings) {
    const auto files = test::validationFiles();
    if (files.empty()) GTEST_SKIP() << test::validationMissingReason();
    for (const auto& file : files) {
        const auto samples = asStored(test::loadRecording(file));
        SCOPED_TRACE(file);
        for (int32_t span : {static_cast<int32_t>(samples.size()), 1000, 1300})
            expectSameCurve(computeDiffusionCurve(samples, Model0, span),
                            test::literalDiffusionCurve(samples, Model0, span));
    }
}

// Each recording with every quantity, the marker moving across the range from one to the
// next; the first quantity also with the marker at both ends.
TEST(DiffusionEquivalence, FitsOnTheValidationRecordings) {
    const auto files = test::validationFiles();
    if (files.empty()) GTEST_SKIP() << test::validationMissingReason();
    const int32_t markers[] = {30, 100, 250, 600, 850};
    int32_t next = 0;
    for (const auto& file : files) {
        SCOPED_TRACE(file);
        const auto samples = asStored(test::loadRecording(file));
        const auto curve =
            computeDiffusionCurve(samples, Model0, static_cast<int32_t>(samples.size()));
        for (int32_t kind = 0; kind < DiffusionKindCount; ++kind)
            expectSameFit(curve, kind, markers[next++ % 5]);
        expectSameFit(curve, DiffusionKindR, 1000);
    }
    const auto first = asStored(test::loadRecording(files.front()));
    expectSameFit(computeDiffusionCurve(first, Model0, 6000), DiffusionKindX, 0);
}

TEST(DiffusionEquivalence, FlatCurvesAndExactLines) {
    expectSameFit(curveOf(1001, [](int32_t) { return 3.0f; }), DiffusionKindR, 0);
    expectSameFit(curveOf(1001, [](int32_t) { return 0.0f; }), DiffusionKindR, 400);
    expectSameFit(curveOf(1001, [](int32_t m) { return 0.004f * m + 2.0f; }), DiffusionKindR, 1);
    expectSameFit(curveOf(1001, [](int32_t m) { return 0.25f * m; }), DiffusionKindR, 500);
}

TEST(DiffusionEquivalence, CurvesFullOfEqualResiduals) {
    // Values on a coarse binary grid, so many candidates' residual sums are exactly equal.
    expectSameFit(curveOf(1001, [](int32_t m) { return 0.5f * static_cast<float>(m / 50); }),
                  DiffusionKindR, 100);
    expectSameFit(curveOf(1001, [](int32_t m) { return m % 2 ? 4.5f : 3.5f; }), DiffusionKindR,
                  200);
}

TEST(DiffusionEquivalence, ScalesFarFromMillimetres) {
    const auto samples = test::syntheticSway(4000, 9);
    const auto base = computeDiffusionCurve(samples, Model0, 4000);
    // Squared distances in the thousands: intercepts where a step of 0.0001 is below a
    // float unit.
    expectSameFit(curveOf(1001, [&](int32_t m) { return 800.0f * base.value(m, 0); }),
                  DiffusionKindR, 150);
    expectSameFit(curveOf(1001, [&](int32_t m) { return 1e-5f * base.value(m, 0); }),
                  DiffusionKindR, 150);
    expectSameFit(base, DiffusionKindR2, 300);
}

TEST(DiffusionEquivalence, LagsWithoutPairsAndNoisyCurves) {
    const auto samples = test::syntheticSway(700, 4);
    expectSameFit(computeDiffusionCurve(samples, Model0, 700), DiffusionKindR, 100);
    std::mt19937 rng(5);
    std::uniform_real_distribution<float> noise(-1.0f, 1.0f);
    std::vector<float> values(1001);
    for (auto& v : values) v = noise(rng);
    expectSameFit(curveOf(1001, [&](int32_t m) { return values[m]; }), DiffusionKindR, 300);
}

}  // namespace
}  // namespace kenvo
