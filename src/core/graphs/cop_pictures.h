#pragma once

#include <cstdint>

#include "graphs/stance_context.h"

namespace kenvo {

enum CopPictureKind : int32_t {
    CopPictureNone = 0,
    CopPictureOne = 1,  // "COP": the selected attempt's whole trajectory
    CopPictureAll = 2,  // "COP All": every attempt's trajectory
};

// Draws the trajectory picture over the COP plane in black, clamped to the axes and without
// erasing the live trace, and starts the countdown of its removal (copDisplayTimeSeconds).
// An attempt outside the data set draws nothing.
void showCopPicture(const StanceContext& ctx, Surface& surface, const Rect& r, CopPictureKind kind);

// One 50 ms message of the view's timer. Counts the picture's countdown down, except while a
// print job runs; returns true exactly once, on the message where the countdown reaches 0 and
// the picture is to be removed. A countdown of 0 (no picture, or a display time of 0) never
// fires.
bool countDownCopPicture(DisplayState& state, bool printJobActive);

// Removes the picture: clears the COP plane, redraws its frame and the live trace of a window
// of n steps.
void removeCopPicture(const StanceContext& ctx, Surface& surface, const Rect& r, int32_t n);

}  // namespace kenvo
