#include "platform/platform_simulator.h"

#include <algorithm>
#include <cmath>

#include "model/platform_models.h"

namespace kenvo {

namespace {
constexpr int32_t OverloadReading = 4050;

int32_t toCounts(double load, int32_t unloaded, double noise) {
    return std::clamp(static_cast<int32_t>(std::lround(load + noise)) + unloaded, 0, 4095);
}
}  // namespace

PlatformSimulator::PlatformSimulator(Options options, CopSource& source)
    : options_(options), source_(source), random_(options.seed),
      nextBeat_(6000.0 / std::max(options.heartRateBpm, 20.0) * 0.5) {
    if (!isValidModel(options_.model)) options_.model = 0;
}

bool PlatformSimulator::beatDue(int64_t frame) noexcept {
    if (static_cast<double>(frame) < nextBeat_) return false;
    // Beat to beat intervals vary by a few percent, as a resting heart's do.
    const double interval = 6000.0 / std::max(options_.heartRateBpm, 20.0);
    nextBeat_ += interval * (1.0 + 0.03 * std::clamp(noise_(random_), -2.0, 2.0));
    return true;
}

RawFrame PlatformSimulator::frame(int64_t index) noexcept {
    const CopPoint cop = source_.at(index);
    // The simulated plate is always mounted the standard way: orientation 0 scales.
    const ModelScales scales = modelScales(options_.model, 0);
    const double fx = std::clamp(cop.xMm / scales.scaleX, -1.0, 1.0);
    const double fy = std::clamp(cop.yMm / scales.scaleY, -1.0, 1.0);
    const bool standing = source_.standing();
    const double load = standing ? options_.weightKg * CountsPerKg : 0.0;

    double cell[4];
    if (isFourSensorModel(options_.model)) {
        // Front left, front right, rear left, rear right share the load bilinearly.
        cell[0] = load * (1 - fx) / 2 * (1 + fy) / 2;
        cell[1] = load * (1 + fx) / 2 * (1 + fy) / 2;
        cell[2] = load * (1 - fx) / 2 * (1 - fy) / 2;
        cell[3] = load * (1 + fx) / 2 * (1 - fy) / 2;
    } else {
        // Front left, front right and one rear sensor; the fourth input carries no load.
        const double front = load * (1 + fy) / 2;
        cell[0] = front * (1 - fx) / 2;
        cell[1] = front * (1 + fx) / 2;
        cell[2] = load * (1 - fy) / 2;
        cell[3] = 0.0;
    }

    RawFrame out;
    for (int k = 0; k < 4; ++k)
        out.s[k] = toCounts(cell[k], UnloadedCounts[k], NoiseCounts * noise_(random_));
    if (overload_.load(std::memory_order_relaxed)) out.s[0] = OverloadReading;
    // The pulse is the subject's: an empty plate senses none.
    out.status = beatDue(index) && standing ? StatusHeartBeat : 0;
    return out;
}

}  // namespace kenvo
