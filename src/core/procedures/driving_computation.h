#pragma once

#include <atomic>
#include <cstdint>

#include "graphs/display_state.h"
#include "model/platform_calibration.h"
#include "platform/dispatcher.h"

namespace kenvo {

// The driving test's per-frame work on the reader thread: the COP in millimetres relative to
// the track centre, clamped to the track's range, the marker in square pixels and, while
// recording, the sample and its signed distance from the track row under the marker.
// prepare() copies the track's range and scale (the reader may already be running);
// setAttempt() runs before recording is switched on. Every field the user-interface thread
// writes is an atomic; nothing here allocates or blocks.
class DrivingComputation final : public DrivingHook {
public:
    explicit DrivingComputation(const DrivingDisplay& display) : display_(display) {}

    void prepare(const PlatformCalibration& calibration, int32_t direction,
                 const DrivingDisplay& range) noexcept;
    void setAttempt(const float* track, float* deviation) noexcept;

    void onDrivingFrame(AcquisitionControl& control, CopFraction cop) noexcept override;

private:
    const DrivingDisplay& display_;
    std::atomic<float> scaleX_{0.0f};
    std::atomic<float> scaleY_{0.0f};
    std::atomic<int32_t> direction_{0};
    std::atomic<int32_t> trackMin_{0};
    std::atomic<int32_t> trackMax_{0};
    std::atomic<double> trackScale_{0.0};
    std::atomic<int32_t> squareHeight_{0};
    std::atomic<const float*> track_{nullptr};
    std::atomic<float*> deviation_{nullptr};
};

}  // namespace kenvo
