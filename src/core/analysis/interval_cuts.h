#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace kenvo {

// One row of the interval summary: samples [from, to) and the label shown for them.
struct IntervalCut {
    int32_t from = 0;
    int32_t to = 0;
    std::string label;
};

// Cuts n samples into spans of `seconds` (at least 1) labelled "%3d%3s%3d" with whole seconds
// (a last, shorter span shows its truncated end second). The closing "Summary:" row over the
// whole attempt is not included; the table adds it.
std::vector<IntervalCut> intervalCuts(int32_t n, int32_t seconds);

}  // namespace kenvo
