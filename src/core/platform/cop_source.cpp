#include "platform/cop_source.h"

#include <cmath>

namespace kenvo {

namespace {
constexpr double Dt = 0.01;           // one frame
constexpr double Pi = 3.14159265358979323846;
constexpr double SteerTimeConstant = 0.12;  // s, how fast a steered body follows the pointer
constexpr double SteeredSway = 0.25;        // the share of quiet sway kept while steered
}  // namespace

SwayProfile swayProfileOf(SensoryCondition condition) noexcept {
    switch (condition) {
    case SensoryCondition::EoFirm: return {2.9, 4.6, 1.8, 0.17};
    case SensoryCondition::EcFirm: return {3.05, 4.8, 1.8, 0.16};
    case SensoryCondition::EoFoam: return {7.3, 10.1, 1.2, 0.18};
    case SensoryCondition::EcFoam: return {8.0, 11.3, 1.0, 0.14};
    }
    return PlainStanceSway;
}

QuietStanceSource::QuietStanceSource(uint32_t seed, CopPoint rest)
    : profile_(PlainStanceSway), random_(seed), rest_(rest) {}

double QuietStanceSource::step(Axis& axis, double sigma) noexcept {
    // Ornstein-Uhlenbeck sway with stationary deviation `sigma`, then a first-order low-pass.
    const double back = profile_.returnSeconds;
    axis.sway += -axis.sway / back * Dt + sigma * std::sqrt(2.0 * Dt / back) * normal_(random_);
    axis.smoothed += (axis.sway - axis.smoothed) * (Dt / profile_.bodySeconds);
    return axis.smoothed;
}

CopPoint QuietStanceSource::at(int64_t frame) noexcept {
    const double t = static_cast<double>(frame) * Dt;
    // Breathing adds a small, regular front-rear component at about 0.25 Hz.
    const double breathing = 0.4 * std::sin(2.0 * Pi * 0.25 * t);
    return {rest_.xMm + step(x_, profile_.sigmaXMm),
            rest_.yMm + step(y_, profile_.sigmaYMm) + breathing};
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
    if (const int wanted = condition_.load(std::memory_order_relaxed); wanted != swayingAs_) {
        swayingAs_ = wanted;
        sway_.setProfile(wanted == PlainStance
                             ? PlainStanceSway
                             : swayProfileOf(static_cast<SensoryCondition>(wanted)));
    }
    const CopPoint sway = sway_.at(frame);
    const double share = steered ? SteeredSway : 1.0;
    return {body_.xMm + share * sway.xMm, body_.yMm + share * sway.yMm};
}

}  // namespace kenvo
