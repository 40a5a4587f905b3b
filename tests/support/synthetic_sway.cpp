#include "support/synthetic_sway.h"

#include <random>

namespace kenvo::test {

std::vector<CopSample> syntheticSway(int32_t samples, uint32_t seed) {
    std::mt19937 rng(seed);
    // Uniform steps keep the trace identical across standard libraries.
    std::uniform_real_distribution<double> step(-1.0, 1.0);
    std::vector<CopSample> out(static_cast<std::size_t>(samples > 0 ? samples : 0));
    double x = 0.0, y = 0.0;  // mm
    for (auto& s : out) {
        x += -0.004 * x + 0.35 * step(rng);
        y += -0.003 * y + 0.45 * step(rng);
        s.x = static_cast<float>((x + 0.05 * step(rng)) / 175.0);
        s.y = static_cast<float>((y + 0.05 * step(rng)) / 276.0);
        s.pulse = 72;
    }
    return out;
}

}  // namespace kenvo::test
