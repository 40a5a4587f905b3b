#include "analysis/interval_cuts.h"

#include <algorithm>
#include <cstdio>

#include "model/limits.h"

namespace kenvo {

std::vector<IntervalCut> intervalCuts(int32_t n, int32_t seconds) {
    std::vector<IntervalCut> cuts;
    const int64_t span = int64_t{std::max(seconds, 1)} * SampleRate;
    for (int32_t e = 0; e < n;) {
        const auto g = static_cast<int32_t>(std::min<int64_t>(e + span, n));
        char label[32];
        std::snprintf(label, sizeof label, "%3d%3s%3d", e / SampleRate, " - ", g / SampleRate);
        cuts.push_back({e, g, label});
        e = g;
    }
    return cuts;
}

}  // namespace kenvo
