#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <optional>
#include <random>
#include <vector>

#include "model/cop_point.h"
#include "model/sensory_condition.h"

namespace kenvo {

// What the simulated subject does: the COP at each frame, asked for in frame order (100 per
// second). Called on the reader thread, so it must not allocate or block.
class CopSource {
public:
    virtual ~CopSource() = default;
    virtual CopPoint at(int64_t frame) noexcept = 0;
    // False while the subject has stepped off the plate: the sensors then carry no load.
    virtual bool standing() const noexcept { return true; }
};

// How much a quietly standing subject sways: mean-reverting random sway of the given
// stationary deviations, returning halfway in about `returnSeconds`, smoothed by the body.
struct SwayProfile {
    double sigmaXMm;
    double sigmaYMm;
    double returnSeconds;
    double bodySeconds;
};

// A healthy adult standing quietly with eyes open, as the stance test shows it: a mean
// distance from the mean point of 3-5 mm and a COP velocity near 10 mm/s, of which the
// platform's noise adds a part.
inline constexpr SwayProfile PlainStanceSway{2.5, 4.0, 3.0, 0.15};

// A healthy young adult in each condition of the sensory test: closing the eyes adds a little
// sway, the foam pad a lot, and faster. With the 10 Hz low-pass the 95 % area and the velocity
// of a 60 s attempt fall near the median of young adults' reference values for that condition.
SwayProfile swayProfileOf(SensoryCondition condition) noexcept;

// Quiet standing: slow, smooth sway of a few millimetres (larger front-rear than left-right)
// around a resting position, like a healthy adult with eyes open on a firm floor unless told
// otherwise. Deterministic for a seed.
class QuietStanceSource final : public CopSource {
public:
    explicit QuietStanceSource(uint32_t seed = 1, CopPoint rest = {2.0, -8.0});
    CopPoint at(int64_t frame) noexcept override;
    // Sway as in `condition` from the next frame on (called on the thread that asks for frames).
    void setCondition(SensoryCondition condition) noexcept { setProfile(swayProfileOf(condition)); }
    void setProfile(const SwayProfile& profile) noexcept { profile_ = profile; }

private:
    struct Axis {
        double sway = 0.0;      // mean-reverting random sway
        double smoothed = 0.0;  // the sway after the body's low-pass
    };
    double step(Axis& axis, double sigma) noexcept;

    SwayProfile profile_;
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

// A recorded subject: the COP of a real recording (100 samples per second) played frame by
// frame, from the start again when it ends, so a demonstration can run as long as it likes.
// The points are handed over whole at construction; playing them allocates nothing.
class RecordedSource final : public CopSource {
public:
    explicit RecordedSource(std::vector<CopPoint> points) : points_(std::move(points)) {}
    CopPoint at(int64_t frame) noexcept override { return point(frame); }
    CopPoint point(int64_t frame) const noexcept {
        if (points_.empty()) return {};
        const auto n = static_cast<int64_t>(points_.size());
        return points_[static_cast<std::size_t>(((frame % n) + n) % n)];
    }
    std::size_t size() const noexcept { return points_.size(); }

private:
    std::vector<CopPoint> points_;
};

// A subject the operator steers: while steering is on, the COP walks toward the wanted point
// the user-interface thread sets (the mouse over the view), with the body's lag and a little
// sway on top; while it is off, the subject plays a recording when one is set, or else stands
// quietly at its resting position. It can also step off the plate. The wanted point, the
// switches and the recording are atomics, the only state the two threads share.
class SteerableSource final : public CopSource {
public:
    explicit SteerableSource(uint32_t seed = 1, CopPoint rest = {2.0, -8.0});

    void setSteering(bool on) noexcept { steering_.store(on, std::memory_order_relaxed); }
    // While set (and not steered), the subject plays this recording from its start instead of
    // standing quietly; null goes back to quiet standing. The caller keeps `recording` alive
    // for as long as this source is in use.
    void play(const RecordedSource* recording) noexcept {
        recording_.store(recording, std::memory_order_release);
    }
    const RecordedSource* recording() const noexcept { return recording_.load(std::memory_order_acquire); }
    // Steps off the plate (so it can be zeroed) and back on.
    void setStanding(bool on) noexcept { standing_.store(on, std::memory_order_relaxed); }
    bool standing() const noexcept override { return standing_.load(std::memory_order_relaxed); }
    bool steering() const noexcept { return steering_.load(std::memory_order_relaxed); }
    // The condition the quietly standing subject is in (the sensory test sets it per trial);
    // nothing: plain quiet standing.
    void setCondition(std::optional<SensoryCondition> condition) noexcept {
        condition_.store(condition ? static_cast<int>(*condition) : PlainStance,
                         std::memory_order_relaxed);
    }
    std::optional<SensoryCondition> condition() const noexcept {
        const int c = condition_.load(std::memory_order_relaxed);
        return c == PlainStance ? std::nullopt
                                : std::optional<SensoryCondition>(static_cast<SensoryCondition>(c));
    }
    void steerTo(CopPoint wanted) noexcept {
        wantX_.store(wanted.xMm, std::memory_order_relaxed);
        wantY_.store(wanted.yMm, std::memory_order_relaxed);
    }
    CopPoint at(int64_t frame) noexcept override;

private:
    std::atomic<bool> steering_{false};
    std::atomic<bool> standing_{true};
    static constexpr int PlainStance = -1;
    std::atomic<int> condition_{PlainStance};
    int swayingAs_ = PlainStance;  // the reader thread's own: the profile the sway has now
    std::atomic<const RecordedSource*> recording_{nullptr};
    const RecordedSource* playing_ = nullptr;  // the reader thread's own: what it plays and where
    int64_t played_ = 0;
    std::atomic<double> wantX_{0.0}, wantY_{0.0};
    QuietStanceSource sway_;
    CopPoint rest_;
    CopPoint body_;
};

}  // namespace kenvo
