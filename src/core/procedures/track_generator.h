#pragma once

#include <cstdint>

namespace kenvo {

class MeasurementStore;

// The driving track's shape: the walk's angle (degrees), its corridor width `a` and length `b`,
// its step `v`, the random turn odds `otocka` out of `rnd` + 1, and the smoothing half-width
// `klzak`. The operator edits one copy; the generator uses a working copy taken at each start.
struct TrackParameters {
    int32_t alfa = 15;
    int32_t a = 100;
    int32_t b = 100;
    int32_t v = 1;
    int32_t rnd = 250;
    int32_t otocka = 50;
    int32_t klzak = 10;

    friend bool operator==(const TrackParameters&, const TrackParameters&) = default;
};

// The working copy: the corridor's width and length narrowed to two thirds.
TrackParameters workingTrackParameters(const TrackParameters& edited);

// Attempt slots that get a generated track; later slots keep whatever they hold (zeros).
inline constexpr int32_t TrackSlots = 50;


// Fills the tracks of slots 0..TrackSlots-1: one bounded random walk across all slots, then a
// forward moving average of 2 x klzak values within each slot. The rows from
// 30990 - 2 x klzak on keep their raw values.
void generateTracks(MeasurementStore& store, const TrackParameters& working, uint32_t seed);

}  // namespace kenvo
