#pragma once

#include <cstdint>
#include <optional>

#include "graphs/display_state.h"

namespace kenvo {

// The report cursor a pointer holds.
enum class ReportCursor : int32_t { None, Left, Right };

// How near (view units) a press must come to a cursor's line to take hold of it.
inline constexpr int32_t CursorGrabDistance = 4;

// Where the time graphs draw a cursor on `sample` in a graph starting at `left`; none while the
// graph has no scale (not drawn yet, or an empty range).
std::optional<int32_t> reportCursorX(const DisplayState& state, int32_t left, int32_t sample);

// The cursor whose line passes within CursorGrabDistance of (x, y), y between the graph's top
// and bottom. When both lines do, the nearer one; at equal distance `preferred`.
ReportCursor reportCursorNear(const DisplayState& state, const Rect& graph, int32_t x, int32_t y,
                              ReportCursor preferred);

// Puts `cursor` on the sample whose position is nearest to x, held within the displayed range
// rangeStart .. rangeEnd - 1 and on its own side of the other cursor. Whether it moved.
bool dragReportCursor(DisplayState& state, const Rect& graph, ReportCursor cursor, int32_t x);

// A mouse button's press, moves and release over the report's time graph. A press near a
// cursor takes hold of it, and moving the pointer drags it. A plain click (no move) does what
// a click always did: the left button places the left cursor, the right button the right one.
// Held near its own cursor, the button's click is done at once, as before; held near the
// other cursor, the click waits for the release and is dropped when the pointer drags.
class ReportPointer {
  public:
    enum class Button { Left, Right, Other };

    // Each returns whether the view state changed, so the caller redraws.
    bool press(DisplayState& state, const Rect& graph, int32_t x, int32_t y, Button button);
    bool move(DisplayState& state, const Rect& graph, int32_t x);
    bool release(DisplayState& state, const Rect& graph, int32_t x, Button button);
    // Lets go without doing anything more (the view left the report).
    void cancel();

    ReportCursor held() const { return held_; }

  private:
    ReportCursor held_ = ReportCursor::None;
    Button button_ = Button::Other;
    int32_t pressX_ = 0;
    int32_t pressY_ = 0;
    bool clickPending_ = false;
    bool dragged_ = false;
};

}  // namespace kenvo
