#pragma once

#include <array>
#include <cstdint>

#include "model/limits.h"

namespace kenvo {

// One decoded platform frame: four raw 12-bit load-cell readings (front left, front right,
// rear left, rear right) and the status nibble (bit 3: a heart beat was detected).
struct RawFrame {
    int32_t s[4] = {0, 0, 0, 0};
    int32_t status = 0;

    friend bool operator==(const RawFrame&, const RawFrame&) = default;
};

inline constexpr int FrameBytes = 10;
inline constexpr int32_t StatusHeartBeat = 0x08;

// Each byte of a frame carries a 2-bit position tag in bits 7-6; only the first byte has tag
// 00, which is how a receiver finds the frame start.
inline constexpr std::array<uint8_t, FrameBytes> FrameTags = {0x00, 0x40, 0x80, 0xC0, 0x40,
                                                              0x80, 0xC0, 0x40, 0x80, 0xC0};

// Builds the 10 wire bytes of a frame (sensor values are masked to 12 bits, status to 4).
std::array<uint8_t, FrameBytes> encodeFrame(const RawFrame& frame);

}  // namespace kenvo
