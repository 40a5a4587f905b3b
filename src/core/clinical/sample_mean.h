#pragma once

#include <algorithm>
#include <optional>
#include <span>

namespace kenvo {

// Mean of `v` (nothing when empty). Rounding can push sum / n just outside the samples' range
// (0.1 added three times gives 0.30000000000000004); the true mean never leaves it, so a
// constant signal keeps deviations of exactly zero.
inline std::optional<double> sampleMean(std::span<const double> v) {
    if (v.empty()) return std::nullopt;
    double sum = 0.0;
    for (double s : v) sum += s;
    const auto [lo, hi] = std::minmax_element(v.begin(), v.end());
    return std::clamp(sum / static_cast<double>(v.size()), *lo, *hi);
}

}  // namespace kenvo
