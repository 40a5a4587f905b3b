// The graph report's tools in the window: the way back from a zoom and the value axes fitted
// to the shown data (View menu; they leave the settings and the saved configuration alone),
// and the cursors dragged with the mouse.
#include <QAction>
#include <QComboBox>
#include <QMenu>
#include <QTest>
#include <cmath>

#include "app_fixture.h"
#include "bar_setup.h"
#include "command_ids.h"
#include "dialog_bar.h"
#include "files/configuration_file.h"
#include "files/file_bytes.h"
#include "graphs/display_geometry.h"
#include "support/synthetic_sway.h"

namespace kenvo::test {
namespace {

class ReportTools : public AppFixture {
  protected:
    void SetUp() override {
        AppFixture::SetUp();
        // Two stance attempts of 30 s, each its own synthetic sway.
        MeasurementStore& s = state().store;
        s.attemptSeconds = 30;
        for (int a = 0; a < 2; ++a) {
            const auto sway = syntheticSway(3000, uint32_t(a + 1));
            std::copy(sway.begin(), sway.end(), s.samples(a));
            s.length[size_t(a)] = 3000;
        }
        s.attemptCount = 2;
        s.calibration = PlatformCalibration{175.0f, 276.0f, {0, 0, 0, 0}};
        s.dataPresent = 1;
        s.dataSaved = 1;
        view().resize(760, 420);
        frame().runCommand(CmdGraphReport);
    }
    CKenvoPlatView& view() { return *frame().view(); }
    DisplayState& display() { return view().display(); }
    QAction* entry(int id) { return frame().action(id); }
    void chooseCombo(int id, int index) {
        QComboBox* box = frame().dialogBar()->combo(id);
        ASSERT_TRUE(box) << id;
        box->setCurrentIndex(index);
        emit box->activated(index);
    }
    // The drawn view, copied (redraws replace the backing image).
    QImage drawn() { return view().backing().copy(); }
    // The x at which the time graph draws a cursor on `sample`.
    int cursorX(int sample) {
        return G.left + int(double(sample - display().rangeStart) * display().reportXScale);
    }
    bool blackLineAt(const QImage& image, int x) {
        int black = 0;
        for (int y = G.top + 1; y < G.bottom - 1; ++y)
            black += image.pixelColor(x, y) == QColor(0, 0, 0);
        return black > (G.bottom - G.top) / 2;
    }
    const Rect G = panel::TimeGraph;
};

TEST_F(ReportTools, WholeAttemptComesBackFromZooms) {
    ASSERT_EQ(view().mode(), ViewMode::GraphReport);
    QAction* whole = entry(CmdWholeAttempt);
    ASSERT_TRUE(whole);
    EXPECT_TRUE(whole->isEnabled());
    const QImage unzoomed = drawn();
    // Not zoomed: nothing changes.
    whole->trigger();
    EXPECT_EQ(drawn(), unzoomed);
    EXPECT_EQ(display().rangeEnd, 3000);
    EXPECT_EQ(display().rightMarker, 2999);

    display().leftMarker = 800;
    display().rightMarker = 1700;
    frame().runCommand(32813);  // Zoom
    ASSERT_EQ(display().rangeStart, 800);
    ASSERT_EQ(display().rangeEnd, 1700);

    whole->trigger();
    EXPECT_EQ(display().rangeStart, 0);
    EXPECT_EQ(display().rangeEnd, 3000);
    // The cursors still mark the part that was zoomed into, ready for the next zoom.
    EXPECT_EQ(display().leftMarker, 800);
    EXPECT_EQ(display().rightMarker, 1700);
    EXPECT_TRUE(blackLineAt(drawn(), cursorX(800)));
    EXPECT_TRUE(blackLineAt(drawn(), cursorX(1700)));
    // With the cursors back at the ends the page is the one first drawn.
    display().leftMarker = 0;
    display().rightMarker = 2999;
    view().redraw();
    EXPECT_EQ(drawn(), unzoomed);

    // After a zoom into the second attempt the way back is to that attempt's whole length.
    chooseCombo(BarAttemptCombo, 1);
    display().leftMarker = 100;
    display().rightMarker = 200;
    frame().runCommand(32813);
    frame().runCommand(CmdWholeAttempt);
    EXPECT_EQ(display().selectedAttempt, 1);
    EXPECT_EQ(display().rangeEnd, 3000);
    EXPECT_TRUE(port.messages.isEmpty());

    // Outside the report the entry has nothing to act on and leaves the view alone.
    frame().runCommand(CmdSummary);
    whole->trigger();
    EXPECT_EQ(view().mode(), ViewMode::Summary);
    EXPECT_EQ(display().rangeEnd, 3000);
}

TEST_F(ReportTools, FitYRescalesTheDrawingButNotTheSettingsOrTheSavedConfiguration) {
    const GraphSettings before = state().settings.graph;
    const std::vector<uint8_t> configuration =
        encodeConfiguration(state().settings, state().store.attemptSeconds);
    const QImage plain = drawn();
    // The Y1 labels left of the graph and the Y2 labels right of it.
    const QRect y1Labels(G.left - 40, G.top - 10, 36, G.bottom - G.top + 20);
    const QRect y2Labels(G.right + 5, G.top - 10, 36, G.bottom - G.top + 20);

    QAction* fit = entry(CmdFitY);
    ASSERT_TRUE(fit);
    EXPECT_TRUE(fit->isCheckable());
    EXPECT_FALSE(fit->isChecked());
    fit->trigger();
    EXPECT_TRUE(display().reportFitY);
    EXPECT_TRUE(fit->isChecked());
    const QImage fitted = drawn();
    EXPECT_NE(fitted.copy(y1Labels), plain.copy(y1Labels));
    EXPECT_NE(fitted.copy(y2Labels), plain.copy(y2Labels));
    // The time axis is left as it was.
    const QRect timeLabels(G.left - 20, G.bottom + 5, G.right - G.left + 40, 40);
    EXPECT_EQ(fitted.copy(timeLabels), plain.copy(timeLabels));

    // The axes follow the data of a zoom and of another attempt while fitted.
    display().leftMarker = 1000;
    display().rightMarker = 1100;
    frame().runCommand(32813);
    EXPECT_NE(drawn().copy(y1Labels), fitted.copy(y1Labels));
    chooseCombo(BarY1Combo, 2);  // the speed
    EXPECT_TRUE(display().reportFitY);
    // The combo writes the Y1 quantity into the settings as it always did; nothing else moves.
    GraphSettings expected = before;
    expected.y1Parameter = 2;
    EXPECT_EQ(state().settings.graph, expected);
    chooseCombo(BarY1Combo, 0);
    EXPECT_EQ(state().settings.graph, before);

    // Off again: the page of the settings, exactly.
    frame().runCommand(CmdWholeAttempt);
    display().leftMarker = 0;
    display().rightMarker = 2999;
    fit->trigger();
    EXPECT_FALSE(display().reportFitY);
    EXPECT_FALSE(fit->isChecked());
    EXPECT_EQ(drawn(), plain);

    // Left on at exit: the configuration written is the one the settings gave before.
    fit->trigger();
    ASSERT_TRUE(display().reportFitY);
    frame().close();
    EXPECT_EQ(state().settings.graph, before);
    std::vector<uint8_t> written;
    std::string error;
    ASSERT_TRUE(readRegularFile(home("default.swpcfg"), 1 << 20, written, error)) << error;
    EXPECT_EQ(written, configuration);
}

TEST_F(ReportTools, FitYIsTickedOnlyWhileTheReportShowsFittedAxes) {
    QAction* fit = entry(CmdFitY);
    fit->trigger();
    ASSERT_TRUE(display().reportFitY);
    EXPECT_TRUE(fit->isChecked());
    frame().runCommand(CmdSummary);
    EXPECT_FALSE(fit->isChecked()) << "a table has no value axes";
    // Chosen outside the report it stays unticked and fits nothing.
    fit->trigger();
    EXPECT_FALSE(fit->isChecked());
    // The report entered again starts with the settings' axes.
    frame().runCommand(CmdGraphReport);
    EXPECT_FALSE(display().reportFitY);
    EXPECT_FALSE(fit->isChecked());
}

TEST_F(ReportTools, DraggingACursorMovesItToWhereThePointerEnded) {
    ASSERT_EQ(display().rightMarker, 2999);
    const int grab = cursorX(2999);
    const int redraws = view().redrawCount();
    // Just left of the right cursor, where a left click would place the left cursor.
    QTest::mousePress(&view(), Qt::LeftButton, Qt::NoModifier, QPoint(grab - 2, 250));
    EXPECT_EQ(display().leftMarker, 0) << "a press that holds the right cursor is no left click";
    int last = display().rightMarker;
    for (int x = grab; x >= 560; x -= 30) {
        QTest::mouseMove(&view(), QPoint(x, 250));
        EXPECT_LT(display().rightMarker, last) << "the cursor follows the pointer at " << x;
        last = display().rightMarker;
    }
    EXPECT_GT(view().redrawCount(), redraws + 3) << "redrawn as it moves";
    const int end = 555;
    QTest::mouseRelease(&view(), Qt::LeftButton, Qt::NoModifier, QPoint(end, 260));
    EXPECT_LE(std::abs(cursorX(display().rightMarker) - end), 1);
    EXPECT_TRUE(blackLineAt(drawn(), cursorX(display().rightMarker)));
    EXPECT_EQ(display().leftMarker, 0);
    const int dropped = display().rightMarker;
    // Once released the cursor stays where it was left.
    QTest::mouseMove(&view(), QPoint(450, 250));
    EXPECT_EQ(display().rightMarker, dropped);

    // The left cursor dragged with the right button, past the right cursor: it stops just
    // left of it.
    QTest::mousePress(&view(), Qt::RightButton, Qt::NoModifier, QPoint(cursorX(0), 250));
    QTest::mouseMove(&view(), QPoint(cursorX(0) + 100, 250));
    QTest::mouseMove(&view(), QPoint(G.right - 5, 250));
    QTest::mouseRelease(&view(), Qt::RightButton, Qt::NoModifier, QPoint(G.right - 5, 250));
    EXPECT_EQ(display().leftMarker, dropped - 1);
    EXPECT_EQ(display().rightMarker, dropped);
}

TEST_F(ReportTools, APlainClickBesideACursorStillPlacesTheButtonsCursor) {
    // Three units left of the right cursor: near enough to take hold of it, but a click with
    // the left button without moving places the left cursor there, as clicks always did.
    const int x = cursorX(2999) - 3;
    QTest::mouseClick(&view(), Qt::LeftButton, Qt::NoModifier, QPoint(x, 250));
    EXPECT_EQ(display().rightMarker, 2999);
    EXPECT_NEAR(display().leftMarker, 2999 - 3 / display().reportXScale, 8);
    EXPECT_TRUE(blackLineAt(drawn(), cursorX(display().leftMarker)));

    // The view's signals as the window will send them in drawing units: the same.
    const int before = display().leftMarker;
    emit view().mousePressed(QPoint(G.left + 100, 250), Qt::LeftButton);
    emit view().mouseReleased(QPoint(G.left + 100, 250), Qt::LeftButton);
    EXPECT_LT(display().leftMarker, before);
    EXPECT_NEAR(display().leftMarker, 100 / display().reportXScale, 8);
}

}  // namespace
}  // namespace kenvo::test
