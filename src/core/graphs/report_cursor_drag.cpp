#include "graphs/report_cursor_drag.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "graphs/report_controls.h"

namespace kenvo {

namespace {

bool click(DisplayState& state, const Rect& graph, int32_t x, int32_t y,
           ReportPointer::Button button) {
    if (button == ReportPointer::Button::Left) return reportLeftClick(state, graph, x, y);
    if (button == ReportPointer::Button::Right) return reportRightClick(state, graph, x, y);
    return false;
}

ReportCursor cursorOf(ReportPointer::Button button) {
    if (button == ReportPointer::Button::Left) return ReportCursor::Left;
    if (button == ReportPointer::Button::Right) return ReportCursor::Right;
    return ReportCursor::None;
}

bool scaled(const DisplayState& state) {
    return state.reportXScale > 0.0 && std::isfinite(state.reportXScale);
}

}  // namespace

std::optional<int32_t> reportCursorX(const DisplayState& state, int32_t left, int32_t sample) {
    if (!scaled(state)) return std::nullopt;
    // The same truncation as the drawing, so the grab lands on the line the operator sees.
    const double offset = (static_cast<double>(sample) - state.rangeStart) * state.reportXScale;
    if (!(std::fabs(offset) < 1e9)) return std::nullopt;
    return left + static_cast<int32_t>(offset);
}

ReportCursor reportCursorNear(const DisplayState& state, const Rect& graph, int32_t x, int32_t y,
                              ReportCursor preferred) {
    const int32_t top = std::min(graph.top, graph.bottom);
    const int32_t bottom = std::max(graph.top, graph.bottom);
    if (y < top || y > bottom) return ReportCursor::None;
    const auto distance = [&](int32_t sample) -> std::optional<int64_t> {
        const auto at = reportCursorX(state, graph.left, sample);
        if (!at) return std::nullopt;
        const int64_t d = std::llabs(int64_t{x} - *at);
        if (d > CursorGrabDistance) return std::nullopt;
        return d;
    };
    const auto left = distance(state.leftMarker);
    const auto right = distance(state.rightMarker);
    if (left && right) {
        if (*left != *right) return *left < *right ? ReportCursor::Left : ReportCursor::Right;
        return preferred == ReportCursor::Right ? ReportCursor::Right : ReportCursor::Left;
    }
    if (left) return ReportCursor::Left;
    if (right) return ReportCursor::Right;
    return ReportCursor::None;
}

bool dragReportCursor(DisplayState& state, const Rect& graph, ReportCursor cursor, int32_t x) {
    if (cursor == ReportCursor::None || !scaled(state)) return false;
    const double offset = std::round(static_cast<double>(x - graph.left) / state.reportXScale);
    const int64_t wanted = state.rangeStart + static_cast<int64_t>(std::clamp(offset, -1e9, 1e9));
    int64_t low = state.rangeStart, high = int64_t{state.rangeEnd} - 1;
    if (cursor == ReportCursor::Left)
        high = std::min<int64_t>(high, int64_t{state.rightMarker} - 1);
    if (cursor == ReportCursor::Right) low = std::max<int64_t>(low, int64_t{state.leftMarker} + 1);
    // No room between the range and the other cursor (a one-sample zoom): it stays.
    if (low > high) return false;
    int32_t& marker = cursor == ReportCursor::Left ? state.leftMarker : state.rightMarker;
    const auto target = static_cast<int32_t>(std::clamp(wanted, low, high));
    if (target == marker) return false;
    marker = target;
    return true;
}

bool ReportPointer::press(DisplayState& state, const Rect& graph, int32_t x, int32_t y,
                          Button button) {
    cancel();  // a release that never came (the window lost the mouse) ends the old drag
    const ReportCursor own = cursorOf(button);
    if (own == ReportCursor::None) return false;
    held_ = reportCursorNear(state, graph, x, y, own);
    button_ = button;
    pressX_ = x;
    pressY_ = y;
    if (held_ != ReportCursor::None && held_ != own) {
        clickPending_ = true;
        return false;
    }
    return click(state, graph, x, y, button);
}

bool ReportPointer::move(DisplayState& state, const Rect& graph, int32_t x) {
    if (held_ == ReportCursor::None) return false;
    if (!dragged_ && x == pressX_) return false;  // not yet a drag
    dragged_ = true;
    clickPending_ = false;
    return dragReportCursor(state, graph, held_, x);
}

bool ReportPointer::release(DisplayState& state, const Rect& graph, int32_t x, Button button) {
    if (held_ == ReportCursor::None || button != button_) return false;
    bool changed = false;
    if (dragged_ || x != pressX_) {
        // The pointer may have moved since the last move was reported.
        changed = dragReportCursor(state, graph, held_, x);
    } else if (clickPending_) {
        changed = click(state, graph, pressX_, pressY_, button_);
    }
    cancel();
    return changed;
}

void ReportPointer::cancel() {
    held_ = ReportCursor::None;
    button_ = Button::Other;
    clickPending_ = false;
    dragged_ = false;
}

}  // namespace kenvo
