#pragma once

#include <vector>

namespace kenvo {

// One attempt's centre of pressure in millimetres, in double precision: x medio-lateral,
// y antero-posterior, sampled at 100 Hz. Both vectors have the same length.
struct SwayTrace {
    std::vector<double> x;
    std::vector<double> y;

    std::size_t size() const { return x.size(); }
};

}  // namespace kenvo
