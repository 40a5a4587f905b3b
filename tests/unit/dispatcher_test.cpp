#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "model/fixed_point.h"
#include "model/limits.h"
#include "platform/dispatcher.h"
#include "platform/wire_frame.h"

namespace kenvo {
namespace {

class RecordingLine final : public ModemLine {
public:
    void setLine(bool on) noexcept override { calls.push_back({frame, on}); }
    struct Call {
        int frame;
        bool on;
    };
    std::vector<Call> calls;
    int frame = 0;
};

class DispatcherTest : public ::testing::Test {
protected:
    DispatcherTest() : trace(std::make_unique<LiveTrace>()), dispatcher(*trace), samples(MaxSamples) {
        trace->reset(100);
        dispatcher.setModemLine(&line);
        for (int k = 0; k < 4; ++k) control.zeroOffset[k] = 0;
    }

    void arm(int32_t mode) {
        control.mode = mode;
        dispatcher.reset(control, 0);
    }
    void send(const RawFrame& frame) {
        const auto bytes = encodeFrame(frame);
        dispatcher.consume(bytes.data(), bytes.size());
        ++line.frame;
    }
    void send(int32_t s1, int32_t s2, int32_t s3, int32_t s4, int32_t status = 0) {
        send(RawFrame{{s1, s2, s3, s4}, status});
    }
    void startRecording(int32_t length) {
        control.dest = samples.data();
        control.sampleCount = 0;
        control.length = length;
        control.recording = 1;
    }

    std::unique_ptr<LiveTrace> trace;
    Dispatcher dispatcher;
    AcquisitionControl control;
    RecordingLine line;
    std::vector<CopSample> samples;
};

TEST_F(DispatcherTest, HeartRateAndPulseWord) {
    arm(AcquisitionStance);
    startRecording(1000);
    send(1000, 1000, 1000, 1000, StatusHeartBeat);  // beat after 1 frame: too soon, ignored
    EXPECT_EQ(samples[0].pulse, 40);
    for (int i = 0; i < 9; ++i) send(1000, 1000, 1000, 1000);
    send(1000, 1000, 1000, 1000, StatusHeartBeat);  // 11 frames: still ignored
    EXPECT_EQ(samples[10].pulse, 40);
    for (int i = 0; i < 48; ++i) send(1000, 1000, 1000, 1000);
    send(1000, 1000, 1000, 1000, StatusHeartBeat);  // 60th frame since arming
    EXPECT_EQ(samples[59].pulse, 1100);
    EXPECT_EQ(dispatcher.heartRate(), 100);
    send(1000, 1000, 1000, 1000);
    EXPECT_EQ(samples[60].pulse, 100);
    // Within 25 frames the flag is ignored; the 25th frame after a beat is accepted.
    for (int i = 0; i < 23; ++i) send(1000, 1000, 1000, 1000);
    send(1000, 1000, 1000, 1000, StatusHeartBeat);  // 25 frames after the beat
    EXPECT_EQ(samples[84].pulse, 6000 / 25 + 1000);
}

TEST_F(DispatcherTest, OverloadIsFlaggedPerFrameOnRawValues) {
    arm(AcquisitionStance);
    for (int k = 0; k < 4; ++k) control.zeroOffset[k] = 500;  // the raw value counts
    send(1000, 4000, 1000, 1000);
    EXPECT_EQ(dispatcher.overload(), 0);
    send(1000, 1000, 1000, 4001);
    EXPECT_EQ(dispatcher.overload(), 1);
    send(1000, 1000, 1000, 1000);
    EXPECT_EQ(dispatcher.overload(), 0);
}

TEST_F(DispatcherTest, ZeroingAveragesTwentyRawFramesAndKeepsCounting) {
    arm(AcquisitionStance);
    for (int k = 0; k < 4; ++k) control.zeroOffset[k] = 7;  // averaged values are raw, not corrected
    control.zeroing = 1;
    control.zeroFrames = 0;
    const int32_t start = trace->newest();
    for (int i = 0; i < 25; ++i) send(2010, 1990, 2000, 2003);
    EXPECT_EQ(control.zeroAverage[0], 2010);
    EXPECT_EQ(control.zeroAverage[1], 1990);
    EXPECT_EQ(control.zeroAverage[2], 2000);
    EXPECT_EQ(control.zeroAverage[3], 2003);
    EXPECT_EQ(control.zeroFrames, 25);
    EXPECT_EQ(trace->newest(), start);  // zeroing frames go no further
}

TEST_F(DispatcherTest, ZeroingDividesTruncatingTowardZero) {
    arm(AcquisitionSensorSums);
    control.zeroing = 1;
    for (int i = 0; i < 19; ++i) send(0, 0, 0, 0);
    send(39, 19, 0, 0);
    EXPECT_EQ(control.zeroAverage[0], 1);  // 39 / 20
    EXPECT_EQ(control.zeroAverage[1], 0);
}

TEST_F(DispatcherTest, SensorSumsCoverBlocksOfTwentyRawFrames) {
    SensorSums sums;
    control.sumsOut = &sums;
    arm(AcquisitionSensorSums);
    for (int k = 0; k < 4; ++k) control.zeroOffset[k] = 100;
    for (int i = 0; i < 19; ++i) send(10, 20, 30, 40 + i);
    EXPECT_EQ(sums.sum[0], 0);
    EXPECT_EQ(control.sampleCount, 19);
    send(10, 20, 30, 40);
    EXPECT_EQ(sums.sum[0], 200);
    EXPECT_EQ(sums.sum[1], 400);
    EXPECT_EQ(sums.sum[2], 600);
    EXPECT_EQ(sums.sum[3], 40 * 20 + 171);
    EXPECT_EQ(control.sampleCount, 0);
}

TEST_F(DispatcherTest, StanceRecordingStoresExactlyItsLength) {
    arm(AcquisitionStance);
    for (int i = 0; i < 5; ++i) send(1000, 1000, 1000, 1000);
    EXPECT_EQ(control.liveCount, 5);
    EXPECT_EQ(trace->sequence(trace->newest()), -1);
    startRecording(1000);
    for (int i = 0; i < 1000; ++i) send(1000, 3000, 1000, 3000);
    EXPECT_EQ(control.sampleCount, 1000);
    EXPECT_EQ(control.recording, 1);
    EXPECT_FLOAT_EQ(samples[999].x, 0.5f);
    EXPECT_EQ(trace->sequence(trace->newest()), 1000);
    const int32_t newest = trace->newest();
    send(1000, 1000, 1000, 1000);  // the 1001st frame ends the recording and is not shown
    EXPECT_EQ(control.recording, 0);
    EXPECT_EQ(control.liveCount, 0);
    EXPECT_EQ(control.sampleCount, 1000);
    EXPECT_EQ(trace->newest(), newest);
    EXPECT_EQ(samples[1000], CopSample{});
    send(1000, 1000, 1000, 1000);  // live again
    EXPECT_EQ(control.liveCount, 1);
}

// Readings whose COP falls between the file's steps (most do) are recorded and shown as the
// value a saved and reopened file gives back, in both recording modes.
TEST_F(DispatcherTest, RecordedAndShownSamplesAreWhatASavedFileGivesBack) {
    auto onGrid = [](float v) { return fromFixedPoint(toFixedPoint(v)) == v; };
    for (int32_t mode : {AcquisitionStance, AcquisitionTargetHitting}) {
        arm(mode);
        send(1000, 1234, 1111, 987);
        EXPECT_TRUE(onGrid(trace->entry(trace->newest()).x)) << "live, mode " << mode;
        startRecording(300);
        int32_t offGrid = 0;
        for (int i = 0; i < 300; ++i) {
            const RawFrame raw{{1000 + 7 * i, 1234 - 3 * i, 1111 + (i * 37) % 101, 987 + i}, 0};
            offGrid += !onGrid(copFormula(raw.s[0], raw.s[1], raw.s[2], raw.s[3], true, 0).x);
            send(raw);
            ASSERT_TRUE(onGrid(samples[i].x) && onGrid(samples[i].y))
                << "mode " << mode << " sample " << i;
            ASSERT_EQ(trace->entry(trace->newest()), samples[i]);
        }
        EXPECT_GT(offGrid, 100) << "the frames must exercise values between the steps";
    }
}

TEST_F(DispatcherTest, ZeroOffsetsAreSubtractedBeforeTheCop) {
    arm(AcquisitionStance);
    const int32_t offsets[4] = {100, 200, 300, 400};
    control.setZeroOffsets(offsets);
    send(1100, 3200, 1300, 3400);  // corrected 1000, 3000, 1000, 3000
    const CopSample s = trace->entry(trace->newest());
    EXPECT_FLOAT_EQ(s.x, 0.5f);
    EXPECT_FLOAT_EQ(s.y, 0.0f);
}

TEST_F(DispatcherTest, ModemLineRaisedAtFirstAndLoweredAtHundredAndFirstRecordedFrame) {
    arm(AcquisitionStance);
    for (int i = 0; i < 10; ++i) send(1000, 1000, 1000, 1000);  // live frames leave the line alone
    EXPECT_TRUE(line.calls.empty());
    startRecording(3000);
    const int first = line.frame;
    for (int i = 0; i < 150; ++i) send(1000, 1000, 1000, 1000);
    ASSERT_EQ(line.calls.size(), 2u);
    EXPECT_TRUE(line.calls[0].on);
    EXPECT_EQ(line.calls[0].frame, first);
    EXPECT_FALSE(line.calls[1].on);
    EXPECT_EQ(line.calls[1].frame, first + 100);
    // A second recording of the same arming leaves the line low.
    control.recording = 0;
    send(1000, 1000, 1000, 1000);
    startRecording(3000);
    for (int i = 0; i < 150; ++i) send(1000, 1000, 1000, 1000);
    EXPECT_EQ(line.calls.size(), 2u);
    // A new arming starts over.
    arm(AcquisitionStance);
    startRecording(3000);
    send(1000, 1000, 1000, 1000);
    EXPECT_EQ(line.calls.size(), 3u);
}

TEST_F(DispatcherTest, StoppedIgnoresFramesAndTheSampleLimitStopsEveryMode) {
    arm(AcquisitionStance);
    control.stopped = 1;
    const int32_t newest = trace->newest();
    send(1000, 1000, 1000, 1000);
    EXPECT_EQ(trace->newest(), newest);
    EXPECT_EQ(control.liveCount, 0);

    arm(AcquisitionStance);  // arming clears stopped
    EXPECT_EQ(control.stopped, 0);
    control.sampleCount = MaxSamples;
    send(1000, 1000, 1000, 1000);
    EXPECT_EQ(control.stopped, 1);
}

TEST_F(DispatcherTest, TargetRecordingStopsStoringAtTheLastSafeSlot) {
    arm(AcquisitionTargetHitting);
    startRecording(0);  // the length is not used while hitting targets
    send(1000, 3000, 1000, 3000, StatusHeartBeat);
    EXPECT_EQ(samples[0].pulse, 0);
    EXPECT_FLOAT_EQ(samples[0].x, 0.5f);
    // At most 30999 samples: index 30998 is the last one stored.
    control.sampleCount = MaxSamples - 2;
    send(1000, 3000, 1000, 3000);
    EXPECT_EQ(control.sampleCount, MaxSamples - 1);
    EXPECT_FLOAT_EQ(samples[MaxSamples - 2].x, 0.5f);
    send(1000, 3000, 1000, 3000);
    EXPECT_EQ(control.sampleCount, MaxSamples - 1);
    EXPECT_EQ(samples[MaxSamples - 1], CopSample{});
}

TEST_F(DispatcherTest, DrivingFramesGoToTheHookWithTheirCop) {
    struct Hook final : DrivingHook {
        void onDrivingFrame(AcquisitionControl& c, CopFraction cop) noexcept override {
            ++calls;
            last = cop;
            seen = &c;
        }
        int calls = 0;
        CopFraction last;
        AcquisitionControl* seen = nullptr;
    } hook;
    arm(AcquisitionDriving);
    const int32_t newest = trace->newest();
    send(1000, 3000, 1000, 3000);  // no hook yet: nothing happens but the COP
    dispatcher.setDrivingHook(&hook);
    send(1000, 3000, 1000, 3000);
    EXPECT_EQ(hook.calls, 1);
    EXPECT_FLOAT_EQ(hook.last.x, 0.5f);
    EXPECT_EQ(hook.seen, &control);
    EXPECT_EQ(trace->newest(), newest);  // driving does not feed the live trace
}

TEST_F(DispatcherTest, UnknownModesIgnoreFrames) {
    arm(2);
    const int32_t newest = trace->newest();
    send(1000, 1000, 1000, 1000);
    EXPECT_EQ(trace->newest(), newest);
    EXPECT_EQ(dispatcher.framesDecoded(), 1u);
}

}  // namespace
}  // namespace kenvo
