#pragma once

#include <cstdint>
#include <functional>
#include <random>

namespace kenvo {

// A centre-of-pressure position on the plate, millimetres from its centre (x right, y front).
struct CopPoint {
    double xMm = 0.0;
    double yMm = 0.0;
};

// What the simulated subject does: the COP at each frame, asked for in frame order (100 per
// second). Called on the reader thread, so it must not allocate or block.
class CopSource {
public:
    virtual ~CopSource() = default;
    virtual CopPoint at(int64_t frame) noexcept = 0;
};

// Quiet standing: slow, smooth sway of a few millimetres (larger front-rear than left-right)
// around a resting position, like a healthy adult with eyes open. Deterministic for a seed.
class QuietStanceSource final : public CopSource {
public:
    explicit QuietStanceSource(uint32_t seed = 1, CopPoint rest = {2.0, -8.0});
    CopPoint at(int64_t frame) noexcept override;

private:
    struct Axis {
        double sway = 0.0;      // mean-reverting random sway
        double smoothed = 0.0;  // the sway after the body's low-pass
    };
    double step(Axis& axis, double sigma) noexcept;

    std::mt19937 random_;
    std::normal_distribution<double> normal_{0.0, 1.0};
    CopPoint rest_;
    Axis x_, y_;
};

// A scripted path: the COP as a function of time in seconds (tests, demonstrations).
class ScriptedSource final : public CopSource {
public:
    explicit ScriptedSource(std::function<CopPoint(double seconds)> path) : path_(std::move(path)) {}
    CopPoint at(int64_t frame) noexcept override { return path_(static_cast<double>(frame) / 100.0); }

private:
    std::function<CopPoint(double)> path_;
};

}  // namespace kenvo
