#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>

#include "model/live_trace.h"
#include "platform/acquisition_control.h"
#include "platform/cop_calculator.h"
#include "platform/frame_decoder.h"

namespace kenvo {

// Receives the bytes the reader thread reads from the platform.
class ByteSink {
public:
    virtual ~ByteSink() = default;
    virtual void consume(const uint8_t* bytes, std::size_t count) noexcept = 0;
};

// The modem control line the dispatcher pulses while recording.
class ModemLine {
public:
    virtual ~ModemLine() = default;
    virtual void setLine(bool on) noexcept = 0;
};

// The driving test's per-frame computation (marker, deviation, storage), run on the reader
// thread for frames of AcquisitionDriving after the COP has been computed. The driving test
// installs it; without one, driving frames only update the COP.
class DrivingHook {
public:
    virtual ~DrivingHook() = default;
    virtual void onDrivingFrame(AcquisitionControl& control, CopFraction cop) noexcept = 0;
};

// Decodes the byte stream and hands every frame to the current AcquisitionControl: zeroing,
// sensor sums, stance and target recording with the live trace, or the driving hook. Runs on
// the reader thread; reset() is called by arming on the user-interface thread while no reader
// runs. Nothing here allocates or blocks.
class Dispatcher final : public ByteSink {
public:
    static constexpr int32_t InitialHeartRate = 40;
    static constexpr int32_t OverloadLimit = 4000;

    explicit Dispatcher(LiveTrace& trace) : trace_(trace) {}

    // The arming reset: selects `control`, clears its count, stop and zeroing, and restarts the
    // heart rate, the sums and the modem-line counter. The COP dead band is kept.
    void reset(AcquisitionControl& control, int32_t orientation) noexcept;

    void setModemLine(ModemLine* line) noexcept { line_ = line; }
    void setDrivingHook(DrivingHook* hook) noexcept { driving_.store(hook, std::memory_order_release); }
    void setFourSensor(bool fourSensor) noexcept {
        fourSensor_.store(fourSensor ? 1 : 0, std::memory_order_relaxed);
    }

    void decodeByte(uint8_t byte) noexcept {
        RawFrame frame;
        if (decoder_.push(byte, frame)) dispatch(frame);
    }
    void consume(const uint8_t* bytes, std::size_t count) noexcept override {
        for (std::size_t i = 0; i < count; ++i) decodeByte(bytes[i]);
    }
    void dispatch(const RawFrame& frame) noexcept;

    int32_t overload() const noexcept { return overload_.load(std::memory_order_relaxed); }
    int32_t fourSensor() const noexcept { return fourSensor_.load(std::memory_order_relaxed); }
    int32_t heartRate() const noexcept { return heartRate_.load(std::memory_order_relaxed); }
    int32_t lineCounter() const noexcept { return lineCounter_; }
    // Frames decoded since the program started, whatever the mode.
    uint64_t framesDecoded() const noexcept { return frames_.load(std::memory_order_relaxed); }
    const FrameDecoder& decoder() const noexcept { return decoder_; }
    AcquisitionControl* control() const noexcept { return control_.load(std::memory_order_acquire); }

private:
    void modemLine() noexcept;
    void zero(AcquisitionControl& c, const int32_t raw[4]) noexcept;
    void sensorSums(AcquisitionControl& c, const int32_t raw[4]) noexcept;
    void stance(AcquisitionControl& c, CopFraction cop, int32_t status) noexcept;
    void target(AcquisitionControl& c, CopFraction cop) noexcept;
    void showLive(AcquisitionControl& c, const CopSample& sample) noexcept;
    void record(AcquisitionControl& c, CopSample* dest, int32_t count, const CopSample& sample) noexcept;
    int16_t pulseWord(int32_t status) noexcept;

    LiveTrace& trace_;
    FrameDecoder decoder_;
    CopCalculator cop_;
    std::atomic<AcquisitionControl*> control_{nullptr};
    ModemLine* line_ = nullptr;
    std::atomic<DrivingHook*> driving_{nullptr};
    std::atomic<int32_t> fourSensor_{1};
    std::atomic<int32_t> orientation_{0};
    std::atomic<int32_t> overload_{0};
    std::atomic<int32_t> heartRate_{InitialHeartRate};
    std::atomic<uint64_t> frames_{0};
    int32_t beatFrames_ = 0;
    int32_t lineCounter_ = 100;
    int32_t sums_[4] = {0, 0, 0, 0};
};

}  // namespace kenvo
