#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "graphs/driving_display.h"
#include "graphs/recording_surface.h"
#include "model/limits.h"
#include "model/measurement_store.h"
#include "platform/acquisition_control.h"

namespace kenvo {
namespace {

using Kind = RecordingSurface::Kind;

// A 100-unit square at (10, 20); the track spans -50..50 mm at one unit per mm.
const Rect Square{10, 20, 110, 120};

struct Polyline {
    std::vector<Point> points;
    Rgb colour{};
    int32_t width = 0;
};

// The first polyline (a move and the lines after it) drawn in `colour`.
Polyline firstPolyline(const RecordingSurface& s, Rgb colour) {
    Polyline line;
    for (const auto& op : s.ops()) {
        if (op.kind != Kind::MoveTo && op.kind != Kind::LineTo) continue;
        if (op.colour != colour) {
            if (!line.points.empty()) break;
            continue;
        }
        if (op.kind == Kind::MoveTo && !line.points.empty()) break;
        line.points.push_back({op.rect.left, op.rect.top});
        line.colour = op.colour;
        line.width = op.penWidth;
    }
    return line;
}

class DrivingDraw : public ::testing::Test {
  protected:
    void SetUp() override {
        track.assign(MaxSamples, 0.0f);
        display.trackMin = -50;
        display.trackMax = 50;
        display.trackScale = 1.0;
        display.squareHeight = 100;
        display.scrollPosition = 2000;  // rows 100..199 visible
        track[199] = 40.0f;             // the newest row: 90 units across
        track[100] = -40.0f;            // the oldest: 10 units across
        frame.track = track.data();
        frame.markerX = 50;
        frame.markerY = 1;
    }

    Polyline draw() {
        s.clear();
        drawDrivingDisplay(s, Square, display, frame);
        return firstPolyline(s, DarkGreen);
    }

    std::vector<float> track;
    DrivingDisplay display;
    DrivingFrame frame;
    RecordingSurface s;
};

TEST_F(DrivingDraw, FourDirections) {
    frame.direction = DrivingUpDown;
    Polyline t = draw();
    ASSERT_EQ(t.points.size(), 100u);
    EXPECT_EQ(t.width, 5);
    EXPECT_EQ(display.firstRow.load(), 100);
    EXPECT_EQ(display.lastRow.load(), 200);
    EXPECT_EQ(t.points.front(), (Point{20, 120}));  // oldest row at the bottom
    EXPECT_EQ(t.points.back(), (Point{100, 21}));   // newest at the top
    EXPECT_EQ(s.ops().front().kind, Kind::Fill);

    frame.direction = DrivingDownUp;
    t = draw();
    EXPECT_EQ(t.points.front(), (Point{20, 20}));
    EXPECT_EQ(t.points.back(), (Point{100, 119}));  // newest at the bottom

    frame.direction = DrivingLeftRight;
    t = draw();
    EXPECT_EQ(t.points.front(), (Point{110, 110}));
    EXPECT_EQ(t.points.back(), (Point{11, 30}));  // newest at the left, the value upward

    frame.direction = DrivingRightLeft;
    t = draw();
    EXPECT_EQ(t.points.front(), (Point{10, 110}));
    EXPECT_EQ(t.points.back(), (Point{109, 30}));  // newest at the right

    // An unknown direction draws no track, but the frame and the marker.
    frame.direction = 7;
    EXPECT_TRUE(draw().points.empty());
    EXPECT_FALSE(firstPolyline(s, colour::Blue).points.empty());
}

TEST_F(DrivingDraw, TrackValuesClampedIntoTheRange) {
    track[150] = 80.0f;
    track[151] = -200.0f;
    const Polyline t = draw();
    EXPECT_EQ(t.points[50], (Point{110, 70}));  // 50 -> 100 units across
    EXPECT_EQ(t.points[51], (Point{10, 69}));
}

TEST_F(DrivingDraw, RowsBeforeStartAndPastTheTrackEnd) {
    display.scrollPosition = -10;  // armed, not scrolling
    EXPECT_TRUE(draw().points.empty());
    EXPECT_EQ(display.firstRow.load(), 0);
    EXPECT_EQ(display.lastRow.load(), -1);

    display.scrollPosition = 500;  // 50 rows in: from row 0
    EXPECT_EQ(draw().points.size(), 50u);
    EXPECT_EQ(display.firstRow.load(), 0);

    // Far past the attempt's 31000 rows the track goes on with its last row.
    track[MaxSamples - 1] = 25.0f;
    display.scrollPosition = 320000;
    const Polyline t = draw();
    ASSERT_EQ(t.points.size(), 100u);
    EXPECT_EQ(display.firstRow.load(), 31900);
    for (const Point& p : t.points) EXPECT_EQ(p.x, 10 + 75);
    EXPECT_EQ(drivingTrackRow(-3), 0);
    EXPECT_EQ(drivingTrackRow(40000), MaxSamples - 1);
}

TEST_F(DrivingDraw, FrameRedWhileOverloaded) {
    draw();
    const auto frames = s.of(Kind::Rectangle);
    ASSERT_EQ(frames.size(), 1u);
    EXPECT_EQ(frames[0]->rect, Square);
    EXPECT_EQ(frames[0]->colour, colour::Black);
    EXPECT_EQ(frames[0]->fill, colour::White);
    frame.overload = true;
    draw();
    EXPECT_EQ(s.of(Kind::Rectangle).at(0)->colour, colour::Red);
}

TEST_F(DrivingDraw, MarkerAndDeviationLineOnlyWhileRecording) {
    frame.direction = DrivingUpDown;
    draw();
    const Polyline marker = firstPolyline(s, colour::Blue);
    EXPECT_EQ(marker.width, 5);
    EXPECT_EQ(marker.points, (std::vector<Point>{{52, 21}, {68, 21}}));
    EXPECT_TRUE(firstPolyline(s, colour::Black).points.empty());

    frame.recording = true;
    draw();
    // The marker's row is y = 1, the newest track row, 90 units across.
    const Polyline deviation = firstPolyline(s, colour::Black);
    EXPECT_EQ(deviation.width, 1);
    EXPECT_EQ(deviation.points, (std::vector<Point>{{60, 21}, {100, 21}}));

    // Horizontal scrolling matches on the marker's x: x = 50 is row 150 (value 0).
    frame.direction = DrivingLeftRight;
    draw();
    EXPECT_EQ(firstPolyline(s, colour::Black).points, (std::vector<Point>{{60, 21}, {60, 70}}));

    // No track point on the marker's row: no line.
    frame.markerY = 300;
    frame.direction = DrivingUpDown;
    draw();
    EXPECT_TRUE(firstPolyline(s, colour::Black).points.empty());
}

TEST(DrivingFrameFromStore, ReadsTheCurrentAttemptAndTheMarker) {
    auto store = std::make_unique<MeasurementStore>();
    AcquisitionControl control;
    store->attemptCount = 2;
    store->settings.drivingDirection = DrivingRightLeft;
    control.markerX = 33;
    control.markerY = 44;
    control.recording = 1;
    const DrivingFrame f = drivingFrame(*store, control, true);
    EXPECT_EQ(f.track, store->track(2));
    EXPECT_EQ(f.direction, DrivingRightLeft);
    EXPECT_EQ(f.markerX, 33);
    EXPECT_EQ(f.markerY, 44);
    EXPECT_TRUE(f.recording);
    EXPECT_TRUE(f.overload);
    store->attemptCount = MaxAttempts;  // every slot used: no track to show
    EXPECT_EQ(drivingFrame(*store, control, false).track, nullptr);
}

}  // namespace
}  // namespace kenvo
