#pragma once

#include <atomic>
#include <cstdint>

#include "model/cop_sample.h"

namespace kenvo {

// What the sample dispatcher does with frames.
enum AcquisitionMode : int32_t {
    AcquisitionIdle = 0,
    AcquisitionStance = 1,
    AcquisitionSensorSums = 4,
    AcquisitionTargetHitting = 5,
    AcquisitionDriving = 6,
};

// The four raw sums of one block of 20 frames, written by the reader thread and shown by the
// sensor check on the user-interface thread.
struct SensorSums {
    std::atomic<int32_t> sum[4] = {0, 0, 0, 0};
};

// How a client (a test, a sensor check) tells the dispatcher what to do with frames. The
// client owns it; arming hands it to the dispatcher. Both threads touch every field, so each is
// an atomic word. The user-interface thread sets the destination and counters before it sets
// `recording`, and `stopped` before it stops the link; the dispatcher reads each field once
// per frame, so a change takes effect at the next frame.
struct AcquisitionControl {
    std::atomic<int32_t> stopped{0};
    std::atomic<int32_t> sampleCount{0};
    std::atomic<int32_t> mode{AcquisitionIdle};
    std::atomic<int32_t> length{0};
    std::atomic<SensorSums*> sumsOut{nullptr};
    std::atomic<CopSample*> dest{nullptr};
    std::atomic<int32_t> zeroOffset[4] = {0, 0, 0, 0};
    std::atomic<int32_t> zeroAverage[4] = {0, 0, 0, 0};
    std::atomic<int32_t> zeroing{0};
    std::atomic<int32_t> zeroFrames{0};
    std::atomic<int32_t> recording{0};
    std::atomic<int32_t> liveCount{0};
    // Driving: marker in display pixels, track centre and last COP in millimetres.
    std::atomic<int32_t> markerX{0};
    std::atomic<int32_t> markerY{0};
    std::atomic<float> centreX{0.0f};
    std::atomic<float> centreY{0.0f};
    std::atomic<float> copXmm{0.0f};
    std::atomic<float> copYmm{0.0f};

    void setZeroOffsets(const int32_t offsets[4]) noexcept {
        for (int k = 0; k < 4; ++k) zeroOffset[k].store(offsets[k], std::memory_order_relaxed);
    }
};

}  // namespace kenvo
