#include <gtest/gtest.h>

#include <memory>

#include "graphs/display_geometry.h"
#include "graphs/report_controls.h"
#include "model/measurement_store.h"

namespace kenvo {
namespace {

std::unique_ptr<MeasurementStore> storeWith(int32_t seconds,
                                            std::initializer_list<int32_t> lengths) {
    auto store = std::make_unique<MeasurementStore>();
    store->attemptSeconds = seconds;
    int32_t k = 0;
    for (int32_t n : lengths) store->length[static_cast<std::size_t>(k++)] = n;
    store->attemptCount = k;
    return store;
}

TEST(ReportControls, EnteringShowsTheWholeFirstAttemptWithCursorsAtItsEnds) {
    auto store = storeWith(30, {3000, 1200});
    GraphSettings g = GraphSettings::defaults();
    g.y1Parameter = GraphVelocity;
    g.y2Parameter = GraphCopX;
    DisplayState st;
    st.selectedAttempt = 1;
    st.rangeStart = 77;
    enterGraphReport(st, *store, g);
    EXPECT_EQ(st.rangeStart, 0);
    EXPECT_EQ(st.rangeEnd, 3000);
    EXPECT_EQ(st.leftMarker, 0);
    EXPECT_EQ(st.rightMarker, 2999);
    EXPECT_EQ(st.selectedAttempt, 0);
    EXPECT_EQ(st.reportY1, GraphVelocity);
    EXPECT_EQ(st.reportY2, GraphCopX);
    EXPECT_EQ(st.traceStart, -1);

    // The planned duration is lowered to what the first attempt recorded, not raised.
    auto shorter = storeWith(30, {2500});
    enterGraphReport(st, *shorter, g);
    EXPECT_EQ(st.rangeEnd, 2500);
    auto planned = storeWith(20, {2500});
    enterGraphReport(st, *planned, g);
    EXPECT_EQ(st.rangeEnd, 2000);
    EXPECT_EQ(st.rightMarker, 1999);
}

TEST(ReportControls, ZoomShowsTheCursorSpanAndBoundsTheCursors) {
    auto store = storeWith(30, {3000});
    DisplayState st;
    enterGraphReport(st, *store, GraphSettings::defaults());
    st.leftMarker = 500;
    st.rightMarker = 1500;
    EXPECT_TRUE(zoomReport(st));
    EXPECT_EQ(st.rangeStart, 500);
    EXPECT_EQ(st.rangeEnd, 1500);
    EXPECT_FALSE(leftCursorBack(st));
    EXPECT_EQ(st.leftMarker, 500);
    EXPECT_FALSE(rightCursorForward(st));  // already on the range end
    EXPECT_EQ(st.rightMarker, 1500);
    EXPECT_TRUE(rightCursorBack(st));
    EXPECT_EQ(st.rightMarker, 1499);
    EXPECT_TRUE(rightCursorForward(st));
    EXPECT_EQ(st.rightMarker, 1500);
}

TEST(ReportControls, CursorButtonsNeverCrossTheCursors) {
    DisplayState st;
    st.rangeStart = 0;
    st.rangeEnd = 100;
    st.leftMarker = 40;
    st.rightMarker = 41;
    EXPECT_FALSE(rightCursorBack(st));
    EXPECT_FALSE(leftCursorForward(st));  // would put the left cursor onto the right one
    EXPECT_EQ(st.leftMarker, 40);
    EXPECT_EQ(st.rightMarker, 41);
    EXPECT_TRUE(leftCursorBack(st));
    EXPECT_EQ(st.leftMarker, 39);
    EXPECT_TRUE(leftCursorForward(st));
    EXPECT_EQ(st.leftMarker, 40);
    // A zoom on adjacent cursors leaves one sample, never an empty or inverted range.
    EXPECT_TRUE(zoomReport(st));
    EXPECT_EQ(st.rangeEnd - st.rangeStart, 1);
}

TEST(ReportControls, ClicksMoveTheCursorUnderThePointer) {
    const Rect g = panel::TimeGraph;  // 300 .. 710
    DisplayState st;
    st.rangeStart = 100;
    st.rangeEnd = 920;
    st.reportXScale = 0.5;  // two samples per unit
    st.leftMarker = 100;
    st.rightMarker = 919;
    EXPECT_TRUE(reportLeftClick(st, g, 321, 200));
    EXPECT_EQ(st.leftMarker, 142);
    EXPECT_FALSE(reportLeftClick(st, g, 321, 200));  // the same sample again
    EXPECT_TRUE(reportRightClick(st, g, 400, 200));
    EXPECT_EQ(st.rightMarker, 300);
    // The left cursor may not reach the right one, nor the right one the left.
    EXPECT_FALSE(reportLeftClick(st, g, 400, 200));
    EXPECT_FALSE(reportRightClick(st, g, 321, 200));
    EXPECT_FALSE(reportRightClick(st, g, 310, 200));
    EXPECT_EQ(st.leftMarker, 142);
    EXPECT_EQ(st.rightMarker, 300);
    // Outside the graph, including its right and bottom edges.
    EXPECT_FALSE(reportLeftClick(st, g, 299, 200));
    EXPECT_FALSE(reportRightClick(st, g, 710, 200));
    EXPECT_FALSE(reportLeftClick(st, g, 301, 350));
    EXPECT_FALSE(reportLeftClick(st, g, 301, 149));
    // Before the graph was drawn there is no scale to turn a position into a sample.
    st.reportXScale = 0.0;
    EXPECT_FALSE(reportLeftClick(st, g, 305, 200));
    EXPECT_EQ(st.leftMarker, 142);
}

TEST(ReportControls, AttemptChangeKeepsAZoomedStartOnlyWhenItFits) {
    auto store = storeWith(30, {3000, 2000, 400});
    DisplayState st;
    enterGraphReport(st, *store, GraphSettings::defaults());
    st.leftMarker = 500;
    st.rightMarker = 1500;
    zoomReport(st);
    st.replayStep = 3;
    EXPECT_TRUE(selectReportAttempt(st, *store, 1));
    EXPECT_EQ(st.selectedAttempt, 1);
    EXPECT_EQ(st.rangeStart, 500);
    EXPECT_EQ(st.rangeEnd, 2000);
    EXPECT_EQ(st.leftMarker, 500);
    EXPECT_EQ(st.rightMarker, 1999);
    EXPECT_EQ(st.replayStep, 0);
    // Attempt 2 ends before sample 500: its whole length is shown instead of nothing.
    EXPECT_TRUE(selectReportAttempt(st, *store, 2));
    EXPECT_EQ(st.rangeStart, 0);
    EXPECT_EQ(st.rangeEnd, 400);
    EXPECT_EQ(st.leftMarker, 0);
    EXPECT_EQ(st.rightMarker, 399);
    EXPECT_FALSE(selectReportAttempt(st, *store, 3));
    EXPECT_FALSE(selectReportAttempt(st, *store, -1));
    EXPECT_EQ(st.selectedAttempt, 2);
}

TEST(ReportControls, WholeAttemptUndoesZoomsAndKeepsTheCursorsThatFit) {
    auto store = storeWith(30, {3000, 2000});
    DisplayState st;
    enterGraphReport(st, *store, GraphSettings::defaults());
    EXPECT_FALSE(reportZoomed(st, *store));
    EXPECT_FALSE(showWholeAttempt(st, *store)) << "nothing to undo";
    EXPECT_EQ(st.rightMarker, 2999);

    // Two zooms deep, then back in one step; the cursors still mark the zoomed part.
    st.leftMarker = 500;
    st.rightMarker = 1500;
    zoomReport(st);
    st.leftMarker = 700;
    zoomReport(st);
    EXPECT_TRUE(reportZoomed(st, *store));
    EXPECT_TRUE(showWholeAttempt(st, *store));
    EXPECT_EQ(st.rangeStart, 0);
    EXPECT_EQ(st.rangeEnd, 3000);
    EXPECT_EQ(st.leftMarker, 700);
    EXPECT_EQ(st.rightMarker, 1500);
    EXPECT_FALSE(reportZoomed(st, *store));

    // A zoomed start kept by the attempt combo is undone for the attempt now shown.
    zoomReport(st);
    selectReportAttempt(st, *store, 1);
    EXPECT_EQ(st.rangeStart, 700);
    EXPECT_TRUE(showWholeAttempt(st, *store));
    EXPECT_EQ(st.rangeStart, 0);
    EXPECT_EQ(st.rangeEnd, 2000);

    // Cursors that do not fit the attempt go to its ends.
    st.rangeStart = 10;
    st.leftMarker = 1900;
    st.rightMarker = 2500;
    EXPECT_TRUE(showWholeAttempt(st, *store));
    EXPECT_EQ(st.leftMarker, 0);
    EXPECT_EQ(st.rightMarker, 1999);

    // The planned length lower than the recorded one: the whole attempt is what was recorded.
    auto longer = storeWith(20, {2500});
    enterGraphReport(st, *longer, GraphSettings::defaults());
    EXPECT_TRUE(reportZoomed(st, *longer));
    EXPECT_TRUE(showWholeAttempt(st, *longer));
    EXPECT_EQ(st.rangeEnd, 2500);
    EXPECT_EQ(st.rightMarker, 1999);
}

TEST(ReportControls, EnteringTheReportShowsTheSettingsAxesAgain) {
    auto store = storeWith(30, {3000});
    DisplayState st;
    st.reportFitY = true;
    enterGraphReport(st, *store, GraphSettings::defaults());
    EXPECT_FALSE(st.reportFitY);
}

TEST(ReportControls, AxisCombosWriteTheGraphSettings) {
    GraphSettings g = GraphSettings::defaults();
    DisplayState st;
    EXPECT_TRUE(selectReportY1(st, g, GraphVelocity));
    EXPECT_TRUE(selectReportY2(st, g, GraphCopX));
    EXPECT_EQ(st.reportY1, GraphVelocity);
    EXPECT_EQ(g.y1Parameter, GraphVelocity);
    EXPECT_EQ(st.reportY2, GraphCopX);
    EXPECT_EQ(g.y2Parameter, GraphCopX);
    EXPECT_FALSE(selectReportY1(st, g, 4));
    EXPECT_FALSE(selectReportY2(st, g, -1));
    EXPECT_EQ(g.y1Parameter, GraphVelocity);
    EXPECT_EQ(g.y2Parameter, GraphCopX);
    // The diffusion page's combos write their own pair.
    EXPECT_TRUE(selectDiffusionY1(st, g, DiffusionR2));
    EXPECT_TRUE(selectDiffusionY2(st, g, DiffusionY));
    EXPECT_FALSE(selectDiffusionY1(st, g, 4));
    EXPECT_EQ(g.daY1Parameter, DiffusionR2);
    EXPECT_EQ(g.daY2Parameter, DiffusionY);
    EXPECT_EQ(g.y1Parameter, GraphVelocity);
}

TEST(DiffusionControls, MarkerStaysWithinTheDisplayedLags) {
    auto store = storeWith(30, {3000});
    GraphSettings g = GraphSettings::defaults();
    DisplayState st;
    st.leftMarker = 12;
    enterDiffusionGraph(st, *store, g);
    EXPECT_EQ(st.rangeStart, 0);
    EXPECT_EQ(st.rangeEnd, 1000);
    EXPECT_EQ(st.leftMarker, 0);
    EXPECT_EQ(st.reportY1, DiffusionR);
    EXPECT_EQ(st.reportY2, DiffusionX);
    EXPECT_FALSE(diffusionMarkerBack(st));
    EXPECT_EQ(st.leftMarker, 0);
    st.leftMarker = 1000;
    EXPECT_FALSE(diffusionMarkerForward(st));
    EXPECT_EQ(st.leftMarker, 1000);
    EXPECT_TRUE(diffusionMarkerBack(st));
    EXPECT_EQ(st.leftMarker, 999);

    auto shortOne = storeWith(30, {640});
    enterDiffusionGraph(st, *shortOne, g);
    EXPECT_EQ(st.rangeEnd, 640);
}

TEST(DiffusionControls, ClickPutsTheMarkerOnTheLagUnderThePointer) {
    const Rect g = panel::DiffusionGraph;  // 80 .. 710
    DisplayState st;
    st.rangeStart = 0;
    st.rangeEnd = 1000;
    st.reportXScale = 0.5;
    EXPECT_TRUE(diffusionClick(st, g, 80 + 50, 200));
    EXPECT_EQ(st.leftMarker, 100);
    EXPECT_TRUE(diffusionClick(st, g, 80, 200));
    EXPECT_EQ(st.leftMarker, 0);
    EXPECT_FALSE(diffusionClick(st, g, 79, 200));
    EXPECT_FALSE(diffusionClick(st, g, 200, 360));
    EXPECT_EQ(st.leftMarker, 0);
}

}  // namespace
}  // namespace kenvo
