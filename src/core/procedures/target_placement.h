#pragma once

#include <cstdint>

#include "graphs/surface.h"
#include "graphs/target_tick.h"

namespace kenvo {

class MeasurementStore;

// The random integers of the target test (the C library's generator, which the program seeds).
using RandomSource = int (*)();

// targetLocation[0 .. count-1] := a random sequence of the four locations in which no location
// follows itself; count is kept within the attempt slots.
void fillTargetSequence(MeasurementStore& store, int32_t count, RandomSource random);

// The cup of a target of side `targetSize` in the target square: its bottom P0-P1 centred on a
// random point of a circle of an eighth of the square's side around the square's centre, at a
// random orientation, the walls P0-P3 and P1-P2 `targetSize` long, and P4/P5 20 units beyond
// the mouth P2-P3.
std::array<Point, 6> placeCup(const Rect& square, int32_t targetSize, RandomSource random);

// The next target: the circular target's centre inside the square, kept `targetSize` from its
// edges, and the cup.
NextTarget drawNextTarget(const Rect& square, int32_t targetSize, RandomSource random);

}  // namespace kenvo
