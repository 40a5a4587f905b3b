#pragma once

#include <cstdint>

namespace kenvo {

// Fixed sizes of a data set. Everything is allocated for these maxima once, so nothing is
// allocated while samples arrive.
inline constexpr int32_t MaxAttempts = 501;  // attempt slots 0..500
inline constexpr int32_t MaxSamples = 31000; // sample slots per attempt
inline constexpr int32_t SampleRate = 100;   // samples (platform frames) per second
inline constexpr int32_t SensorFullScale = 4095;  // the largest 12-bit load-cell reading

}  // namespace kenvo
