#include "platform/dispatcher.h"

#include "model/fixed_point.h"
#include "model/limits.h"

namespace kenvo {

namespace {
constexpr auto relaxed = std::memory_order_relaxed;
constexpr int32_t ZeroingFrames = 20;
constexpr int32_t SumBlockFrames = 20;
constexpr int32_t MinBeatFrames = 24;  // a beat within 25 frames of the last one is ignored
constexpr int32_t FramesPerMinute = 6000;
constexpr int32_t BeatMarker = 1000;

// Samples, live or recorded, carry the coordinates a data file keeps, so the trace on screen,
// the store and a saved and reopened data set all hold the same numbers.
CopSample sampleOf(CopFraction cop, int16_t pulse) noexcept {
    return CopSample{onFixedPointGrid(cop.x), onFixedPointGrid(cop.y), pulse};
}
}  // namespace

void Dispatcher::reset(AcquisitionControl& control, int32_t orientation) noexcept {
    control.sampleCount.store(0, relaxed);
    for (int32_t& s : sums_) s = 0;
    heartRate_.store(InitialHeartRate, relaxed);
    beatFrames_ = 0;
    control.stopped.store(0, relaxed);
    control.zeroing.store(0, relaxed);
    lineCounter_ = 100;
    orientation_.store(orientation, relaxed);
    control_.store(&control, std::memory_order_release);
}

void Dispatcher::modemLine() noexcept {
    // Raised at the first recorded frame after arming, lowered at the 101st; later recordings
    // of the same arming leave it low.
    if (lineCounter_ == 100 && line_) line_->setLine(true);
    if (lineCounter_ == 0) {
        if (line_) line_->setLine(false);
        lineCounter_ = -1;
    }
    if (lineCounter_ > 0) --lineCounter_;
}

void Dispatcher::dispatch(const RawFrame& frame) noexcept {
    frames_.store(frames_.load(relaxed) + 1, relaxed);
    AcquisitionControl* cp = control_.load(std::memory_order_acquire);
    if (!cp) return;
    AcquisitionControl& c = *cp;

    if (c.recording.load(std::memory_order_acquire) != 0) modemLine();

    if (c.sampleCount.load(relaxed) >= MaxSamples) c.stopped.store(1, relaxed);
    if (c.stopped.load(std::memory_order_acquire) != 0) return;

    const int32_t* raw = frame.s;
    overload_.store((raw[0] > OverloadLimit || raw[1] > OverloadLimit || raw[2] > OverloadLimit ||
                     raw[3] > OverloadLimit)
                        ? 1
                        : 0,
                    relaxed);

    int32_t s[4];
    for (int k = 0; k < 4; ++k) s[k] = raw[k] - c.zeroOffset[k].load(relaxed);

    if (c.zeroing.load(std::memory_order_acquire) != 0) {
        zero(c, raw);
        return;
    }

    switch (c.mode.load(relaxed)) {
        case AcquisitionSensorSums:
            sensorSums(c, raw);
            break;
        case AcquisitionStance:
            stance(c,
                   cop_.compute(s[0], s[1], s[2], s[3], fourSensor() != 0,
                                orientation_.load(relaxed)),
                   frame.status);
            break;
        case AcquisitionTargetHitting:
            target(c, cop_.compute(s[0], s[1], s[2], s[3], fourSensor() != 0,
                                   orientation_.load(relaxed)));
            break;
        case AcquisitionDriving: {
            const CopFraction cop = cop_.compute(s[0], s[1], s[2], s[3], fourSensor() != 0,
                                                 orientation_.load(relaxed));
            if (DrivingHook* hook = driving_.load(std::memory_order_acquire))
                hook->onDrivingFrame(c, cop);
            break;
        }
        default:
            break;
    }
}

void Dispatcher::zero(AcquisitionControl& c, const int32_t raw[4]) noexcept {
    const int32_t seen = c.zeroFrames.load(relaxed);
    if (seen < ZeroingFrames) {
        for (int k = 0; k < 4; ++k)
            c.zeroAverage[k].store(c.zeroAverage[k].load(relaxed) + raw[k], relaxed);
        if (seen == ZeroingFrames - 1)
            for (auto& average : c.zeroAverage) average.store(average.load(relaxed) / ZeroingFrames, relaxed);
    }
    c.zeroFrames.store(seen + 1, std::memory_order_release);
}

void Dispatcher::sensorSums(AcquisitionControl& c, const int32_t raw[4]) noexcept {
    for (int k = 0; k < 4; ++k) sums_[k] += raw[k];
    const int32_t count = c.sampleCount.load(relaxed) + 1;
    if (count < SumBlockFrames) {
        c.sampleCount.store(count, relaxed);
        return;
    }
    if (SensorSums* out = c.sumsOut.load(relaxed))
        for (int k = 0; k < 4; ++k) out->sum[k].store(sums_[k], relaxed);
    for (int32_t& sum : sums_) sum = 0;
    c.sampleCount.store(0, std::memory_order_release);
}

int16_t Dispatcher::pulseWord(int32_t status) noexcept {
    ++beatFrames_;
    int32_t rate = heartRate_.load(relaxed);
    if ((status & 0x08) != 0 && beatFrames_ > MinBeatFrames) {
        rate = FramesPerMinute / beatFrames_;
        heartRate_.store(rate, relaxed);
        beatFrames_ = 0;
        return static_cast<int16_t>(rate + BeatMarker);
    }
    return static_cast<int16_t>(rate);
}

void Dispatcher::showLive(AcquisitionControl& c, const CopSample& sample) noexcept {
    c.liveCount.store(c.liveCount.load(relaxed) + 1, relaxed);
    trace_.pushLive(sample);
}

void Dispatcher::record(AcquisitionControl& c, CopSample* dest, int32_t count, const CopSample& sample) noexcept {
    storeRelaxed(dest[count], sample);
    trace_.pushRecorded(sample);
    c.sampleCount.store(count + 1, std::memory_order_release);
}

void Dispatcher::stance(AcquisitionControl& c, CopFraction cop, int32_t status) noexcept {
    const CopSample sample = sampleOf(cop, pulseWord(status));
    if (c.recording.load(std::memory_order_acquire) == 0) return showLive(c, sample);
    const int32_t count = c.sampleCount.load(relaxed);
    CopSample* dest = c.dest.load(relaxed);
    if (count >= c.length.load(relaxed) || !dest) {
        c.recording.store(0, std::memory_order_release);
        c.liveCount.store(0, relaxed);
        return;
    }
    record(c, dest, count, sample);
}

void Dispatcher::target(AcquisitionControl& c, CopFraction cop) noexcept {
    const CopSample sample = sampleOf(cop, 0);
    if (c.recording.load(std::memory_order_acquire) == 0) return showLive(c, sample);
    const int32_t count = c.sampleCount.load(relaxed);
    CopSample* dest = c.dest.load(relaxed);
    // At most 30999 target samples: the target test ends an attempt there.
    if (count > MaxSamples - 2 || !dest) return;
    record(c, dest, count, sample);
}

}  // namespace kenvo
