#pragma once

#include <chrono>
#include <cstdint>

namespace kenvo {

// A random seed from the wall clock's nanoseconds, so two seeds taken within the same second
// differ (a seed from whole seconds would repeat a track or a target sequence).
inline uint32_t clockSeed() {
    const auto ns = std::chrono::duration_cast<std::chrono::nanoseconds>(
                        std::chrono::system_clock::now().time_since_epoch())
                        .count();
    return static_cast<uint32_t>(ns ^ (ns >> 32));
}

}  // namespace kenvo
