#pragma once

#include <cstdint>

namespace kenvo {

// Millimetres per unit of COP fraction and the raw zero offsets of the four load cells
// (front left, front right, rear left, rear right). The scales come from device discovery,
// the offsets from the sensor check's zeroing.
struct PlatformCalibration {
    float scaleX = 0.0f;
    float scaleY = 0.0f;
    int32_t zeroOffset[4] = {1, 1, 1, 1};

    friend bool operator==(const PlatformCalibration&, const PlatformCalibration&) = default;
};
static_assert(sizeof(PlatformCalibration) == 24);

}  // namespace kenvo
