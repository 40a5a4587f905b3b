#include <gtest/gtest.h>

#include <memory>

#include "graphs/recording_surface.h"
#include "reports/printed_report.h"
#include "reports/view_print.h"

namespace kenvo {
namespace {

struct GraphsRecorder final : PrintedGraphs {
    void subjectStrip(Surface& s, const Rect& upper, const Rect&) override {
        ++strips;
        s.text(upper, "subject", TextAlign::Left);
    }
    void graphs(Surface&, int32_t mode, const Rect& left, const Rect& right, const Rect& diffusion) override {
        ++graphCalls;
        lastMode = mode;
        boxes = {left, right, diffusion};
    }
    int strips = 0, graphCalls = 0, lastMode = -1;
    std::array<Rect, 3> boxes{};
};

TableContent summaryRows(int n) {
    TableContent t;
    t.table = SummaryTable::Summary;
    t.shownColumns = 6;
    for (int i = 0; i < n; ++i) t.rows.push_back({std::to_string(i + 1), "a", "b", "c", "d", "e"});
    return t;
}

TEST(PrintedReport, PageCountsAndRowRanges) {
    EXPECT_EQ(printPageCount(0), 1);
    EXPECT_EQ(printPageCount(24), 1);
    EXPECT_EQ(printPageCount(25), 2);
    EXPECT_EQ(printPageCount(51), 2);
    EXPECT_EQ(printPageCount(52), 3);
    EXPECT_EQ(pageRows(1, 25).end, 24);
    EXPECT_EQ(pageRows(2, 25).first, 24);
    EXPECT_EQ(pageRows(2, 25).end, 25);
    EXPECT_EQ(pageRows(3, 52).first, 51);
    EXPECT_EQ(pageRows(3, 52).end, 52);
    EXPECT_EQ(pageRows(4, 52).first, 52);  // past the end: empty
    EXPECT_EQ(pageRows(4, 52).end, 52);
    EXPECT_EQ(printFooterCount(2, 100), 1);
}

TEST(PrintedReport, TitlesByViewMode) {
    EXPECT_EQ(reportTitle(4), "DIGITAL SUMMARY REPORT");
    EXPECT_EQ(reportTitle(13), "Frequency REPORT");
    EXPECT_EQ(reportTitle(10), "TASK REPORT");
    EXPECT_EQ(reportTitle(8), "REPORT");
    EXPECT_EQ(reportTitle(0), "REPORT");
}

TEST(PrintedReport, SecondPageRepeatsColumnTitlesAndHoldsTheLastRow) {
    const TableContent table = summaryRows(25);
    const PrintJob job{4, &table, TestModeStance, 25};
    ASSERT_EQ(jobPageCount(job), 2);
    RecordingSurface page(true);
    GraphsRecorder graphs;
    drawPrintedPage(page, job, 2, graphs);
    EXPECT_NE(page.findText("Page: 2/2"), nullptr);
    EXPECT_NE(page.findText("DIGITAL SUMMARY REPORT"), nullptr);
    EXPECT_EQ(graphs.strips, 0);  // the subject strip is on page 1 only
    const auto* title = page.findText("Attempt\r#");
    ASSERT_NE(title, nullptr);
    EXPECT_EQ(title->rect, (Rect{0, -170, 175, -300}));
    const auto* row = page.findText("25");
    ASSERT_NE(row, nullptr);
    EXPECT_EQ(row->rect, (Rect{0, -240, 145, -320}));
    EXPECT_EQ(row->font, ViewFont::PrintNormal);
    EXPECT_EQ(page.findText("24"), nullptr);

    RecordingSurface first(true);
    drawPrintedPage(first, job, 1, graphs);
    EXPECT_EQ(graphs.strips, 1);
    EXPECT_EQ(first.textOp("1").rect, (Rect{0, -600, 145, -680}));
    EXPECT_EQ(first.textOp("24").rect.bottom, -680 - 23 * 80);
}

TEST(PrintedReport, DrivingSummaryPrintsWithoutColumnTitles) {
    TableContent t;
    t.table = SummaryTable::DrivingSummary;
    t.rows = {{"Average distance:", "", ""}};
    RecordingSurface page(true);
    GraphsRecorder graphs;
    drawPrintedPage(page, {12, &t, TestModeDriving, 1}, 1, graphs);
    EXPECT_NE(page.findText("DRIVING REPORT"), nullptr);
    // Title line (title, page number), subject strip, then only the row's three cells.
    EXPECT_EQ(page.texts().size(), 2u + 1u + 3u);
}

TEST(PrintedReport, AttemptTablePrintsFourOfSevenColumnsUnlessDriving) {
    TableContent t;
    t.table = SummaryTable::Attempt;
    t.rows = {{"10", "1.0", "2.0", "3.0", "", "", ""}};
    GraphsRecorder graphs;
    RecordingSurface stance(true);
    drawPrintedPage(stance, {3, &t, TestModeStance, 1}, 1, graphs);
    EXPECT_EQ(stance.texts().size(), 3u + 4u + 4u);  // title line and strip, 4 titles, 4 cells
    EXPECT_EQ(stance.textOp("COP Y\r(mm)").rect.right - stance.textOp("COP Y\r(mm)").rect.left, 280);
    EXPECT_EQ(stance.textOp("Time\r(ms)").align, TextAlign::Right);
    RecordingSurface driving(true);
    drawPrintedPage(driving, {3, &t, TestModeDriving, 1}, 1, graphs);
    EXPECT_EQ(driving.texts().size(), 3u + 7u + 7u);
}

TEST(PrintedReport, GraphModesPrintOnePageAndIdleModesOnlyTheHeader) {
    const TableContent rows = summaryRows(60);  // rows left in the hidden list
    GraphsRecorder graphs;
    RecordingSurface report(true);
    const PrintJob job{8, nullptr, TestModeStance, 60};
    EXPECT_EQ(jobPageCount(job), 1);
    drawPrintedPage(report, job, 1, graphs);
    EXPECT_EQ(graphs.graphCalls, 1);
    EXPECT_EQ(graphs.lastMode, 8);
    EXPECT_EQ(graphs.boxes[0], (Rect{100, -750, 700, -1350}));
    EXPECT_NE(report.findText("Page: 1/1"), nullptr);
    RecordingSurface idle(true);
    drawPrintedPage(idle, {0, &rows, TestModeStance, 60}, 1, graphs);
    EXPECT_EQ(graphs.graphCalls, 1);
    EXPECT_EQ(idle.texts().size(), 3u);  // title, page number, subject
    EXPECT_EQ(idle.of(RecordingSurface::Kind::LineTo).size(), 4u);  // the closed title frame
}

TEST(PrintedReport, SubjectStripCarriesTheAttemptAsTheStanceAndReplayViewsShowIt) {
    auto store = std::make_unique<MeasurementStore>();
    store->subject.name = "Strip";
    const GraphSettings g = GraphSettings::defaults();
    DisplayState display;
    display.selectedAttempt = 2;
    const StanceContext ctx{.graph = g, .store = *store, .state = display};
    ViewPrintedGraphs graphs(ctx, nullptr);
    for (const int mode : {0, 1, 2, 4, 8}) {
        graphs.viewMode = mode;
        RecordingSurface page(true);
        graphs.subjectStrip(page, page::SubjectUpper, page::SubjectLower);
        const bool withAttempt = mode == 1 || mode == 2;
        EXPECT_EQ(page.findText("Attempt:") != nullptr, withAttempt) << mode;
        EXPECT_EQ(page.findText("3") != nullptr, withAttempt) << mode;
        EXPECT_NE(page.findText("Strip"), nullptr) << mode;
    }
}

TEST(SurfaceText, MultilineTextSplitsAtLineBreaksAndStepsDownThePage) {
    RecordingSurface paper(true);
    paper.selectFont(ViewFont::PrintBold);
    paper.Surface::multilineText({0, -100, 200, -300}, "Length X\r(mm)\r\nthird", TextAlign::Centre);
    const auto lines = paper.texts();
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0]->text, "Length X");
    EXPECT_EQ(lines[0]->rect, (Rect{0, -100, 200, -136}));
    EXPECT_EQ(lines[1]->text, "(mm)");
    EXPECT_EQ(lines[1]->rect.top, -136);
    EXPECT_EQ(lines[2]->text, "third");
    RecordingSurface screen;
    screen.Surface::multilineText({0, 10, 100, 50}, "a\nb", TextAlign::Left);
    EXPECT_EQ(screen.texts()[1]->rect, (Rect{0, 24, 100, 38}));
}

}  // namespace
}  // namespace kenvo
