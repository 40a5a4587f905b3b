#pragma once

#include <array>
#include <atomic>
#include <cstdint>

#include "graphs/surface.h"

namespace kenvo {

struct PointMm {
    float x = 0.0f;
    float y = 0.0f;
};

struct Point {
    int32_t x = 0;
    int32_t y = 0;
    friend bool operator==(const Point&, const Point&) = default;
};

inline constexpr int32_t MaxTracePoints = 3000;  // the largest COP trace length

// The view's drawing state for the stance panels, the replay, the graph report and the
// diffusion graph. Owned by the view (or a test, or the command-line renderer) and passed to the
// display routines; everything here is touched on the user-interface thread only.
struct DisplayState {
    // Live COP trace: the points now on screen, so the next tick erases exactly them.
    int32_t traceStart = -1;  // live-window offset of the first drawn point; -1: none on screen
    int32_t traceLast = 0;
    std::array<PointMm, MaxTracePoints> tracePoints{};
    float displayCentreX = 0.0f;  // mm subtracted from every live COP point
    float displayCentreY = 0.0f;
    double copScaleX = 0.0, copScaleY = 0.0;
    double timeScale = 0.0, y1Scale = 0.0, y2Scale = 0.0;
    int32_t traceLength = 0;  // sample steps in the live window (the ring holds one more)

    // Attempts, replay and the after-test pictures.
    int32_t selectedAttempt = 0;
    int32_t attemptEnded = 0;
    int32_t replayStep = 0;    // samples per replay tick, negative backward, 0 paused
    int32_t shownSamples = 0;  // in replay: the next sample index of the replayed attempt
    int32_t copCountdown = 0;  // ms until the COP picture is removed
    int32_t copPictureKind = 0;  // 0 none, 1 COP, 2 COP All

    // Graph report and diffusion graph.
    int32_t rangeStart = 0;  // samples (report) or lags (diffusion) rangeStart .. rangeEnd-1
    int32_t rangeEnd = 0;
    int32_t leftMarker = 0;
    int32_t rightMarker = 0;
    int32_t reportY1 = 0;  // GraphParameter on the report, DiffusionParameter on the diffusion page
    int32_t reportY2 = 1;
    double reportXScale = 0.0, reportY1Scale = 0.0, reportY2Scale = 0.0;
    // The report's value axes fitted to the shown data instead of the graph settings' ranges
    // (on screen only; the settings and printed pages keep theirs).
    bool reportFitY = false;
};

// The target hitting test's per-frame state and its cup, in view units.
struct TargetTestState {
    int32_t hitState = 0;  // 0 start, 1 alarm, 2 free, 3 in mouth, 4 reached
    int32_t holdFrames = 0;
    int32_t testedSamples = 0;
    int32_t elapsedBefore = 0;
    int32_t newTargetFlag = 0;
    // The circular target the live COP trace tests (centre and radius, view units).
    int32_t circleX = 0, circleY = 0, circleRadius = 0;
    // P0-P1 bottom, P1-P2 and P0-P3 walls, P2-P3 the open mouth, P4/P5 20 units beyond it.
    std::array<Point, 6> cup{};
    int32_t cursorX = 0, cursorY = 0;
    int32_t cursorRadius = 0;  // objectSize / 2
};

// What the driving display and the driving computation share. The reader thread reads the
// visible rows, so those two are atomics; the rest is set at the driving start.
struct DrivingDisplay {
    int32_t trackMin = 0;  // mm
    int32_t trackMax = 0;
    double trackScale = 0.0;  // pixels per mm
    int32_t squareHeight = 0;
    int32_t scrollPosition = -10;  // tenths of a track row
    std::atomic<int32_t> firstRow{0};
    std::atomic<int32_t> lastRow{0};
};

}  // namespace kenvo
