#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <vector>

#include "analysis/sway_parameters.h"
#include "clinical/attempt_trace.h"
#include "clinical/norms.h"
#include "clinical/sensory_results.h"
#include "model/live_trace.h"
#include "model/measurement_store.h"
#include "platform/dispatcher.h"
#include "model/platform_models.h"
#include "platform/platform_simulator.h"

namespace kenvo {
namespace {

// The simulated platform's frames, run through the real dispatcher, give back the COP the
// simulated subject stood at (after zeroing the unloaded offsets), within the load cells'
// resolution and noise (a count of noise is about half a millimetre on the three-sensor x).
TEST(PlatformSimulator, FramesDecodeBackToTheScriptedCopOnEveryModel) {
    for (int32_t model = 0; model < PlatformModelCount; ++model) {
        ScriptedSource path([](double t) { return CopPoint{30.0 * std::sin(t), -20.0 + 10.0 * t}; });
        PlatformSimulator sim({model, 80.0, 72.0, 3}, path);
        auto trace = std::make_unique<LiveTrace>();
        trace->reset(10);
        Dispatcher dispatcher(*trace);
        dispatcher.setFourSensor(isFourSensorModel(model));
        AcquisitionControl control;
        control.mode = AcquisitionStance;
        dispatcher.reset(control, 0);
        control.setZeroOffsets(PlatformSimulator::UnloadedCounts);
        const ModelScales scales = modelScales(model, 0);
        for (int64_t i = 0; i < 300; ++i) {
            const auto bytes = encodeFrame(sim.frame(i));
            dispatcher.consume(bytes.data(), bytes.size());
            const CopSample s = trace->entry(trace->newest());
            const CopPoint want = path.at(i);
            ASSERT_NEAR(s.x * scales.scaleX, want.xMm, 2.0) << "model " << model << " frame " << i;
            ASSERT_NEAR(s.y * scales.scaleY, want.yMm, 2.0) << "model " << model << " frame " << i;
        }
    }
}

TEST(PlatformSimulator, HeartBeatsAtARestingRateAndOverloadOnRequest) {
    QuietStanceSource subject(5);
    PlatformSimulator sim({0, 70.0, 72.0, 5}, subject);
    std::vector<int64_t> beats;
    for (int64_t i = 0; i < 6000; ++i) {
        const RawFrame f = sim.frame(i);
        ASSERT_LE(f.s[0], Dispatcher::OverloadLimit);
        if (f.status & StatusHeartBeat) beats.push_back(i);
    }
    ASSERT_GE(beats.size(), 60u);  // a minute of frames
    ASSERT_LE(beats.size(), 85u);
    for (std::size_t i = 1; i < beats.size(); ++i) {
        EXPECT_GT(beats[i] - beats[i - 1], 25) << "beats must be accepted by the heart-rate filter";
        EXPECT_LT(beats[i] - beats[i - 1], 100);
    }
    sim.setOverload(true);
    EXPECT_GT(sim.frame(6000).s[0], Dispatcher::OverloadLimit);
}

// `attempts` attempts of `samples` samples of `subject` on the default platform, through the
// real dispatcher into a store, one frame after the other as the reader thread feeds them.
std::unique_ptr<MeasurementStore> recordThroughDispatcher(CopSource& subject, uint32_t seed,
                                                          int32_t attempts, int32_t samples) {
    auto store = std::make_unique<MeasurementStore>();
    const ModelScales scales = modelScales(0, 0);
    store->calibration.scaleX = scales.scaleX;
    store->calibration.scaleY = scales.scaleY;
    PlatformSimulator sim({0, 70.0, 72.0, seed}, subject);
    auto trace = std::make_unique<LiveTrace>();
    trace->reset(10);
    Dispatcher dispatcher(*trace);
    AcquisitionControl control;
    control.mode = AcquisitionStance;
    dispatcher.reset(control, 0);
    control.setZeroOffsets(PlatformSimulator::UnloadedCounts);
    int64_t frame = 0;
    for (int32_t a = 0; a < attempts; ++a) {
        control.dest = store->samples(a);
        control.sampleCount = 0;
        control.length = samples;
        control.recording = 1;
        while (control.sampleCount.load() < samples) {
            const auto bytes = encodeFrame(sim.frame(frame++));
            dispatcher.consume(bytes.data(), bytes.size());
        }
        control.recording = 0;
        store->length[a] = samples;
    }
    store->attemptCount = attempts;
    return store;
}

// Three 60 s attempts of the simulated subject standing in `condition`.
std::unique_ptr<MeasurementStore> recordCondition(std::optional<SensoryCondition> condition,
                                                  uint32_t seed) {
    SteerableSource subject(seed);
    subject.setCondition(condition);
    return recordThroughDispatcher(subject, seed, 3, 6000);
}

// The sensory test can be shown without hardware: with the 10 Hz low-pass, the median of three
// 60 s attempts of the simulated subject in each condition lies between the young adults' 25th
// and 75th percentiles of that condition, for the 95 % area and the velocity alike; and the
// subject of the plain stance test still sways as it always did.
TEST(PlatformSimulator, EachSensoryConditionSwaysLikeTheMiddleOfYoungAdults) {
    for (const SensoryCondition condition : SensoryConditions) {
        for (uint32_t seed : {1u, 7u}) {
            const auto store = recordCondition(condition, seed);
            for (const NormMeasure measure : {NormMeasure::Area95, NormMeasure::Velocity}) {
                std::vector<double> values;
                for (int32_t a = 0; a < 3; ++a)
                    values.push_back(*computeClinicalMeasures(attemptTrace(*store, a), DefaultLowPassHz)
                                          [clinicalMeasureOf(measure)]);
                const double median = *medianOf(values);
                const NormRow& norm = findNorm(AgeGroup::Young, visionOf(condition),
                                               surfaceOf(condition), measure);
                EXPECT_GE(median, norm.percentile[1])
                    << conditionName(condition) << " " << normMeasureName(measure) << " seed " << seed;
                EXPECT_LE(median, norm.percentile[3])
                    << conditionName(condition) << " " << normMeasureName(measure) << " seed " << seed;
            }
        }
    }
    // Plain quiet standing keeps its own, smaller sway: less than the eyes-open firm condition's.
    const auto plain = recordCondition(std::nullopt, 1);
    const auto firm = recordCondition(SensoryCondition::EoFirm, 1);
    EXPECT_LT(*computeClinicalMeasures(attemptTrace(*plain, 0), DefaultLowPassHz)[ClinicalMeasure::Area95],
              *computeClinicalMeasures(attemptTrace(*firm, 0), DefaultLowPassHz)[ClinicalMeasure::Area95]);
}

// The default simulated subject on the default platform, through the real dispatcher and the
// Summary table's parameters: every 30 s attempt of five subjects sways like a healthy adult's
// quiet stance (velocity 5-20 mm/s, mean distance 2-8 mm), the platform's noise included.
TEST(PlatformSimulator, QuietStanceSummaryLooksLikeAHealthyAdultForFiveSeeds) {
    for (uint32_t seed = 1; seed <= 5; ++seed) {
        QuietStanceSource subject(seed);
        const auto store = recordThroughDispatcher(subject, seed, 3, 3000);
        for (int32_t a = 0; a < 3; ++a) {
            const IntervalParameters p = computeWholeAttempt(*store, a);
            EXPECT_GE(p.meanVelocity, 5.0f) << "seed " << seed << " attempt " << a;
            EXPECT_LE(p.meanVelocity, 20.0f) << "seed " << seed << " attempt " << a;
            EXPECT_GE(p.meanDistance, 2.0f) << "seed " << seed << " attempt " << a;
            EXPECT_LE(p.meanDistance, 8.0f) << "seed " << seed << " attempt " << a;
        }
    }
}

// Every cell carries at least half a count of noise at a steady load, whole counts only; a
// 120 kg subject swaying quietly keeps every cell of every model below 4000 counts.
TEST(PlatformSimulator, CellNoiseAndTheLoadScaleOfAHeavySubject) {
    ScriptedSource still([](double) { return CopPoint{5.0, -10.0}; });
    PlatformSimulator steady({0, 70.0, 72.0, 4}, still);
    double sum[4] = {}, squares[4] = {};
    const int n = 6000;
    for (int64_t i = 0; i < n; ++i) {
        const RawFrame f = steady.frame(i);
        for (int k = 0; k < 4; ++k) sum[k] += f.s[k], squares[k] += double(f.s[k]) * f.s[k];
    }
    for (int k = 0; k < 4; ++k) {
        const double rms = std::sqrt(squares[k] / n - (sum[k] / n) * (sum[k] / n));
        EXPECT_GE(rms, 0.5) << "cell " << k;
        EXPECT_LE(rms, 1.0) << "cell " << k;
    }
    for (int32_t model = 0; model < PlatformModelCount; ++model) {
        QuietStanceSource subject(7);
        PlatformSimulator heavy({model, 120.0, 72.0, 7}, subject);
        int32_t highest = 0;
        for (int64_t i = 0; i < 6000; ++i)
            for (int32_t reading : heavy.frame(i).s) highest = std::max(highest, reading);
        EXPECT_LT(highest, 4000) << "model " << model;
        EXPECT_GT(highest, 1500) << "model " << model;  // the weight is on the cells
    }
}

TEST(QuietStanceSource, SwaysAFewMillimetresLikeAStandingPerson) {
    QuietStanceSource subject(11, {0.0, 0.0});
    double sx = 0, sy = 0, sxx = 0, syy = 0, path = 0;
    CopPoint last = subject.at(0);
    const int n = 6000;
    for (int i = 1; i <= n; ++i) {
        const CopPoint p = subject.at(i);
        sx += p.xMm, sy += p.yMm, sxx += p.xMm * p.xMm, syy += p.yMm * p.yMm;
        path += std::hypot(p.xMm - last.xMm, p.yMm - last.yMm);
        last = p;
    }
    const double sdX = std::sqrt(sxx / n - (sx / n) * (sx / n));
    const double sdY = std::sqrt(syy / n - (sy / n) * (sy / n));
    EXPECT_GT(sdX, 0.5);
    EXPECT_LT(sdX, 6.0);
    EXPECT_GT(sdY, sdX);  // front-rear sway is the larger
    EXPECT_LT(sdY, 10.0);
    const double velocity = path / 60.0;  // mm/s over the minute
    EXPECT_GT(velocity, 3.0);
    EXPECT_LT(velocity, 40.0);
}

// Steered, the subject walks to the wanted point within a second and stays close to it; let
// go, it returns to quiet standing at its resting position.
TEST(SteerableSource, FollowsTheWantedPointAndReturnsToRestWhenReleased) {
    SteerableSource subject(3, {2.0, -8.0});
    subject.setSteering(true);
    subject.steerTo({40.0, 25.0});
    int64_t frame = 0;
    CopPoint p;
    for (; frame < 100; ++frame) p = subject.at(frame);
    EXPECT_NEAR(p.xMm, 40.0, 2.5);
    EXPECT_NEAR(p.yMm, 25.0, 2.5);
    double worst = 0.0;
    for (; frame < 400; ++frame) {
        p = subject.at(frame);
        worst = std::max(worst, std::hypot(p.xMm - 40.0, p.yMm - 25.0));
    }
    EXPECT_LT(worst, 4.0);  // a little sway stays, so the disc looks alive

    subject.setSteering(false);
    double sx = 0, sy = 0;
    for (int i = 0; i < 3000; ++i, ++frame) {
        p = subject.at(frame);
        if (i >= 500) sx += p.xMm, sy += p.yMm;  // after the walk back
    }
    EXPECT_NEAR(sx / 2500, 2.0, 3.0);
    EXPECT_NEAR(sy / 2500, -8.0, 4.0);
}

// Stepped off, the plate reads only its unloaded offsets (and noise) and senses no pulse;
// back on, the body weight returns.
TEST(SteerableSource, SteppingOffLeavesTheUnloadedReadings) {
    SteerableSource subject(5);
    PlatformSimulator sim({0, 70.0, 72.0, 5}, subject);
    subject.setStanding(false);
    double mean[4] = {};
    int beats = 0;
    for (int64_t i = 0; i < 1000; ++i) {
        const RawFrame f = sim.frame(i);
        for (int k = 0; k < 4; ++k) mean[k] += f.s[k] / 1000.0;
        beats += (f.status & StatusHeartBeat) != 0;
    }
    for (int k = 0; k < 4; ++k) EXPECT_NEAR(mean[k], PlatformSimulator::UnloadedCounts[k], 1.0) << k;
    EXPECT_EQ(beats, 0);
    subject.setStanding(true);
    const RawFrame on = sim.frame(1000);
    EXPECT_GT(on.s[0] + on.s[1] + on.s[2] + on.s[3], 1300);
}

// A recording plays from its start, sample by sample, and again when it ends; steering takes
// over while on, and clearing the recording brings quiet standing back.
TEST(SteerableSource, PlaysARecordingFromItsStartAndLoops) {
    const RecordedSource recording({{1.0, 2.0}, {3.0, 4.0}, {5.0, 6.0}});
    SteerableSource subject(9);
    for (int64_t i = 0; i < 50; ++i) (void)subject.at(i);  // standing a while first
    subject.play(&recording);
    int64_t frame = 50;
    for (const double x : {1.0, 3.0, 5.0, 1.0, 3.0}) EXPECT_EQ(subject.at(frame++).xMm, x);
    subject.setSteering(true);
    subject.steerTo({-30.0, 0.0});
    CopPoint p;
    for (int i = 0; i < 200; ++i) p = subject.at(frame++);
    EXPECT_NEAR(p.xMm, -30.0, 3.0);
    subject.setSteering(false);
    EXPECT_EQ(subject.at(frame++).xMm, 1.0) << "the recording starts over after steering";
    subject.play(nullptr);
    for (int i = 0; i < 1000; ++i) p = subject.at(frame++);
    EXPECT_NEAR(p.xMm, 2.0, 8.0);  // back near the resting position
    EXPECT_NEAR(p.yMm, -8.0, 10.0);
}

}  // namespace
}  // namespace kenvo
