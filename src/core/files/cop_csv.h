#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "model/cop_point.h"

namespace kenvo {

// Reads a COP recording "t_s,x_mm,y_mm" sampled at 100 Hz (one header line, then one sample
// per line, 0.01 s apart). At most `maxSamples` samples; on failure `error` says where and why
// and `points` is left empty.
bool readCopCsv(const std::string& path, std::vector<CopPoint>& points, std::string& error,
                std::size_t maxSamples);

}  // namespace kenvo
