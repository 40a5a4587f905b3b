#include "platform/cop_source.h"

#include <cmath>

namespace kenvo {

namespace {
constexpr double Dt = 0.01;           // one frame
// A healthy adult standing quietly with eyes open: a mean distance from the mean point of
// 3-5 mm and a COP velocity near 10 mm/s, of which the platform's noise adds a part.
constexpr double SwayTimeConstant = 3.0;  // seconds the sway takes to return halfway, roughly
constexpr double BodyTimeConstant = 0.15; // the body smooths the sway
constexpr double SigmaX = 2.5;        // mm, left-right
constexpr double SigmaY = 4.0;        // mm, front-rear
constexpr double Pi = 3.14159265358979323846;
constexpr double SteerTimeConstant = 0.12;  // s, how fast a steered body follows the pointer
constexpr double SteeredSway = 0.25;        // the share of quiet sway kept while steered
}  // namespace

QuietStanceSource::QuietStanceSource(uint32_t seed, CopPoint rest) : random_(seed), rest_(rest) {}

double QuietStanceSource::step(Axis& axis, double sigma) noexcept {
    // Ornstein-Uhlenbeck sway with stationary deviation `sigma`, then a first-order low-pass.
    axis.sway += -axis.sway / SwayTimeConstant * Dt +
                 sigma * std::sqrt(2.0 * Dt / SwayTimeConstant) * normal_(random_);
    axis.smoothed += (axis.sway - axis.smoothed) * (Dt / BodyTimeConstant);
    return axis.smoothed;
}

CopPoint QuietStanceSource::at(int64_t frame) noexcept {
    const double t = static_cast<double>(frame) * Dt;
    // Breathing adds a small, regular front-rear component at about 0.25 Hz.
    const double breathing = 0.4 * std::sin(2.0 * Pi * 0.25 * t);
    return {rest_.xMm + step(x_, SigmaX), rest_.yMm + step(y_, SigmaY) + breathing};
}

SteerableSource::SteerableSource(uint32_t seed, CopPoint rest)
    : sway_(seed, {0.0, 0.0}), rest_(rest), body_(rest) {}

CopPoint SteerableSource::at(int64_t frame) noexcept {
    const bool steered = steering();
    if (const RecordedSource* recording = recording_.load(std::memory_order_acquire); recording && !steered) {
        if (recording != playing_) playing_ = recording, played_ = 0;
        body_ = recording->point(played_++);
        return body_;
    }
    playing_ = nullptr;
    const CopPoint goal = steered ? CopPoint{wantX_.load(std::memory_order_relaxed),
                                             wantY_.load(std::memory_order_relaxed)}
                                  : rest_;
    const double follow = Dt / SteerTimeConstant;
    body_.xMm += (goal.xMm - body_.xMm) * follow;
    body_.yMm += (goal.yMm - body_.yMm) * follow;
    const CopPoint sway = sway_.at(frame);
    const double share = steered ? SteeredSway : 1.0;
    return {body_.xMm + share * sway.xMm, body_.yMm + share * sway.yMm};
}

}  // namespace kenvo
