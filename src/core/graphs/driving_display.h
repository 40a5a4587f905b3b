#pragma once

#include <cstdint>

#include "graphs/display_state.h"
#include "graphs/surface.h"

namespace kenvo {

class MeasurementStore;
struct AcquisitionControl;

inline constexpr Rgb DarkGreen{0, 66, 0};

enum DrivingDirection : int32_t {
    DrivingUpDown = 0,     // the newest row enters at the top
    DrivingDownUp = 1,     // ... at the bottom
    DrivingLeftRight = 2,  // ... at the left
    DrivingRightLeft = 3,  // ... at the right
};

// The track rows visible in the square: lastRow = scrollPosition / 10 (tenths of a row),
// firstRow = lastRow - squareHeight, at least 0. Rows at or past the track's end are not
// clamped here; readers take them through drivingTrackRow.
struct DrivingRows {
    int32_t first = 0;
    int32_t last = 0;
};
DrivingRows drivingRows(int32_t scrollPosition, int32_t squareHeight);

// A track row kept inside the attempt's MaxSamples-row track: past its end the track carries
// on with its last row (and the deviation, which reads the same rows, must do the same).
int32_t drivingTrackRow(int32_t row);

// What one driving frame shows, read once: the current attempt's track (MaxSamples rows; null
// for none), the data set's direction, the marker relative to the square's top-left corner,
// and the recording and overload flags.
struct DrivingFrame {
    const float* track = nullptr;
    int32_t direction = DrivingUpDown;
    int32_t markerX = 0;
    int32_t markerY = 0;
    bool recording = false;
    bool overload = false;
};
DrivingFrame drivingFrame(const MeasurementStore& store, const AcquisitionControl& control,
                          bool overload);

// Draws the driving square: white fill, the frame (black, red while overloaded), the visible
// track in dark green 5 units wide for the frame's direction, the blue cross marker 5 units
// wide, and while recording the black deviation line from the marker to the track point on
// the marker's row. Computes the visible rows and stores them in display.firstRow/lastRow for
// the reader thread. Coordinates are relative to the square and offset by its top-left corner
// here, so a caller drawing into an image of the square's size passes {0, 0, width, height}.
void drawDrivingDisplay(Surface& surface, const Rect& square, DrivingDisplay& display,
                        const DrivingFrame& frame);

}  // namespace kenvo
