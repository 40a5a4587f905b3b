#pragma once

#include <cstdint>
#include <vector>

#include "model/cop_sample.h"

namespace kenvo::test {

// A reproducible quiet-stance-like COP trace as stored fractions: two mean-reverting random
// walks (about ±10 mm at the model-0 scales) with a little sample noise.
std::vector<CopSample> syntheticSway(int32_t samples, uint32_t seed);

}  // namespace kenvo::test
