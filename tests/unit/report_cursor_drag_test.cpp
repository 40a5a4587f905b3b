// Taking hold of a report cursor with the mouse and dragging it, and how that leaves plain
// clicks as they were.
#include <gtest/gtest.h>

#include "graphs/display_geometry.h"
#include "graphs/report_controls.h"
#include "graphs/report_cursor_drag.h"

namespace kenvo {
namespace {

using Button = ReportPointer::Button;

// The time graph 300..710 showing samples 0 .. 409 (one view unit per sample), the cursors on
// samples 100 and 300 (drawn at x 400 and 600).
DisplayState report(int32_t left = 100, int32_t right = 300) {
    DisplayState st;
    st.rangeStart = 0;
    st.rangeEnd = 410;
    st.reportXScale = 1.0;
    st.leftMarker = left;
    st.rightMarker = right;
    return st;
}

const Rect G = panel::TimeGraph;

TEST(ReportCursorDrag, APressTakesHoldOfTheCursorWithinAFewUnits) {
    const DisplayState st = report();
    EXPECT_EQ(reportCursorNear(st, G, 400, 250, ReportCursor::Left), ReportCursor::Left);
    EXPECT_EQ(reportCursorNear(st, G, 400 + CursorGrabDistance, 250, ReportCursor::Left),
              ReportCursor::Left);
    EXPECT_EQ(reportCursorNear(st, G, 400 - CursorGrabDistance - 1, 250, ReportCursor::Left),
              ReportCursor::None);
    EXPECT_EQ(reportCursorNear(st, G, 597, 250, ReportCursor::Left), ReportCursor::Right);
    // Only along the line, from the graph's top to its bottom.
    EXPECT_EQ(reportCursorNear(st, G, 400, G.top - 1, ReportCursor::Left), ReportCursor::None);
    EXPECT_EQ(reportCursorNear(st, G, 400, G.bottom, ReportCursor::Left), ReportCursor::Left);
    // Before the graph was drawn there is no line to hold.
    DisplayState undrawn = st;
    undrawn.reportXScale = 0.0;
    EXPECT_EQ(reportCursorNear(undrawn, G, 400, 250, ReportCursor::Left), ReportCursor::None);
}

TEST(ReportCursorDrag, CursorsCloseTogetherGoToTheNearerThenToTheButtonsOwn) {
    const DisplayState st = report(100, 103);  // lines at 400 and 403
    EXPECT_EQ(reportCursorNear(st, G, 399, 250, ReportCursor::Right), ReportCursor::Left);
    EXPECT_EQ(reportCursorNear(st, G, 404, 250, ReportCursor::Left), ReportCursor::Right);
    const DisplayState same = report(100, 100);  // one on the other
    EXPECT_EQ(reportCursorNear(same, G, 400, 250, ReportCursor::Left), ReportCursor::Left);
    EXPECT_EQ(reportCursorNear(same, G, 400, 250, ReportCursor::Right), ReportCursor::Right);
    // The cursor positions are those of the drawing, truncated: 410 units over 3000 samples.
    DisplayState whole = report(0, 2999);
    whole.rangeEnd = 3000;
    whole.reportXScale = 410.0 / 3000.0;
    EXPECT_EQ(reportCursorX(whole, G.left, 2999), 709);
    EXPECT_EQ(reportCursorNear(whole, G, 712, 250, ReportCursor::Left), ReportCursor::Right);
}

TEST(ReportCursorDrag, DraggingFollowsThePointerWithinTheRangeAndTheOtherCursor) {
    DisplayState st = report();
    EXPECT_TRUE(dragReportCursor(st, G, ReportCursor::Left, 450));
    EXPECT_EQ(st.leftMarker, 150);
    EXPECT_FALSE(dragReportCursor(st, G, ReportCursor::Left, 450));  // already there
    // Not past the right cursor, nor before the range.
    dragReportCursor(st, G, ReportCursor::Left, 690);
    EXPECT_EQ(st.leftMarker, 299);
    dragReportCursor(st, G, ReportCursor::Left, 100);
    EXPECT_EQ(st.leftMarker, 0);
    // The right one not before the left one, nor beyond the last displayed sample.
    dragReportCursor(st, G, ReportCursor::Right, 250);
    EXPECT_EQ(st.rightMarker, 1);
    dragReportCursor(st, G, ReportCursor::Right, 5000);
    EXPECT_EQ(st.rightMarker, 409);

    // Many samples per unit: the sample whose position is nearest the pointer.
    DisplayState whole = report(0, 2999);
    whole.rangeEnd = 3000;
    whole.reportXScale = 410.0 / 3000.0;
    dragReportCursor(whole, G, ReportCursor::Left, 400);  // 100 / 0.13667 = 731.7
    EXPECT_EQ(whole.leftMarker, 732);

    // A zoom into two adjacent samples leaves neither cursor room to move.
    DisplayState tight = report(200, 201);
    zoomReport(tight);
    tight.reportXScale = 410.0;
    EXPECT_FALSE(dragReportCursor(tight, G, ReportCursor::Left, 700));
    EXPECT_FALSE(dragReportCursor(tight, G, ReportCursor::Right, 300));
    EXPECT_EQ(tight.leftMarker, 200);
    EXPECT_EQ(tight.rightMarker, 201);
}

TEST(ReportCursorDrag, PressMoveReleaseDragsTheHeldCursorToWhereThePointerEnded) {
    DisplayState st = report();
    ReportPointer pointer;
    pointer.press(st, G, 601, 250, Button::Left);  // on the right cursor
    EXPECT_EQ(pointer.held(), ReportCursor::Right);
    EXPECT_EQ(st.leftMarker, 100) << "the left button's click waits while it holds the right one";
    EXPECT_TRUE(pointer.move(st, G, 620));
    EXPECT_EQ(st.rightMarker, 320);
    EXPECT_TRUE(pointer.move(st, G, 650));
    // The pointer may leave the graph vertically and still drag.
    EXPECT_TRUE(pointer.release(st, G, 660, Button::Left));
    EXPECT_EQ(st.rightMarker, 360);
    EXPECT_EQ(st.leftMarker, 100);
    EXPECT_EQ(pointer.held(), ReportCursor::None);
    // After the release, moves are only moves.
    EXPECT_FALSE(pointer.move(st, G, 500));
    EXPECT_EQ(st.rightMarker, 360);
}

TEST(ReportCursorDrag, APlainClickDoesWhatAClickDid) {
    // Far from both cursors: the left button places the left cursor at once.
    DisplayState st = report();
    DisplayState clicked = report();
    ReportPointer pointer;
    EXPECT_TRUE(pointer.press(st, G, 350, 250, Button::Left));
    reportLeftClick(clicked, G, 350, 250);
    EXPECT_EQ(st.leftMarker, clicked.leftMarker);
    EXPECT_FALSE(pointer.release(st, G, 350, Button::Left));
    EXPECT_FALSE(pointer.move(st, G, 380)) << "no cursor is held after a click away from them";

    // On its own cursor the click is done at once and the cursor then held.
    st = report();
    EXPECT_TRUE(pointer.press(st, G, 403, 250, Button::Left));
    EXPECT_EQ(st.leftMarker, 103);
    EXPECT_EQ(pointer.held(), ReportCursor::Left);
    EXPECT_FALSE(pointer.release(st, G, 403, Button::Left));
    EXPECT_EQ(st.leftMarker, 103);

    // The right button on the left cursor: the click on release, as the click had it.
    st = report();
    clicked = report();
    EXPECT_FALSE(pointer.press(st, G, 402, 250, Button::Right));
    EXPECT_EQ(st.rightMarker, 300);
    EXPECT_TRUE(pointer.release(st, G, 402, Button::Right));
    reportRightClick(clicked, G, 402, 250);
    EXPECT_EQ(st.rightMarker, clicked.rightMarker);
    EXPECT_EQ(st.rightMarker, 102);
    EXPECT_EQ(st.leftMarker, 100);
}

TEST(ReportCursorDrag, AnotherButtonOrALostReleaseDoesNotKeepTheDrag) {
    DisplayState st = report();
    ReportPointer pointer;
    pointer.press(st, G, 400, 250, Button::Left);
    // Another button's release is not the end of this drag.
    EXPECT_FALSE(pointer.release(st, G, 450, Button::Right));
    EXPECT_EQ(pointer.held(), ReportCursor::Left);
    // A new press (its release was lost) starts afresh, here a click away from the cursors.
    pointer.press(st, G, 500, 250, Button::Left);
    EXPECT_EQ(pointer.held(), ReportCursor::None);
    EXPECT_EQ(st.leftMarker, 200);
    pointer.press(st, G, 600, 250, Button::Right);
    pointer.cancel();
    EXPECT_FALSE(pointer.move(st, G, 650));
    EXPECT_EQ(st.rightMarker, 300);
    // A middle button does nothing at all.
    EXPECT_FALSE(pointer.press(st, G, 600, 250, Button::Other));
    EXPECT_EQ(pointer.held(), ReportCursor::None);
}

}  // namespace
}  // namespace kenvo
