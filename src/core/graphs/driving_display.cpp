#include "graphs/driving_display.h"

#include <algorithm>
#include <cmath>
#include <optional>

#include "model/limits.h"
#include "model/measurement_store.h"
#include "platform/acquisition_control.h"

namespace kenvo {

namespace {

// trunc((v - min) * scale) for a track value; a damaged value lands on the square's edge
// instead of overflowing the conversion.
int32_t trackOffset(float v, int32_t min, double scale) {
    const double p = (static_cast<double>(v) - min) * scale;
    if (std::isnan(p)) return 0;
    return static_cast<int32_t>(std::clamp(p, -1e6, 1e6));
}

}  // namespace

DrivingRows drivingRows(int32_t scrollPosition, int32_t squareHeight) {
    const int32_t last = scrollPosition / 10;
    return {std::max(last - squareHeight, 0), last};
}

int32_t drivingTrackRow(int32_t row) {
    return std::clamp(row, 0, MaxSamples - 1);
}

DrivingFrame drivingFrame(const MeasurementStore& store, const AcquisitionControl& control,
                          bool overload) {
    DrivingFrame f;
    const int32_t attempt = store.attemptCount;
    if (attempt >= 0 && attempt < MaxAttempts) f.track = store.track(attempt);
    f.direction = store.settings.drivingDirection;
    f.markerX = control.markerX.load(std::memory_order_relaxed);
    f.markerY = control.markerY.load(std::memory_order_relaxed);
    f.recording = control.recording.load(std::memory_order_acquire) != 0;
    f.overload = overload;
    return f;
}

void drawDrivingDisplay(Surface& s, const Rect& square, DrivingDisplay& d, const DrivingFrame& f) {
    SurfaceState keep(s);
    const int32_t ox = square.left, oy = square.top;
    const int32_t width = square.right - square.left, height = square.bottom - square.top;

    s.fillSolid(square, colour::White);
    s.selectPen(Pen{f.overload ? colour::Red : colour::Black, 1});
    s.selectBrush(Brush{colour::White});
    s.rectangle({ox, oy, ox + width, oy + height});

    const DrivingRows rows = drivingRows(d.scrollPosition, d.squareHeight);
    d.firstRow.store(rows.first, std::memory_order_relaxed);
    d.lastRow.store(rows.last, std::memory_order_release);

    const bool vertical = f.direction == DrivingUpDown || f.direction == DrivingDownUp;
    const bool known =
        vertical || f.direction == DrivingLeftRight || f.direction == DrivingRightLeft;
    std::optional<Point> onMarkerRow;
    if (f.track && known && rows.first < rows.last) {
        s.selectPen(Pen{DarkGreen, 5});
        bool first = true;
        for (int32_t i = rows.first; i < rows.last; ++i) {
            float v = f.track[drivingTrackRow(i)];
            if (v > static_cast<float>(d.trackMax)) v = static_cast<float>(d.trackMax);
            if (v < static_cast<float>(d.trackMin)) v = static_cast<float>(d.trackMin);
            const int32_t p = trackOffset(v, d.trackMin, d.trackScale);
            Point pt;
            switch (f.direction) {
                case DrivingUpDown:
                    pt = {p, rows.last - i};
                    break;
                case DrivingDownUp:
                    pt = {p, height - rows.last + i};
                    break;
                case DrivingLeftRight:
                    pt = {rows.last - i, height - p};
                    break;
                default:
                    pt = {height - rows.last + i, height - p};
                    break;
            }
            if (first) {
                s.moveTo(ox + pt.x, oy + pt.y);
                first = false;
            } else {
                s.lineTo(ox + pt.x, oy + pt.y);
            }
            if (vertical ? pt.y == f.markerY : pt.x == f.markerX) onMarkerRow = pt;
        }
    }

    const int32_t mx = ox + f.markerX, my = oy + f.markerY;
    s.selectPen(Pen{colour::Blue, 5});
    s.moveTo(mx - 8, my);
    s.lineTo(mx + 8, my);
    s.moveTo(mx, my - 8);
    s.lineTo(mx, my + 8);

    if (f.recording && onMarkerRow) {
        s.selectPen(Pen{colour::Black, 1});
        s.moveTo(mx, my);
        s.lineTo(ox + onMarkerRow->x, oy + onMarkerRow->y);
    }
}

}  // namespace kenvo
