#pragma once

#include <cstdint>

#include "graphs/display_state.h"
#include "graphs/surface.h"
#include "model/measurement_store.h"

namespace kenvo {

// Where the protocol places the circular target of an attempt: at the middle of the driving
// square's side named by the target location (0 left, 1 front = top, 2 right, 3 rear = bottom),
// with a radius of an eighth of the square's width. An unknown location gives the square's
// centre.
struct TargetCircle {
    int32_t x = 0;
    int32_t y = 0;
    int32_t radius = 0;
    friend bool operator==(const TargetCircle&, const TargetCircle&) = default;
};
TargetCircle protocolTargetCircle(const Rect& drivingSquare, int32_t targetLocation);

// Places the circular target of `attempt` (by its target location in the store), stores it in
// the test state as the circle the live COP trace tests, draws it as a blue disc and clears the
// new-target flag. An attempt outside the store's slots uses location 0.
void drawProtocolTargetDisc(Surface& surface, TargetTestState& target, const MeasurementStore& store,
                            int32_t attempt, const Rect& drivingSquare);

}  // namespace kenvo
