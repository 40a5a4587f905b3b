#pragma once

#include <cstdint>

namespace kenvo {

struct CopFraction {
    float x = 0.0f;
    float y = 0.0f;
};

// Centre of pressure from four zero-corrected load-cell values, as fractions of the
// platform's half-spans, with a dead band that suppresses changes below 0.0003 per axis. The
// dead-band memory lives as long as the calculator (the whole program run), across armings.
class CopCalculator {
public:
    static constexpr double DeadBand = 0.0003;

    CopFraction compute(int32_t s1, int32_t s2, int32_t s3, int32_t s4, bool fourSensor,
                        int32_t orientation) noexcept;

    CopFraction remembered() const noexcept { return previous_; }

private:
    CopFraction previous_{};
};

// The undamped formula alone (no dead band): four sensors with either orientation, or three
// sensors (s4 unused). On a three-sensor platform whose front sensors total 0, x is 0.
CopFraction copFormula(int32_t s1, int32_t s2, int32_t s3, int32_t s4, bool fourSensor,
                       int32_t orientation) noexcept;

}  // namespace kenvo
