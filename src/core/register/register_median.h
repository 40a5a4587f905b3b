#pragma once

#include <algorithm>
#include <optional>
#include <vector>

namespace kenvo::reg {

// The median of the defined values; of an even count, the mean of the two middle ones.
// Nothing when no value is defined.
inline std::optional<double> medianOf(std::vector<std::optional<double>> values) {
    std::vector<double> defined;
    defined.reserve(values.size());
    for (const auto& v : values)
        if (v) defined.push_back(*v);
    if (defined.empty()) return std::nullopt;
    const std::size_t middle = defined.size() / 2;
    std::nth_element(defined.begin(), defined.begin() + static_cast<std::ptrdiff_t>(middle),
                     defined.end());
    const double upper = defined[middle];
    if (defined.size() % 2 == 1) return upper;
    const double lower =
        *std::max_element(defined.begin(), defined.begin() + static_cast<std::ptrdiff_t>(middle));
    return (lower + upper) / 2.0;
}

}  // namespace kenvo::reg
