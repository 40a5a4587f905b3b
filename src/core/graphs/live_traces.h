#pragma once

#include <cstdint>

#include "graphs/stance_context.h"

namespace kenvo {

// The pens of one time graph trace: over recorded samples, and over samples that are shown
// live but not recorded (before Start, between attempts).
struct TracePens {
    Rgb recorded;
    Rgb live;
};
inline constexpr TracePens Y1TracePens{colour::Blue, colour::Cyan};
inline constexpr TracePens Y2TracePens{colour::Red, colour::Magenta};

// The time graph's two traces over the live window's offsets s..e (0 is the oldest entry),
// with the time axis labelled at every whole recorded second and the "Time:" read-out.
// Samples shown live but not recorded draw in cyan (Y1) and magenta (Y2). Offsets beyond the
// window are not drawn. On screen the plot and the label band are cleared first; a printed page
// starts blank and is not cleared, so nothing of the frame is covered.
void drawLiveTimeTraces(const StanceContext& ctx, Surface& surface, const Rect& r, int32_t s, int32_t e);

// The live COP trace of a window of n sample steps: the newest copTraceLength points before the
// newest entry, as red plus marks with a filled head marker, not clamped to the axes. On screen
// it first erases exactly the points it drew last time (kept in the display state), redraws
// the square (red while overloaded) and the origin cross, and marks the attempt being recorded
// as having reached the circular target when a point lies inside it. On paper it draws the
// points as single black pixels and leaves the screen's trace state and the data set alone.
void drawLiveCopTrace(const StanceContext& ctx, Surface& surface, const Rect& r, int32_t n);

// How many trace points a window of n steps shows, and the offset of the first.
struct TraceWindow {
    int32_t first = 0;
    int32_t count = 0;
};
TraceWindow copTraceWindow(int32_t n, int32_t copTraceLength);

}  // namespace kenvo
