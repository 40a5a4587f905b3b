#pragma once

#include <cstdint>

#include "graphs/display_state.h"
#include "graphs/surface.h"
#include "graphs/target_hit_decision.h"

namespace kenvo {

// Where the target display draws, all derived from the view's client rectangle.
struct TargetLayout {
    Rect client;    // filled white first, like the off-screen image it stands for
    Rect square;    // the target square: the cup and the cursor
    Rect status;    // the status line, right-aligned
    Rect progress;  // the hold progress bar runs along its bottom edge
};
TargetLayout targetLayout(const Rect& client);

// The 3-unit bar under the progress band while the cursor is held inside: full width at
// holdFrames 0, shrinking to nothing at HoldFramesToReach.
Rect holdProgressBar(const Rect& progressBand, int32_t holdFrames);

// Draws the target display from the state the frame update left: white fill, the cup as the
// open polyline P3-P0-P1-P2 (black, 5 units) while recording, the progress bar in the reached
// state or else the cursor disc (red outline; filled red in the alarm state, blue otherwise),
// and the status line "Targets: .. Time: .." in largeBold. `completedTargets` is the data set's
// attemptCount, `timeCount` the frame's HitOutcome::timeCount; the clock adds elapsedBefore.
void drawTargetDisplay(Surface& surface, const TargetLayout& layout, const TargetTestState& state,
                       bool recording, int32_t completedTargets, int32_t timeCount);

// One target frame as the tick (and a repaint) runs it: updateTargetFrame, then
// drawTargetDisplay. The returned outcome is for applyHitOutcome and the sound player.
HitOutcome runTargetFrame(Surface& surface, const TargetLayout& layout, TargetTestState& state,
                          const TargetFrame& frame, int32_t completedTargets);

}  // namespace kenvo
