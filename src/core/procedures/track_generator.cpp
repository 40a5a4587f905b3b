#include "procedures/track_generator.h"

#include <cmath>
#include <random>

#include "model/limits.h"
#include "model/measurement_store.h"

namespace kenvo {

namespace {
constexpr float Pi = 3.14159265359f;
// The moving average stops this many rows before the end of each slot's track.
constexpr int32_t SmoothedRows = 30990;
}  // namespace

TrackParameters workingTrackParameters(const TrackParameters& edited) {
    TrackParameters w = edited;
    w.a = (2 * edited.a) / 3;
    w.b = (2 * edited.b) / 3;
    return w;
}

void generateTracks(MeasurementStore& store, const TrackParameters& p, uint32_t seed) {
    std::minstd_rand random(seed == 0 ? 1u : seed);
    const int32_t half = p.a / 2;
    float x = static_cast<float>(half);
    float y = 0.0f;
    bool f1 = true, f2 = true, wall = true;
    int32_t angle = p.alfa;
    const float s = static_cast<float>(p.v);
    const uint32_t modulus = static_cast<uint32_t>(p.rnd > 0 ? p.rnd : 0) + 1u;

    for (int32_t slot = 0; slot < TrackSlots; ++slot) {
        float* track = store.track(slot);
        for (int32_t k = 0; k < MaxSamples; ++k) {
            const float t = static_cast<float>(angle) * Pi / 180.0f;
            const float c = s * std::cos(t), sn = s * std::sin(t);
            if (f1 && f2) {
                x -= c;
                y += sn;
            } else if (f1) {
                x -= sn;
                y -= c;
            } else if (f2) {
                x += sn;
                y += c;
            } else {
                x += c;
                y -= sn;
            }
            track[k] = static_cast<float>(half) - x;
            if (static_cast<int32_t>(static_cast<uint32_t>(random()) % modulus) < p.otocka) f1 = !f1;
            if (x < 0.0f) {
                f1 = false;
                if (wall) angle = 90 - angle, wall = false;
            }
            if (y > static_cast<float>(p.b)) {
                f2 = false;
                if (!wall) angle = 90 - angle, wall = true;
            }
            if (x > static_cast<float>(p.a)) {
                f1 = true;
                if (wall) angle = 90 - angle, wall = false;
            }
            if (y < 0.0f) {
                f2 = true;
                if (!wall) angle = 90 - angle, wall = true;
            }
        }
    }

    const int32_t n = 2 * p.klzak;
    if (n <= 0) return;
    for (int32_t slot = 0; slot < TrackSlots; ++slot) {
        float* track = store.track(slot);
        for (int32_t k = 0; k < SmoothedRows - n; ++k) {
            float sum = 0.0f;
            for (int32_t j = 0; j < n; ++j) sum += track[k + j];
            track[k] = sum / static_cast<float>(n);
        }
    }
}

}  // namespace kenvo
