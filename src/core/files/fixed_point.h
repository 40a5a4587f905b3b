#pragma once

#include <cstdint>
#include <limits>

namespace kenvo {

// Coordinates and driving values are stored as int32 ten-thousandths: the value times 10000
// in double precision, truncated toward zero (-0.00005 stores 0, 0.99999 stores 9999). Values
// beyond the int32 range saturate and NaN stores 0, where a plain conversion would be undefined.
inline int32_t toFixedPoint(float value) {
    const double scaled = static_cast<double>(value) * 10000.0;
    if (scaled != scaled) return 0;
    if (scaled >= 2147483647.0) return std::numeric_limits<int32_t>::max();
    if (scaled <= -2147483648.0) return std::numeric_limits<int32_t>::min();
    return static_cast<int32_t>(scaled);
}

inline float fromFixedPoint(int32_t stored) {
    return static_cast<float>(stored / 10000.0);
}

}  // namespace kenvo
