#include "graphs/report_controls.h"

#include <algorithm>
#include <cmath>

#include "model/limits.h"
#include "model/measurement_store.h"

namespace kenvo {

namespace {

constexpr int32_t DiffusionDisplayedLags = 1000;

int32_t recordedLength(const MeasurementStore& store, int32_t attempt) {
    if (attempt < 0 || attempt >= MaxAttempts) return 0;
    return std::clamp(store.length[static_cast<std::size_t>(attempt)], 0, MaxSamples);
}

bool validGraphParameter(int32_t p) {
    return p >= GraphCopX && p <= GraphHeartFrequency;
}

// Half-open, as window hit tests are: a click on the right or bottom edge is outside.
bool inside(const Rect& r, int32_t x, int32_t y) {
    const int32_t l = std::min(r.left, r.right), rr = std::max(r.left, r.right);
    const int32_t t = std::min(r.top, r.bottom), b = std::max(r.top, r.bottom);
    return x >= l && x < rr && y >= t && y < b;
}

}  // namespace

std::optional<int32_t> indexAt(const DisplayState& state, int32_t left, int32_t x) {
    const double scale = state.reportXScale;
    if (!(scale > 0.0) || !std::isfinite(scale)) return std::nullopt;
    const double offset = std::trunc(static_cast<double>(x - left) / scale);
    if (!(std::fabs(offset) < 1e9)) return std::nullopt;
    return state.rangeStart + static_cast<int32_t>(offset);
}

void enterGraphReport(DisplayState& state, const MeasurementStore& store,
                      const GraphSettings& settings) {
    state.reportY1 = settings.y1Parameter;
    state.reportY2 = settings.y2Parameter;
    state.rangeStart = 0;
    state.selectedAttempt = 0;
    const int64_t planned = int64_t{store.attemptSeconds} * SampleRate;
    state.rangeEnd =
        static_cast<int32_t>(std::clamp<int64_t>(planned, 0, recordedLength(store, 0)));
    state.leftMarker = 0;
    state.rightMarker = state.rangeEnd - 1;
    state.traceStart = -1;
    state.reportFitY = false;
}

bool selectReportAttempt(DisplayState& state, const MeasurementStore& store, int32_t attempt) {
    if (attempt < 0 || attempt >= store.attemptCount || attempt >= MaxAttempts) return false;
    state.selectedAttempt = attempt;
    state.rangeEnd = recordedLength(store, attempt);
    // A start zoomed into a longer attempt would leave an empty (inverted) range here.
    if (state.rangeStart >= state.rangeEnd) state.rangeStart = 0;
    state.leftMarker = state.rangeStart;
    state.rightMarker = state.rangeEnd - 1;
    state.shownSamples = 0;
    state.replayStep = 0;
    return true;
}

bool selectReportY1(DisplayState& state, GraphSettings& settings, int32_t parameter) {
    if (!validGraphParameter(parameter)) return false;
    state.reportY1 = parameter;
    settings.y1Parameter = parameter;
    return true;
}

bool selectReportY2(DisplayState& state, GraphSettings& settings, int32_t parameter) {
    if (!validGraphParameter(parameter)) return false;
    state.reportY2 = parameter;
    settings.y2Parameter = parameter;
    return true;
}

bool zoomReport(DisplayState& state) {
    if (state.rangeStart == state.leftMarker && state.rangeEnd == state.rightMarker) return false;
    state.rangeStart = state.leftMarker;
    state.rangeEnd = state.rightMarker;
    return true;
}

bool reportZoomed(const DisplayState& state, const MeasurementStore& store) {
    return state.rangeStart != 0 || state.rangeEnd != recordedLength(store, state.selectedAttempt);
}

bool showWholeAttempt(DisplayState& state, const MeasurementStore& store) {
    if (!reportZoomed(state, store)) return false;
    const int32_t end = recordedLength(store, state.selectedAttempt);
    state.rangeStart = 0;
    state.rangeEnd = end;
    // The right cursor may stand on the range end, as XR ">>" and Zoom leave it.
    const bool cursorsFit =
        state.leftMarker >= 0 && state.leftMarker < state.rightMarker && state.rightMarker <= end;
    if (!cursorsFit) {
        state.leftMarker = 0;
        state.rightMarker = end - 1;
    }
    return true;
}

bool leftCursorBack(DisplayState& state) {
    if (state.leftMarker <= state.rangeStart) return false;
    --state.leftMarker;
    return true;
}

bool leftCursorForward(DisplayState& state) {
    // Also kept left of the right cursor, as the clicks and XR "<<" keep it: a left cursor
    // past the right one would make the next zoom an inverted range.
    if (state.leftMarker >= state.rangeEnd || state.leftMarker + 1 >= state.rightMarker)
        return false;
    ++state.leftMarker;
    return true;
}

bool rightCursorBack(DisplayState& state) {
    if (state.leftMarker + 1 >= state.rightMarker) return false;
    --state.rightMarker;
    return true;
}

bool rightCursorForward(DisplayState& state) {
    if (state.rightMarker >= state.rangeEnd) return false;
    ++state.rightMarker;
    return true;
}

bool reportLeftClick(DisplayState& state, const Rect& graph, int32_t x, int32_t y) {
    if (!inside(graph, x, y)) return false;
    const auto s = indexAt(state, graph.left, x);
    if (!s || *s == state.leftMarker || *s >= state.rightMarker) return false;
    state.leftMarker = *s;
    return true;
}

bool reportRightClick(DisplayState& state, const Rect& graph, int32_t x, int32_t y) {
    if (!inside(graph, x, y)) return false;
    const auto s = indexAt(state, graph.left, x);
    if (!s || *s == state.rightMarker || *s <= state.leftMarker) return false;
    state.rightMarker = *s;
    return true;
}

void enterDiffusionGraph(DisplayState& state, const MeasurementStore& store,
                         const GraphSettings& settings) {
    state.selectedAttempt = 0;
    state.reportY1 = settings.daY1Parameter;
    state.reportY2 = settings.daY2Parameter;
    state.rangeStart = 0;
    state.rangeEnd = std::min(DiffusionDisplayedLags, recordedLength(store, 0));
    state.leftMarker = 0;
}

bool diffusionMarkerBack(DisplayState& state) {
    if (state.leftMarker <= state.rangeStart) return false;
    --state.leftMarker;
    return true;
}

bool diffusionMarkerForward(DisplayState& state) {
    if (state.leftMarker >= state.rangeEnd) return false;
    ++state.leftMarker;
    return true;
}

bool diffusionClick(DisplayState& state, const Rect& graph, int32_t x, int32_t y) {
    if (!inside(graph, x, y)) return false;
    const auto lag = indexAt(state, graph.left, x);
    if (!lag || *lag == state.leftMarker) return false;
    state.leftMarker = *lag;
    return true;
}

bool selectDiffusionY1(DisplayState& state, GraphSettings& settings, int32_t kind) {
    if (kind < 0 || kind >= DiffusionParameterCount) return false;
    state.reportY1 = kind;
    settings.daY1Parameter = kind;
    return true;
}

bool selectDiffusionY2(DisplayState& state, GraphSettings& settings, int32_t kind) {
    if (kind < 0 || kind >= DiffusionParameterCount) return false;
    state.reportY2 = kind;
    settings.daY2Parameter = kind;
    return true;
}

}  // namespace kenvo
