#include <gtest/gtest.h>

#include <cmath>
#include <memory>

#include "analysis/half_wave.h"
#include "analysis/interval_cuts.h"
#include "analysis/sway_parameters.h"

namespace kenvo {
namespace {

// A store whose calibration is 1 mm per unit, so fractions are millimetres.
std::unique_ptr<MeasurementStore> unitStore() {
    auto s = std::make_unique<MeasurementStore>();
    s->calibration.scaleX = 1.0f;
    s->calibration.scaleY = 1.0f;
    return s;
}

void setAttempt(MeasurementStore& s, int32_t attempt, const std::vector<std::pair<float, float>>& mm) {
    s.length[static_cast<std::size_t>(attempt)] = static_cast<int32_t>(mm.size());
    for (std::size_t k = 0; k < mm.size(); ++k) s.samples(attempt)[k] = {mm[k].first, mm[k].second, 72};
    s.attemptCount = std::max(s.attemptCount, attempt + 1);
}

TEST(IntervalParameters, PathsVelocityAndMeanDistance) {
    auto s = unitStore();
    // A 3-4-5 step, then back along x.
    setAttempt(*s, 0, {{0, 0}, {3, 4}, {0, 4}});
    const IntervalParameters p = computeWholeAttempt(*s, 0);
    EXPECT_FLOAT_EQ(p.lengthX, 6.0f);
    EXPECT_FLOAT_EQ(p.lengthY, 4.0f);
    EXPECT_FLOAT_EQ(p.meanVelocity, 100.0f * 8.0f / 3.0f);  // 8 mm over 3 samples of 10 ms
    const float mx = 1.0f, my = 8.0f / 3.0f;
    const float expected = (std::hypot(0 - mx, 0 - my) + std::hypot(3 - mx, 4 - my) + std::hypot(0 - mx, 4 - my)) / 3;
    EXPECT_NEAR(p.meanDistance, expected, 1e-5);
    // The span [1, 3) sees only the last step.
    const IntervalParameters tail = computeIntervalParameters(*s, 0, 1, 3);
    EXPECT_FLOAT_EQ(tail.lengthX, 3.0f);
    EXPECT_FLOAT_EQ(tail.lengthY, 0.0f);
    EXPECT_FLOAT_EQ(tail.meanDistance, 1.5f);
}

TEST(IntervalParameters, ScalesComeFromTheDataSet) {
    auto s = unitStore();
    s->calibration.scaleX = 175.0f;
    s->calibration.scaleY = 276.0f;
    setAttempt(*s, 0, {{0, 0}, {0.1f, -0.1f}});
    const IntervalParameters p = computeWholeAttempt(*s, 0);
    EXPECT_FLOAT_EQ(p.lengthX, 17.5f);
    EXPECT_FLOAT_EQ(p.lengthY, 27.6f);
}

TEST(IntervalParameters, EmptyAndSingleSampleSpansGiveZeros) {
    auto s = unitStore();
    setAttempt(*s, 0, {{5, 5}, {6, 7}});
    for (auto [from, to] : {std::pair{0, 1}, std::pair{1, 1}, std::pair{2, 2}, std::pair{1, 2}}) {
        const IntervalParameters p = computeIntervalParameters(*s, 0, from, to);
        EXPECT_EQ(p.lengthX, 0.0f);
        EXPECT_EQ(p.lengthY, 0.0f);
        EXPECT_EQ(p.meanVelocity, 0.0f);
        EXPECT_EQ(p.meanDistance, 0.0f);
    }
    // A span reaching past the attempt is clipped to its samples.
    EXPECT_FLOAT_EQ(computeIntervalParameters(*s, 0, 0, 999).lengthX, 1.0f);
    EXPECT_EQ(computeWholeAttempt(*s, MaxAttempts).lengthX, 0.0f);
}

TEST(DxDyRatio, GuardTestsTheXPath) {
    EXPECT_FLOAT_EQ(dxDyRatio(3.0f, 2.0f), 1.5f);
    EXPECT_EQ(dxDyRatio(0.001f, 0.0001f), 0.0f);  // exactly the guard: no ratio
    EXPECT_EQ(dxDyRatio(0.0005f, 5.0f), 0.0f);
    EXPECT_GT(dxDyRatio(0.0011f, 5.0f), 0.0f);
    EXPECT_EQ(dxDyRatio(12.0f, 0.0f), 0.0f);  // no finite ratio: shown as 0
}

TEST(IntervalCuts, TwoHundredFiftySamplesInOneSecondSpans) {
    const auto cuts = intervalCuts(250, 1);
    ASSERT_EQ(cuts.size(), 3u);
    EXPECT_EQ(cuts[0].label, "  0 -   1");
    EXPECT_EQ(cuts[1].label, "  1 -   2");
    EXPECT_EQ(cuts[2].label, "  2 -   2");
    EXPECT_EQ(cuts[2].from, 200);
    EXPECT_EQ(cuts[2].to, 250);
    const auto five = intervalCuts(1050, 5);
    ASSERT_EQ(five.size(), 3u);
    EXPECT_EQ(five[2].label, " 10 -  10");
    EXPECT_EQ(five[2].to - five[2].from, 50);
    EXPECT_TRUE(intervalCuts(0, 1).empty());
    EXPECT_EQ(intervalCuts(100, 0).size(), 1u);  // a length below one second counts as one
    EXPECT_EQ(intervalCuts(31000, 2147483647).size(), 1u);
}

TEST(DeviationParameters, WalkCountsCrossingsAndAveragesPerExcursion) {
    auto s = unitStore();
    setAttempt(*s, 0, {{0, 0}, {1, 0}, {2, 0}, {3, 0}, {4, 0}, {5, 0}});
    float* dev = s->deviation(0);
    const float values[] = {2, 4, -1, -3, 0, 6};
    std::copy(std::begin(values), std::end(values), dev);
    const DeviationParameters d = computeDeviationParameters(*s, 0);
    EXPECT_FLOAT_EQ(d.meanDistance, 16.0f / 6);
    EXPECT_FLOAT_EQ(d.meanDistanceSquared, (4 + 16 + 1 + 9 + 0 + 36) / 6.0f);
    float var = 0;
    for (float v : values) var += (v - 16.0f / 6) * (v - 16.0f / 6);
    EXPECT_NEAR(d.sdDistance, std::sqrt(var / 6), 1e-5);
    // k=0 (2 after 2): plus; k=1: plus; k=2: crossing from plus; k=3: minus; k=4 (0): crossing
    // from minus; k=5 (6 after 0): crossing from minus.
    EXPECT_EQ(d.crossings, 3);
    EXPECT_FLOAT_EQ(d.plusDistance, 6.0f);  // one crossing from the plus side
    EXPECT_FLOAT_EQ(d.plusPath, 1.0f);      // steps 0 and 1
    EXPECT_FLOAT_EQ(d.minusDistance, 3.0f / 2);
    EXPECT_FLOAT_EQ(d.minusPath, 1.0f / 2);
    ASSERT_TRUE(d.hasPathPerCrossing);
    EXPECT_FLOAT_EQ(d.pathPerCrossing, 1.5f / 3);
}

TEST(DeviationParameters, NeverLeavingThePlusSideKeepsRawSumsAndNoPathPerCrossing) {
    auto s = unitStore();
    setAttempt(*s, 0, {{0, 0}, {0, 1}, {0, 3}});
    float* dev = s->deviation(0);
    dev[0] = 1, dev[1] = 2, dev[2] = 3;
    DeviationParameters d = computeDeviationParameters(*s, 0);
    EXPECT_EQ(d.crossings, 0);
    EXPECT_FLOAT_EQ(d.plusDistance, 6.0f);
    EXPECT_FLOAT_EQ(d.plusPath, 3.0f);
    EXPECT_FALSE(d.hasPathPerCrossing);
    // A first deviation of exactly 0 is a crossing (from the minus side).
    dev[0] = 0;
    d = computeDeviationParameters(*s, 0);
    EXPECT_EQ(d.crossings, 2);  // the zero, then 2 after 0
    EXPECT_FLOAT_EQ(d.plusDistance, 3.0f);
    EXPECT_EQ(computeDeviationParameters(*s, 1).crossings, 0);  // empty attempt
}

TEST(MovementParameters, PathTimeAndVelocityWithMeansAndSds) {
    auto s = unitStore();
    setAttempt(*s, 0, {{0, 0}});
    setAttempt(*s, 1, {{0, 0}, {300, 400}, {300, 400}, {0, 0}});
    const MovementParameters one = computeMovementParameters(*s, 0);
    EXPECT_EQ(one.pathLength, 0.0f);
    EXPECT_EQ(one.movementSamples, 1);
    EXPECT_EQ(one.velocity, 0.0f);
    const MovementParameters m = computeMovementParameters(*s, 1);
    EXPECT_FLOAT_EQ(m.pathLength, 1000.0f);
    EXPECT_FLOAT_EQ(m.velocity, 25.0f);  // 1 m in 40 ms
    const MovementSummary sum = summarizeMovements(*s);
    EXPECT_EQ(sum.meanSamples, 2);  // (1 + 4) / 2 in whole samples
    EXPECT_FLOAT_EQ(sum.meanPath, 500.0f);
    EXPECT_FLOAT_EQ(sum.sdPath, 500.0f);
    EXPECT_FLOAT_EQ(sum.sdSamples, std::sqrt((1.0f + 4.0f) / 2));  // (2-1)^2 + (2-4)^2
    EXPECT_FLOAT_EQ(sum.meanVelocity, 12.5f);
}

TEST(MovementParameters, SdOfLongAttemptsDoesNotOverflow) {
    auto s = unitStore();
    for (int j = 0; j < 500; ++j) s->length[static_cast<std::size_t>(j)] = j % 2 ? 30999 : 0;
    s->attemptCount = 500;
    const MovementSummary sum = summarizeMovements(*s);
    EXPECT_EQ(sum.meanSamples, 15499);
    EXPECT_NEAR(sum.sdSamples, 15499.5f, 1.0f);
}

std::vector<float> ramp(int n, float total) {
    std::vector<float> v(static_cast<std::size_t>(n));
    for (int k = 0; k < n; ++k) v[static_cast<std::size_t>(k)] = total * k / (n - 1);
    return v;
}

TEST(HalfWave, RampIsOneHalfWave) {
    const auto v = ramp(200, 12.0f);
    const HalfWaveAxis a = halfWaveAxis(v.data(), 200, 1.0f);
    EXPECT_EQ(a.halfWaves, 1);
    EXPECT_NEAR(a.meanAmplitude, 12.0f, 1e-4);
    EXPECT_NEAR(a.sdAmplitude, 0.0f, 1e-4);
}

TEST(HalfWave, ThresholdDecidesWhichReversalsCount) {
    // A triangle wave between -5 and +5: runs of +10 and -10 after the first +5.
    std::vector<float> v;
    for (int cycle = 0; cycle < 4; ++cycle) {
        for (int k = 0; k < 10; ++k) v.push_back(-5.0f + k);
        for (int k = 0; k < 10; ++k) v.push_back(5.0f - k);
    }
    v.push_back(-5.0f);
    const int n = static_cast<int>(v.size());
    const HalfWaveAxis kept = halfWaveAxis(v.data(), n, 1.0f);
    EXPECT_EQ(kept.halfWaves, 8);
    EXPECT_NEAR(kept.meanAmplitude, 10.0f, 1e-4);
    const HalfWaveAxis merged = halfWaveAxis(v.data(), n, 20.0f);
    EXPECT_EQ(merged.halfWaves, 1);
    EXPECT_NEAR(merged.meanAmplitude, 0.0f, 1e-4);  // the signed runs cancel out
}

TEST(HalfWave, TinyStepsAndShortAttempts) {
    // With a threshold of 0 no reversal is merged, so only the still-step rule can keep these
    // reversals of 0.000005 mm from ending the half-wave.
    const std::vector<float> still = {0.0f, 1.0f, 0.999995f, 2.0f, 1.999995f, 3.0f};
    const HalfWaveAxis kept = halfWaveAxis(still.data(), 6, 0.0f);
    EXPECT_EQ(kept.halfWaves, 1);
    EXPECT_NEAR(kept.meanAmplitude, 3.0f, 1e-4);  // the ignored steps add nothing to the run
    // A reversal of 0.0001 mm is a real step: it ends the half-wave when nothing merges it.
    const std::vector<float> moved = {0.0f, 1.0f, 0.9999f, 2.0f};
    EXPECT_EQ(halfWaveAxis(moved.data(), 4, 0.0f).halfWaves, 3);
    for (int n : {0, 1}) {
        const HalfWaveAxis a = halfWaveAxis(still.data(), n, 1.0f);
        EXPECT_EQ(a.halfWaves, 1);
        EXPECT_EQ(a.meanAmplitude, 0.0f);
        EXPECT_EQ(a.sdAmplitude, 0.0f);
    }
}

TEST(HalfWave, AlternatingTrackOfAFullSlotIsCountedWhole) {
    std::vector<float> v(MaxSamples);
    for (int k = 0; k < MaxSamples; ++k) v[static_cast<std::size_t>(k)] = k % 2 ? 3.0f : 0.0f;
    const HalfWaveAxis a = halfWaveAxis(v.data(), MaxSamples, 1.0f);
    EXPECT_EQ(a.halfWaves, MaxSamples - 1);  // far more than a fixed list of 10000 would hold
    EXPECT_FLOAT_EQ(a.meanAmplitude, 3.0f);
}

TEST(HalfWave, AttemptUsesBothAxesInMillimetres) {
    auto s = unitStore();
    s->calibration.scaleX = 2.0f;
    setAttempt(*s, 0, {{0, 0}, {1, -1}, {2, -2}});
    const HalfWaveParameters h = computeHalfWaveParameters(*s, 0, 1.0f);
    EXPECT_FLOAT_EQ(h.x.meanAmplitude, 4.0f);
    EXPECT_FLOAT_EQ(h.y.meanAmplitude, 2.0f);
}

}  // namespace
}  // namespace kenvo
