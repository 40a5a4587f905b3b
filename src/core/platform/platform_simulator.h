#pragma once

#include <atomic>
#include <cstdint>
#include <random>

#include "platform/cop_source.h"
#include "platform/wire_frame.h"

namespace kenvo {

// The load cells and controller of a simulated platform: turns the subject's COP and body
// weight into the four raw readings a real platform of that model would send, with a small
// unloaded offset per sensor, a little noise and a heart beat in the status nibble. A subject
// who has stepped off leaves only the unloaded offsets and the noise.
class PlatformSimulator {
public:
    struct Options {
        int32_t model = 0;
        double weightKg = 70.0;
        double heartRateBpm = 72.0;
        uint32_t seed = 1;
    };

    // The load cells' scale: a 120 kg subject stays below 4000 counts on every cell, even on
    // the three-cell models whose rear cell carries half the weight, so nothing overloads.
    static constexpr double CountsPerKg = 50.0;
    // White noise on every cell before the reading is rounded to whole counts: with the scale
    // above it moves the COP by about the calculator's dead band, as a real platform's does.
    static constexpr double NoiseCounts = 0.6;
    // Raw readings of the unloaded sensors (what the sensor check's zeroing measures).
    static constexpr int32_t UnloadedCounts[4] = {52, 47, 50, 45};

    PlatformSimulator(Options options, CopSource& source);

    // The frame with index `frame` (0, 1, 2, ...; asked for in order). No allocation.
    RawFrame frame(int64_t frame) noexcept;

    // While set, the front-left sensor reads above the overload limit.
    void setOverload(bool on) noexcept { overload_.store(on, std::memory_order_relaxed); }
    int32_t model() const noexcept { return options_.model; }

private:
    bool beatDue(int64_t frame) noexcept;

    Options options_;
    CopSource& source_;
    std::mt19937 random_;
    std::normal_distribution<double> noise_{0.0, 1.0};  // the cells' noise and the beats' jitter
    double nextBeat_;
    std::atomic<bool> overload_{false};
};

}  // namespace kenvo
