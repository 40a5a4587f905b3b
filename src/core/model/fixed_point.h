#pragma once

#include <cmath>
#include <cstdint>
#include <limits>

namespace kenvo {

inline float fromFixedPoint(int32_t stored) {
    return static_cast<float>(stored / 10000.0);
}

// Coordinates and driving values are stored as int32 ten-thousandths: the value times 10000
// in double precision, truncated toward zero (-0.00005 stores 0, 0.99999 stores 9999).
//
// One exception keeps a load and save cycle lossless: a float that is exactly what reading a
// stored step gives (0.7676 reads as 0.76759999...) is written as that step, not truncated to
// the step below, which would lower about half of all values by one step on every save.
// Values beyond the int32 range saturate and NaN stores 0, where a plain conversion would be
// undefined.
inline int32_t toFixedPoint(float value) {
    const double scaled = static_cast<double>(value) * 10000.0;
    if (scaled != scaled) return 0;
    if (scaled >= 2147483647.0) return std::numeric_limits<int32_t>::max();
    if (scaled <= -2147483648.0) return std::numeric_limits<int32_t>::min();
    const auto nearest = static_cast<int32_t>(std::lround(scaled));
    if (fromFixedPoint(nearest) == value) return nearest;
    return static_cast<int32_t>(scaled);
}

// The value a save and reopen gives back. Every coordinate and driving deviation is put into
// the store this way when it is recorded or imported, so the tables, graphs and exports of a
// data set are the same before it is saved as after it is opened again.
inline float onFixedPointGrid(float value) {
    return fromFixedPoint(toFixedPoint(value));
}

}  // namespace kenvo
