#pragma once

#include <cstdint>
#include <optional>

#include "model/platform_calibration.h"
#include "platform/acquisition_control.h"
#include "platform/sensor_check.h"

namespace kenvo {

class PlatformLink;

// One opening of the sensor check: its own acquisition of 20-frame sensor sums, a working
// copy of the zero offsets, and zeroing over 20 frames of the unloaded platform. OK stores the
// working offsets in the calibration, Cancel leaves it as it was; both stop the link.
class SensorCheckSession {
public:
    static constexpr int32_t RefreshMs = 100;
    // Zeroing ends on the first refresh after the dispatcher has seen this many frames.
    static constexpr int32_t ZeroEndFrames = 40;

    enum class Refresh {
        Reading,    // reading() holds a new block
        Zeroing,    // zeroing runs; the display stays as it is
        ZeroEnded,  // zeroing has just ended; the dialog runs ZeroEnd
        Idle,       // not armed
        Lost,       // the platform went away; the dialog reports it and ends as Cancel does
    };

    SensorCheckSession(PlatformLink& link, PlatformCalibration& calibration, bool fourSensor);
    ~SensorCheckSession();
    SensorCheckSession(const SensorCheckSession&) = delete;
    SensorCheckSession& operator=(const SensorCheckSession&) = delete;

    // Arms the link in the sensor-sum mode; false when the platform cannot be reached.
    bool open();
    // The 100 ms timer.
    Refresh refresh();
    const SensorReading& reading() const { return reading_; }

    // "Zero": the next 20 frames are averaged per sensor.
    void zero();
    bool zeroing() const { return control_.zeroing.load(std::memory_order_acquire) != 0; }
    // "ZeroEnd": the averages become the working offsets and are used at once.
    void zeroEnd();

    void accept();  // OK
    void cancel();  // Cancel

    const int32_t* workingOffsets() const { return offsets_; }
    bool fourSensor() const { return fourSensor_; }

private:
    void close();

    PlatformLink& link_;
    PlatformCalibration& calibration_;
    bool fourSensor_;
    bool armed_ = false;
    int32_t offsets_[4];
    AcquisitionControl control_;
    SensorSums sums_;
    SensorReading reading_;
};

}  // namespace kenvo
