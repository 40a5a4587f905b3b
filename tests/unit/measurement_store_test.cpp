#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <memory>
#include <utility>

#include "model/measurement_store.h"
#include "model/sample_metric.h"

namespace kenvo {
namespace {

std::unique_ptr<MeasurementStore> makeStore() { return std::make_unique<MeasurementStore>(); }

TEST(MeasurementStore, StartsEmptyWithInitialZeroOffsetsAndUnsavedNothing) {
    auto store = makeStore();
    EXPECT_EQ(store->attemptCount, 0);
    EXPECT_EQ(store->dataSaved, 1);
    EXPECT_EQ(store->testRunning, 0);
    EXPECT_EQ(store->dataPresent, 0);
    for (int k = 0; k < 4; ++k) EXPECT_EQ(store->calibration.zeroOffset[k], 1);
    EXPECT_EQ(store->allSamples().size(), std::size_t{MaxAttempts} * MaxSamples);
    EXPECT_EQ(store->samples(500) + MaxSamples, store->allSamples().data() + store->allSamples().size());
}

TEST(MeasurementStore, ResetClearsDeviationsAndTakesSettingsWithTheNewMode) {
    auto store = makeStore();
    store->deviation(0)[0] = 1.5f;
    store->deviation(500)[MaxSamples - 1] = -2.0f;
    store->deviation(250)[12345] = 3.0f;
    store->attemptCount = 7;
    TestSettings current = TestSettings::defaults();
    current.stanceTime = 25;
    store->resetDataSet(current, TestModeDriving);
    EXPECT_EQ(store->attemptCount, 0);
    EXPECT_EQ(current.testMode, TestModeDriving);
    EXPECT_EQ(store->settings, current);
    EXPECT_EQ(store->deviation(0)[0], 0.0f);
    EXPECT_EQ(store->deviation(500)[MaxSamples - 1], 0.0f);
    EXPECT_EQ(store->deviation(250)[12345], 0.0f);
}

TEST(MeasurementStore, BeginStanceAttemptSetsPlannedLengthAndStartTime) {
    auto store = makeStore();
    store->settings.stanceTime = 300;
    CopSample* dest = store->beginAttempt(3, 0x1'2345'6789LL, true);
    EXPECT_EQ(dest, store->samples(3));
    EXPECT_EQ(store->length[3], 30000);  // the longest stance attempt fits in a slot
    EXPECT_EQ(store->startTime[3], 0x23456789);
    store->length[4] = 77;
    store->beginAttempt(4, 5, false);
    EXPECT_EQ(store->length[4], 77);  // driving and target attempts set their length later
    store->completeAttempt();
    EXPECT_EQ(store->attemptCount, 1);
    EXPECT_EQ(store->dataSaved, 0);
    // The planned samples of a duration read from a damaged file stay within the arrays.
    for (const auto& [seconds, samples] : {std::pair{10, 1000}, {-5, 0}, {INT32_MAX, MaxSamples}}) {
        store->attemptSeconds = seconds;
        EXPECT_EQ(store->plannedSamples(), samples) << seconds;
    }
}

TEST(MeasurementStore, DeletingAttemptKOfNMovesTheLaterAttemptsDown) {
    auto store = makeStore();
    const int n = 5;
    for (int i = 0; i < n; ++i) {
        store->length[i] = 10 + i;
        store->startTime[i] = 1000 + i;
        store->targetLocation[i] = i % 4;
        store->deviation(i)[0] = static_cast<float>(i);
        for (int s = 0; s < store->length[i]; ++s)
            store->samples(i)[s] = CopSample{i + s * 0.001f, -i - s * 0.001f, static_cast<int16_t>(1000 + 60 + i)};
    }
    store->attemptCount = n;
    ASSERT_TRUE(store->deleteAttempt(1));
    ASSERT_EQ(store->attemptCount, n - 1);
    const int expected[] = {0, 2, 3, 4};
    for (int j = 0; j < n - 1; ++j) {
        const int old = expected[j];
        EXPECT_EQ(store->length[j], 10 + old);
        EXPECT_EQ(store->startTime[j], 1000 + old);
        EXPECT_EQ(store->targetLocation[j], old % 4);
        for (int s = 0; s < store->length[j]; ++s) {
            const CopSample want{old + s * 0.001f, -old - s * 0.001f, static_cast<int16_t>(1060 + old)};
            ASSERT_EQ(store->samples(j)[s], want) << "attempt " << j << " sample " << s;
        }
    }
    // Deviations are not moved with the attempts.
    EXPECT_EQ(store->deviation(1)[0], 1.0f);

    EXPECT_TRUE(store->deleteAttempt(store->attemptCount - 1));  // the last one
    EXPECT_EQ(store->attemptCount, 3);
    EXPECT_FALSE(store->deleteAttempt(3));
    EXPECT_FALSE(store->deleteAttempt(-1));
    EXPECT_EQ(store->attemptCount, 3);
}

TEST(LiveTrace, ResetFillsTheWholeRingWithDummiesAtTheOrigin) {
    LiveTrace trace;
    trace.reset(500);
    EXPECT_EQ(trace.capacity(), 500);
    EXPECT_EQ(trace.oldest(), 0);
    EXPECT_EQ(trace.newest(), 499);
    EXPECT_EQ(trace.recordedCounter(), 0);
    for (int i = 0; i < 500; ++i) {
        EXPECT_EQ(trace.entry(i), (CopSample{0.0f, 0.0f, 40}));
        EXPECT_EQ(trace.sequence(i), -1);
    }
    trace.reset(0);
    EXPECT_EQ(trace.capacity(), 1);
    trace.reset(MaxSamples + 10);
    EXPECT_EQ(trace.capacity(), MaxSamples);
}

TEST(LiveTrace, RecordingMarksThePreviousLiveSampleZeroAndCountsFromOne) {
    LiveTrace trace;
    trace.reset(4);
    trace.pushLive({0.1f, 0.1f, 70});  // newest 0, oldest 1
    EXPECT_EQ(trace.newest(), 0);
    EXPECT_EQ(trace.oldest(), 1);
    trace.pushRecorded({0.2f, 0.2f, 71});
    EXPECT_EQ(trace.sequence(0), 0);
    EXPECT_EQ(trace.sequence(1), 1);
    trace.pushRecorded({0.3f, 0.3f, 72});
    trace.pushRecorded({0.4f, 0.4f, 73});
    EXPECT_EQ(trace.sequence(2), 2);
    EXPECT_EQ(trace.sequence(3), 3);
    EXPECT_EQ(trace.newest(), 3);
    EXPECT_EQ(trace.oldest(), 0);
    trace.pushRecorded({0.5f, 0.5f, 74});  // wraps over the oldest
    EXPECT_EQ(trace.newest(), 0);
    EXPECT_EQ(trace.oldest(), 1);
    EXPECT_EQ(trace.sequence(0), 4);
    EXPECT_EQ(trace.recordedCounter(), 5);

    // A live sample ends the recording; the next recording starts again at 0/1.
    trace.pushLive({0.6f, 0.6f, 75});
    EXPECT_EQ(trace.recordedCounter(), 0);
    EXPECT_EQ(trace.sequence(1), -1);
    trace.pushRecorded({0.7f, 0.7f, 76});
    EXPECT_EQ(trace.sequence(1), 0);
    EXPECT_EQ(trace.sequence(2), 1);
    EXPECT_EQ(trace.entry(2), (CopSample{0.7f, 0.7f, 76}));
}

TEST(LiveTrace, ReversePlaybackRotatesTheRingBackward) {
    LiveTrace trace;
    trace.reset(3);
    trace.pushRecorded({0.1f, 0.0f, 60});  // entry 2 gets 0, entry 0 gets 1
    trace.pushRecorded({0.2f, 0.0f, 61});  // entry 1 gets 2
    ASSERT_EQ(trace.newest(), 1);
    ASSERT_EQ(trace.oldest(), 2);
    ASSERT_EQ(trace.recordedCounter(), 3);

    // The oldest entry (2) has sequence 0, so the dropped newest gets -1 and becomes a dummy.
    trace.dropNewest();
    EXPECT_EQ(trace.entry(1), (CopSample{0.0f, 0.0f, 40}));
    EXPECT_EQ(trace.sequence(1), -1);
    EXPECT_EQ(trace.oldest(), 1);
    EXPECT_EQ(trace.newest(), 0);
    EXPECT_EQ(trace.recordedCounter(), 2);

    // Now the oldest (1) is -1; with the oldest at sequence 1 the dropped one would get 0.
    trace.pushOldest({0.9f, 0.9f, 59}, 1);
    EXPECT_EQ(trace.entry(0), (CopSample{0.9f, 0.9f, 59}));
    EXPECT_EQ(trace.sequence(0), 1);
    EXPECT_EQ(trace.oldest(), 0);
    EXPECT_EQ(trace.newest(), 2);  // wrapped from -1
    EXPECT_EQ(trace.recordedCounter(), 1);
    trace.dropNewest();
    EXPECT_EQ(trace.sequence(2), 0);  // the oldest entry now carries sequence 1
    EXPECT_EQ(trace.newest(), 1);
}

TEST(SampleMetric, ConvertsFractionsWithTheDataSetScales) {
    PlatformCalibration cal;
    cal.scaleX = 175.0f;
    cal.scaleY = 276.0f;
    const CopSample a{0.5f, -0.25f, 1072}, b{0.1f, 0.25f, 72};
    EXPECT_FLOAT_EQ(sampleMetric(MetricCopX, a, b, cal), 87.5f);
    EXPECT_FLOAT_EQ(sampleMetric(MetricCopY, a, b, cal), -69.0f);
    EXPECT_FLOAT_EQ(sampleMetric(MetricDx, a, b, cal), 0.5f * 175.0f - 0.1f * 175.0f);
    EXPECT_FLOAT_EQ(sampleMetric(MetricDy, a, b, cal), -138.0f);
    const float dx = 0.5f * 175.0f - 0.1f * 175.0f;
    EXPECT_FLOAT_EQ(sampleMetric(MetricDistance, a, b, cal), std::sqrt(dx * dx + 138.0f * 138.0f));
    EXPECT_EQ(sampleMetric(MetricHeartRate, a, b, cal), 72.0f);  // beat sample
    EXPECT_EQ(sampleMetric(MetricHeartRate, b, a, cal), 72.0f);  // ordinary sample
    EXPECT_EQ(sampleMetric(MetricHeartRate, CopSample{0, 0, -1072}, a, cal), -72.0f);
    EXPECT_EQ(sampleMetric(9, a, b, cal), 0.0f);
    EXPECT_EQ(sampleMetric(-1, a, b, cal), 0.0f);
}

TEST(SampleMetric, ReadsDeviationsAndTracksThroughTheStore) {
    auto store = makeStore();
    store->calibration.scaleX = 100.0f;
    const int32_t flat = 2 * MaxSamples + 7;
    store->deviation(2)[7] = 12.0f;
    store->samples(2)[7].x = 0.05f;  // 5 mm
    store->attemptCount = 3;
    store->track(3)[9] = -4.5f;
    const CopSample none{};
    EXPECT_EQ(sampleMetric(MetricDeviation, none, none, store->calibration, flat, store.get()), 12.0f);
    EXPECT_FLOAT_EQ(sampleMetric(MetricDeviationFromX, none, none, store->calibration, flat, store.get()), 7.0f);
    EXPECT_EQ(sampleMetric(MetricTrack, none, none, store->calibration, 9, store.get()), -4.5f);
    // Outside the arrays, or without a store, there is nothing to read.
    EXPECT_EQ(sampleMetric(MetricDeviation, none, none, store->calibration, -1, store.get()), 0.0f);
    EXPECT_EQ(sampleMetric(MetricDeviation, none, none, store->calibration, MaxAttempts * MaxSamples, store.get()), 0.0f);
    EXPECT_EQ(sampleMetric(MetricTrack, none, none, store->calibration, MaxSamples, store.get()), 0.0f);
    store->attemptCount = MaxAttempts;
    EXPECT_EQ(sampleMetric(MetricTrack, none, none, store->calibration, 9, store.get()), 0.0f);
    EXPECT_EQ(sampleMetric(MetricDeviation, none, none, store->calibration, flat), 0.0f);
}

TEST(ReservedArray, ClearingReturnsZerosAcrossPartialPages) {
    ReservedArray<float> a(100000);
    for (std::size_t i = 0; i < a.size(); ++i) a[i] = 1.0f;
    a.clear(3, 50000);
    EXPECT_EQ(a[2], 1.0f);
    for (std::size_t i = 3; i < 50003; ++i) ASSERT_EQ(a[i], 0.0f) << i;
    EXPECT_EQ(a[50003], 1.0f);
    a.clear(99990, 1000);  // clipped at the end
    EXPECT_EQ(a[99999], 0.0f);
    EXPECT_EQ(a[99989], 1.0f);
}

}  // namespace
}  // namespace kenvo
