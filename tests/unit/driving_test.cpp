#include <gtest/gtest.h>

#include <cmath>
#include <memory>

#include "graphs/display_state.h"
#include "graphs/driving_display.h"
#include "procedures/clock_seed.h"
#include "procedures/driving_computation.h"
#include "model/fixed_point.h"
#include "model/limits.h"
#include "model/measurement_store.h"
#include "procedures/track_generator.h"
#include "platform/acquisition_control.h"

namespace kenvo {
namespace {

TEST(TrackGenerator, WorkingCopyNarrowsTheCorridorToTwoThirds) {
    TrackParameters edited;
    edited.a = 100;
    edited.b = 11;
    const TrackParameters w = workingTrackParameters(edited);
    EXPECT_EQ(w.a, 66);
    EXPECT_EQ(w.b, 7);
    EXPECT_EQ(w.alfa, edited.alfa);
    EXPECT_EQ(w.klzak, edited.klzak);
}

// Smoothing with klzak 10 is a forward average of 20 raw values up to row 30969; from 30970 on
// the rows stay raw. Without random turns (otocka 0) the walk is deterministic, so a second
// generation with smoothing off (klzak 0) gives the raw values to compare with.
TEST(TrackGenerator, SmoothingAveragesTwentyValuesAndLeavesTheTailRaw) {
    auto smoothed = std::make_unique<MeasurementStore>();
    auto raw = std::make_unique<MeasurementStore>();
    TrackParameters p = workingTrackParameters(TrackParameters{});
    p.otocka = 0;
    generateTracks(*smoothed, p, 5);
    p.klzak = 0;
    generateTracks(*raw, p, 5);

    for (int32_t slot : {0, 7, 49}) {
        const float* s = smoothed->track(slot);
        const float* r = raw->track(slot);
        // The first row of a slot averages raw rows 0..19 (the walk itself is continuous).
        float sum = 0.0f;
        for (int32_t j = 0; j < 20; ++j) sum += r[j];
        EXPECT_FLOAT_EQ(s[0], sum / 20.0f) << "slot " << slot;
        EXPECT_NE(s[30969], r[30969]) << "slot " << slot;
        for (int32_t k = 30970; k < MaxSamples; ++k) ASSERT_EQ(s[k], r[k]) << "slot " << slot << " row " << k;
    }
    // The walk stays within the corridor: output = a/2 - X with 0 <= X <= a, one step of slack.
    for (int32_t k = 0; k < MaxSamples; ++k) ASSERT_LE(std::abs(raw->track(3)[k]), 33.0f + 1.5f);
}

TEST(TrackGenerator, EveryGenerationDiffersAndSlotsFromFiftyStayEmpty) {
    auto first = std::make_unique<MeasurementStore>();
    auto second = std::make_unique<MeasurementStore>();
    const TrackParameters p = workingTrackParameters(TrackParameters{});
    const uint32_t seedA = clockSeed();
    const uint32_t seedB = clockSeed();
    ASSERT_NE(seedA, seedB);  // two seeds within the same second
    generateTracks(*first, p, seedA);
    generateTracks(*second, p, seedB);
    int32_t differing = 0;
    for (int32_t k = 0; k < MaxSamples; ++k) differing += first->track(0)[k] != second->track(0)[k];
    EXPECT_GT(differing, MaxSamples / 2);
    for (int32_t slot : {50, 51, 500})
        for (int32_t k = 0; k < MaxSamples; k += 97) ASSERT_EQ(first->track(slot)[k], 0.0f);
}

struct DrivingRig {
    DrivingDisplay display;
    DrivingComputation computation{display};
    AcquisitionControl control;
    std::unique_ptr<MeasurementStore> store = std::make_unique<MeasurementStore>();
    PlatformCalibration calibration{175.0f, 276.0f, {1, 1, 1, 1}};

    // Model 0: track -57..57 mm over a 114-pixel square (one pixel per mm).
    explicit DrivingRig(int32_t direction) {
        display.trackMin = -57;
        display.trackMax = 57;
        display.squareHeight = 114;
        display.trackScale = 1.0;
        computation.prepare(calibration, direction, display);
        float* track = store->track(0);
        for (int32_t k = 0; k < MaxSamples; ++k) track[k] = static_cast<float>(k % 10);
        computation.setAttempt(track, store->deviation(0));
        control.dest.store(store->samples(0));
    }
    void frameAtMm(float xMm, float yMm) {
        computation.onDrivingFrame(control, CopFraction{xMm / 175.0f, yMm / 276.0f});
    }
};

TEST(DrivingComputation, ClampsToTheTrackRangeAndPlacesTheMarker) {
    DrivingRig rig(DrivingUpDown);
    rig.frameAtMm(100.0f, -100.0f);  // 100 mm right, 100 mm rear
    EXPECT_EQ(rig.control.markerX.load(), 114);  // clamped to 57 mm: the right edge
    EXPECT_EQ(rig.control.markerY.load(), 114);  // clamped to -57 mm: the bottom edge
    EXPECT_NEAR(rig.control.copXmm.load(), 100.0f, 1e-3f);
    EXPECT_EQ(rig.control.sampleCount.load(), 0);  // not recording: nothing stored

    rig.control.centreX.store(10.0f);
    rig.frameAtMm(10.0f, 0.0f);
    EXPECT_EQ(rig.control.markerX.load(), 57);
    EXPECT_EQ(rig.control.markerY.load(), 57);
}

// The deviation reads the track row under the marker, which depends on the direction; the
// track's row k holds k % 10, so the row read can be told from the deviation.
TEST(DrivingComputation, DeviationReadsTheRowUnderTheMarkerForEachDirection) {
    struct Case {
        int32_t direction;
        float xMm, yMm;
        float expected;
    };
    // Rows 1000..1114 visible; the COP at (+3.5, +20.5) mm gives markerX 60, markerY 37.
    const Case cases[] = {
        {DrivingUpDown, 3.5f, 20.5f, 3.5f - static_cast<float>((1114 - 37) % 10)},
        {DrivingDownUp, 3.5f, 20.5f, 3.5f - static_cast<float>((1000 + 37) % 10)},
        {DrivingLeftRight, 3.5f, 20.5f, 20.5f - static_cast<float>((1114 - 60) % 10)},
        {DrivingRightLeft, 3.5f, 20.5f, 20.5f - static_cast<float>((1000 + 60) % 10)},
    };
    for (const Case& c : cases) {
        DrivingRig rig(c.direction);
        rig.display.firstRow.store(1000);
        rig.display.lastRow.store(1114);
        rig.control.recording.store(1);
        rig.frameAtMm(c.xMm, c.yMm);
        EXPECT_EQ(rig.control.sampleCount.load(), 1) << "direction " << c.direction;
        EXPECT_NEAR(rig.store->deviation(0)[0], c.expected, 1e-4f) << "direction " << c.direction;
        EXPECT_NEAR(rig.store->samples(0)[0].x * 175.0f, c.xMm, 1e-3f);
    }
}

// The sample and its deviation are stored as a saved and reopened file gives them back.
TEST(DrivingComputation, SamplesAndDeviationsAreWhatASavedFileGivesBack) {
    auto onGrid = [](float v) { return fromFixedPoint(toFixedPoint(v)) == v; };
    DrivingRig rig(DrivingLeftRight);
    rig.display.firstRow.store(1000);
    rig.display.lastRow.store(1114);
    for (int32_t k = 0; k < MaxSamples; ++k)
        rig.store->track(0)[k] = 0.1f * static_cast<float>(k % 37) / 3.0f;
    rig.control.recording.store(1);
    for (int i = 0; i < 200; ++i) {
        rig.frameAtMm(3.0f + std::sin(0.1f * static_cast<float>(i)) * 7.3f,
                      -5.0f + 0.0137f * static_cast<float>(i));
        const CopSample s = rig.store->samples(0)[i];
        ASSERT_TRUE(onGrid(s.x) && onGrid(s.y)) << "sample " << i;
        ASSERT_TRUE(onGrid(rig.store->deviation(0)[i])) << "deviation " << i;
    }
    EXPECT_EQ(rig.control.sampleCount.load(), 200);
}

// Past the end of the track the deviation keeps reading the attempt's last row; the count stops
// at 30999 and the last slot is overwritten; a length stops the recording.
TEST(DrivingComputation, LastRowBeyondTheTrackTheCapAndTheLength) {
    DrivingRig rig(DrivingUpDown);
    rig.store->track(1)[0] = 99.0f;  // the next slot's first row must never be read
    rig.display.firstRow.store(40000);
    rig.display.lastRow.store(40114);
    rig.control.recording.store(1);
    rig.control.sampleCount.store(MaxSamples - 2);
    rig.frameAtMm(5.0f, 0.0f);
    rig.frameAtMm(6.0f, 0.0f);
    EXPECT_EQ(rig.control.sampleCount.load(), MaxSamples - 1);
    rig.frameAtMm(7.0f, 0.0f);
    EXPECT_EQ(rig.control.sampleCount.load(), MaxSamples - 1);
    EXPECT_NEAR(rig.store->samples(0)[MaxSamples - 1].x * 175.0f, 7.0f, 1e-3f);
    EXPECT_NEAR(rig.store->deviation(0)[MaxSamples - 1], 7.0f - static_cast<float>((MaxSamples - 1) % 10), 1e-4f);
    EXPECT_EQ(rig.control.stopped.load(), 0);

    DrivingRig timed(DrivingUpDown);
    timed.control.recording.store(1);
    timed.control.length.store(3);
    for (int i = 0; i < 3; ++i) timed.frameAtMm(0.0f, 0.0f);
    EXPECT_EQ(timed.control.stopped.load(), 1);
}

}  // namespace
}  // namespace kenvo
