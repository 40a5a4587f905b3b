#include "platform/sensor_check_session.h"

#include "platform/platform_link.h"

namespace kenvo {

SensorCheckSession::SensorCheckSession(PlatformLink& link, PlatformCalibration& calibration,
                                       bool fourSensor)
    : link_(link), calibration_(calibration), fourSensor_(fourSensor) {
    for (int k = 0; k < 4; ++k) offsets_[k] = calibration.zeroOffset[k];
}

SensorCheckSession::~SensorCheckSession() { close(); }

bool SensorCheckSession::open() {
    control_.mode.store(AcquisitionSensorSums, std::memory_order_relaxed);
    control_.sumsOut.store(&sums_, std::memory_order_relaxed);
    control_.setZeroOffsets(offsets_);
    control_.zeroing.store(0, std::memory_order_relaxed);
    control_.zeroFrames.store(0, std::memory_order_relaxed);
    for (auto& a : control_.zeroAverage) a.store(0, std::memory_order_relaxed);
    for (auto& s : sums_.sum) s.store(0, std::memory_order_relaxed);
    armed_ = link_.arm(control_);
    return armed_;
}

SensorCheckSession::Refresh SensorCheckSession::refresh() {
    if (!armed_) return Refresh::Idle;
    // Checked first: a zeroing would otherwise wait for frames that never come.
    if (link_.deviceLost()) return Refresh::Lost;
    if (zeroing()) {
        if (control_.zeroFrames.load(std::memory_order_acquire) < ZeroEndFrames) return Refresh::Zeroing;
        control_.zeroing.store(0, std::memory_order_release);
        return Refresh::ZeroEnded;
    }
    int32_t block[4];
    for (int k = 0; k < 4; ++k) block[k] = sums_.sum[k].load(std::memory_order_relaxed);
    reading_ = sensorReading(block, offsets_, calibration_.scaleX, calibration_.scaleY, fourSensor_);
    return Refresh::Reading;
}

void SensorCheckSession::zero() {
    if (!armed_) return;
    for (auto& a : control_.zeroAverage) a.store(0, std::memory_order_relaxed);
    control_.zeroFrames.store(0, std::memory_order_relaxed);
    control_.zeroing.store(1, std::memory_order_release);
}

void SensorCheckSession::zeroEnd() {
    for (int k = 0; k < 4; ++k) {
        offsets_[k] = control_.zeroAverage[k].load(std::memory_order_acquire);
        control_.zeroAverage[k].store(0, std::memory_order_relaxed);
    }
    control_.setZeroOffsets(offsets_);
}

void SensorCheckSession::accept() {
    close();
    for (int k = 0; k < 4; ++k) calibration_.zeroOffset[k] = offsets_[k];
}

void SensorCheckSession::cancel() { close(); }

void SensorCheckSession::close() {
    if (!armed_) return;
    control_.stopped.store(1, std::memory_order_release);
    link_.stopLink();
    armed_ = false;
}

}  // namespace kenvo
