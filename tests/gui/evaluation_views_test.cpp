// The evaluation views in the window: the table modes with their list, the Target Summary's
// Delete, the graph report and the diffusion analysis with their bars and clicks.
#include <cmath>

#include <QComboBox>
#include <QLineEdit>
#include <QTest>

#include "analysis/diffusion_texts.h"
#include "analysis/table_rows.h"
#include "app_fixture.h"
#include "bar_setup.h"
#include "da_setup_dialog.h"
#include "command_ids.h"
#include "dialog_bar.h"
#include "evaluation_controller.h"
#include "files/measurement_file.h"
#include "graphs/display_geometry.h"
#include "ml_header_ctrl.h"
#include "support/process.h"
#include "support/synthetic_sway.h"
#include "sway_list.h"

namespace kenvo::test {
namespace {

class EvaluationViews : public AppFixture {
  protected:
    EvaluationController& evaluation() { return frame().evaluation(); }
    SwayList& list() { return evaluation().list(); }
    CKenvoPlatView& view() { return *frame().view(); }
    DisplayState& display() { return view().display(); }

    // `count` stance attempts of `seconds` s, each a different synthetic sway.
    void stanceSet(int count, int seconds) {
        MeasurementStore& s = state().store;
        s.attemptSeconds = seconds;
        for (int a = 0; a < count; ++a) {
            const auto sway = syntheticSway(seconds * 100, uint32_t(a + 1));
            std::copy(sway.begin(), sway.end(), s.samples(a));
            s.length[size_t(a)] = seconds * 100;
        }
        s.attemptCount = count;
        s.dataPresent = 1;
    }
    QStringList row(int r) const {
        QStringList cells;
        for (int c = 0; c < frameList().columnCount(); ++c)
            cells << (frameList().item(r, c) ? frameList().item(r, c)->text() : QString());
        return cells;
    }
    const SwayList& frameList() const { return app->frame().evaluation().list(); }
    void chooseCombo(int id, int index) {
        QComboBox* box = frame().dialogBar()->combo(id);
        ASSERT_TRUE(box) << id;
        box->setCurrentIndex(index);
        emit box->activated(index);
    }
    void click(int x, int y, Qt::MouseButton button) {
        QTest::mouseClick(&view(), button, Qt::NoModifier, QPoint(x, y));
    }
};

TEST_F(EvaluationViews, EachTableModeShowsTheTableRowsUnderTwoLineTitles) {
    stanceSet(3, 5);
    view().resize(760, 420);
    const std::pair<int, SummaryTable> modes[] = {
        {CmdSummary, SummaryTable::Summary},
        {CmdIntervalSummary, SummaryTable::IntervalSummary},
        {CmdAttempt, SummaryTable::Attempt},
        {CmdTargetSummary, SummaryTable::TargetSummary},
        {CmdDrivingSummary, SummaryTable::DrivingSummary},
        {CmdFrequencyAnalysis, SummaryTable::FrequencyAnalysis}};
    for (const auto& [command, table] : modes) {
        // The target and driving results are offered only for a data set of their own test.
        state().store.settings.testMode = table == SummaryTable::TargetSummary    ? TestModeTargetHitting
                                          : table == SummaryTable::DrivingSummary ? TestModeDriving
                                                                                  : TestModeStance;
        frame().runCommand(command);
        EXPECT_EQ(int(view().mode()), int(table));
        EXPECT_EQ(list().geometry(), QRect(10, 70, 730, 330)) << command;
        EXPECT_EQ(list().header()->height(), CMLHeaderCtrl::Height);
        const TableContent expected = buildTable(table, state().store, {0, 1, 1.0f});
        ASSERT_EQ(list().rowCount(), int(expected.rows.size())) << command;
        ASSERT_EQ(list().columnCount(), expected.shownColumns) << command;
        const TableDescriptor& d = tableDescriptor(table);
        for (int c = 0; c < list().columnCount(); ++c) {
            EXPECT_EQ(list().horizontalHeaderItem(c)->text().toStdString(), d.screenTitles[size_t(c)]);
            EXPECT_EQ(list().columnWidth(c), d.screenWidths[size_t(c)]);
        }
        for (int r = 0; r < list().rowCount(); ++r)
            for (int c = 0; c < list().columnCount(); ++c) {
                EXPECT_EQ(list().item(r, c)->text().toStdString(), expected.rows[size_t(r)][size_t(c)]);
                EXPECT_EQ(list().item(r, c)->textAlignment(), int(Qt::AlignRight | Qt::AlignVCenter));
            }
    }
    EXPECT_EQ(CMLHeaderCtrl::titleLines("Velocity-mean\n(mm/s)"),
              std::make_pair(QString("Velocity-mean"), QString("(mm/s)")));
    EXPECT_EQ(CMLHeaderCtrl::titleLines("Interval\n"), std::make_pair(QString("Interval"), QString()));
    EXPECT_EQ(CMLHeaderCtrl::titleLines("No break"), std::make_pair(QString("No break"), QString()));

    // The header paints both lines on grey.
    frame().runCommand(CmdSummary);
    list().show();
    const QImage header = list().header()->grab().toImage();
    EXPECT_EQ(header.height(), CMLHeaderCtrl::Height);
    EXPECT_EQ(header.pixelColor(3, 12), QColor(200, 200, 200));
    int darkTop = 0, darkBottom = 0;
    for (int x = 0; x < 70; ++x) {
        for (int y = 4; y < 20; ++y) darkTop += header.pixelColor(x, y).lightness() < 100;
        for (int y = 24; y < 40; ++y) darkBottom += header.pixelColor(x, y).lightness() < 100;
    }
    EXPECT_GT(darkTop, 10);     // "Attempt"
    EXPECT_GT(darkBottom, 3);   // "#"
}

TEST_F(EvaluationViews, SwitchingToTheShownModeNeitherRefillsNorMovesTheList) {
    stanceSet(2, 5);
    frame().runCommand(CmdSummary);
    list().item(0, 1)->setText("marked");
    list().move(20, 90);
    state().store.attemptCount = 1;
    frame().runCommand(CmdSummary);
    EXPECT_EQ(list().item(0, 1)->text(), "marked");
    EXPECT_EQ(list().pos(), QPoint(20, 90));
    EXPECT_EQ(list().rowCount(), 2);
}

TEST_F(EvaluationViews, AttemptTableHasFourColumnsForStanceAndSevenForDriving) {
    stanceSet(2, 2);
    frame().runCommand(CmdAttempt);
    EXPECT_EQ(list().columnCount(), 4);
    EXPECT_EQ(list().rowCount(), 199);
    EXPECT_EQ(list().item(0, 0)->text(), "10");
    frame().runCommand(CmdSummary);
    state().store.settings.testMode = 3;
    frame().runCommand(CmdAttempt);
    EXPECT_EQ(list().columnCount(), 7);
    // The attempt combo picks the attempt; its rows are built again.
    state().store.length[1] = 50;
    chooseCombo(BarAttemptCombo, 1);
    EXPECT_EQ(display().selectedAttempt, 1);
    EXPECT_EQ(list().rowCount(), 49);
}

TEST_F(EvaluationViews, AttemptTableShowsTheVelocityInMillimetresPerSecond) {
    // 3 mm right and 4 mm forward every 10 ms: 500 mm/s in the list's velocity column.
    stanceSet(1, 1);
    MeasurementStore& s = state().store;
    s.calibration.scaleX = 1.0f;
    s.calibration.scaleY = 1.0f;
    for (int k = 0; k < 100; ++k) s.samples(0)[k] = {3.0f * float(k), 4.0f * float(k), 70};
    frame().runCommand(CmdAttempt);
    ASSERT_EQ(list().rowCount(), 99);
    EXPECT_EQ(list().item(0, 3)->text().trimmed(), "500.0");
    EXPECT_EQ(list().item(98, 3)->text().trimmed(), "500.0");
}

TEST_F(EvaluationViews, IntervalComboOfAnEightSecondTestRebuildsTheIntervals) {
    stanceSet(1, 8);
    frame().runCommand(CmdIntervalSummary);
    QComboBox* box = frame().dialogBar()->combo(BarIntervalCombo);
    ASSERT_TRUE(box);
    ASSERT_EQ(box->count(), 8);
    EXPECT_EQ(box->itemText(0), "interval 1 s");
    EXPECT_EQ(box->itemText(7), "interval 8 s");
    EXPECT_EQ(box->currentIndex(), 0);
    EXPECT_EQ(list().rowCount(), 8 + 2);  // eight 1 s spans, a blank row and "Summary:"
    chooseCombo(BarIntervalCombo, 4);
    EXPECT_EQ(evaluation().intervalSeconds(), 5);
    const TableContent expected = buildTable(SummaryTable::IntervalSummary, state().store, {0, 5, 1.0f});
    ASSERT_EQ(list().rowCount(), int(expected.rows.size()));
    EXPECT_EQ(list().item(0, 0)->text().toStdString(), expected.rows[0][0]);
    EXPECT_EQ(list().item(list().rowCount() - 1, 0)->text(), "Summary:");
    // Leaving and coming back starts again at one second.
    frame().runCommand(CmdSummary);
    frame().runCommand(CmdIntervalSummary);
    EXPECT_EQ(evaluation().intervalSeconds(), 1);
}

TEST_F(EvaluationViews, DeleteInTheTargetSummaryOfALoadedTargetFile) {
    // A target hitting data set of three attempts, saved and opened again.
    MeasurementStore& s = state().store;
    s.resetDataSet(state().settings.test, 1);
    addAttempts(s, 3, 200);
    s.calibration.scaleX = s.calibration.scaleY = 260.0f;
    for (int a = 0; a < 3; ++a) s.targetLocation[size_t(a)] = a;
    s.length[1] = 347;
    const QString file = QString::fromStdString(home("DATA/target.kplat"));
    port.files = {file};
    frame().runCommand(CmdSave);
    ASSERT_EQ(s.dataSaved, 1);
    s.attemptCount = 0;
    port.files = {file};
    frame().runCommand(CmdOpen);
    ASSERT_EQ(s.attemptCount, 3);

    frame().runCommand(CmdTargetSummary);
    ASSERT_EQ(list().rowCount(), 5);
    EXPECT_EQ(list().item(1, 3)->text().trimmed(), "3470");
    EXPECT_TRUE(frame().dialogBar()->isControlShown(BarDeleteButton));

    frame().runCommand(BarDeleteButton);
    EXPECT_EQ(port.messages.value(0), NoLinesSelectedMessage);
    EXPECT_TRUE(port.questions.isEmpty());

    list().selectRow(1);
    port.answers = {Answer::No};
    frame().runCommand(BarDeleteButton);
    EXPECT_EQ(port.questions.value(0), DeleteLineQuestion);
    EXPECT_FALSE(port.questionHadCancel.at(0));
    EXPECT_EQ(s.attemptCount, 3);
    EXPECT_EQ(list().rowCount(), 5);

    list().selectRow(1);
    port.answers = {Answer::Yes};
    frame().runCommand(BarDeleteButton);
    EXPECT_EQ(s.attemptCount, 2);
    EXPECT_EQ(s.dataSaved, 0);
    ASSERT_EQ(list().rowCount(), 4);
    EXPECT_EQ(list().item(1, 1)->text().trimmed(), "right");  // attempt 3 moved up

    // The averages line is not an attempt: nothing is deleted.
    list().selectRow(3);
    port.answers = {Answer::Yes};
    frame().runCommand(BarDeleteButton);
    EXPECT_EQ(s.attemptCount, 2);
}

TEST_F(EvaluationViews, GraphReportCursorsClicksAndZoom) {
    stanceSet(2, 30);
    state().store.length[1] = 2000;
    view().resize(760, 420);
    frame().runCommand(CmdSummary);
    frame().runCommand(CmdGraphReport);
    ASSERT_EQ(view().mode(), ViewMode::GraphReport);
    EXPECT_FALSE(list().isVisible());
    EXPECT_EQ(list().rowCount(), 0);
    EXPECT_EQ(display().rangeStart, 0);
    EXPECT_EQ(display().rangeEnd, 3000);  // samples 0 .. 2999
    EXPECT_EQ(display().leftMarker, 0);
    EXPECT_EQ(display().rightMarker, 2999);
    EXPECT_EQ(frame().dialogBar()->templateId(), BarGraphReport);

    // The left cursor cannot go below the range; the right one stops at the range end.
    frame().runCommand(32816);
    EXPECT_EQ(display().leftMarker, 0);
    frame().runCommand(32817);
    EXPECT_EQ(display().leftMarker, 1);
    frame().runCommand(32815);
    frame().runCommand(32815);
    EXPECT_EQ(display().rightMarker, 3000);

    // Clicks in the time graph: left at 1/4, right at 3/4 of its width.
    const Rect g = panel::TimeGraph;
    const int quarter = g.left + (g.right - g.left) / 4, threeQuarters = g.left + 3 * (g.right - g.left) / 4;
    click(quarter, 250, Qt::LeftButton);
    EXPECT_NEAR(display().leftMarker, 750, 8);
    click(threeQuarters, 250, Qt::RightButton);
    EXPECT_NEAR(display().rightMarker, 2250, 8);
    click(threeQuarters + 40, 250, Qt::LeftButton);  // right of the right cursor: refused
    EXPECT_NEAR(display().leftMarker, 750, 8);
    click(quarter, 100, Qt::LeftButton);  // above the graph
    EXPECT_NEAR(display().leftMarker, 750, 8);

    const int left = display().leftMarker, right = display().rightMarker;
    frame().runCommand(32813);  // Zoom
    EXPECT_EQ(display().rangeStart, left);
    EXPECT_EQ(display().rangeEnd, right);
    frame().runCommand(32816);
    EXPECT_EQ(display().leftMarker, left) << "the left cursor stays inside the zoomed range";

    // Choosing the attempt again restores the range end and keeps the zoomed start.
    chooseCombo(BarAttemptCombo, 0);
    EXPECT_EQ(display().rangeStart, left);
    EXPECT_EQ(display().rangeEnd, 3000);
    EXPECT_EQ(display().rightMarker, 2999);
    chooseCombo(BarAttemptCombo, 1);
    EXPECT_EQ(display().selectedAttempt, 1);
    EXPECT_EQ(display().rangeEnd, 2000);

    // Y2 becomes the speed and is remembered in the graph settings.
    chooseCombo(BarY2Combo, 2);
    EXPECT_EQ(display().reportY2, 2);
    EXPECT_EQ(state().settings.graph.y2Parameter, 2);

    // Both cursors are drawn: black vertical lines inside the time graph.
    const QImage& image = view().backing();
    const auto blackColumn = [&](int x) {
        int black = 0;
        for (int y = g.top + 1; y < g.bottom - 1; ++y) black += image.pixelColor(x, y) == QColor(0, 0, 0);
        return black;
    };
    const int xl = g.left + int(double(display().leftMarker - display().rangeStart) * display().reportXScale);
    const int xr = g.left + int(double(display().rightMarker - display().rangeStart) * display().reportXScale);
    EXPECT_GT(blackColumn(xl), (g.bottom - g.top) / 2);
    EXPECT_GT(blackColumn(xr), (g.bottom - g.top) / 2);
}

TEST_F(EvaluationViews, DiffusionResultMatchesTheCommandLineAndY1HidesIt) {
    stanceSet(2, 12);
    state().store.calibration = PlatformCalibration{175.0f, 276.0f, {0, 0, 0, 0}};
    const std::string file = home("DATA/diffusion.kplat");
    ASSERT_TRUE(saveMeasurementFile(file, state().store));
    // The stored ten-thousandths, as the command line reads them.
    ASSERT_TRUE(loadMeasurementFile(file, state().store, state().settings.graph));
    view().resize(760, 420);
    frame().runCommand(CmdDifusAnalysis);
    ASSERT_EQ(view().mode(), ViewMode::DifusAnalysis);
    EXPECT_EQ(evaluation().diffusionSpan(), 1200);
    QComboBox* span = frame().dialogBar()->combo(BarDiffusionIntervalCombo);
    ASSERT_TRUE(span);
    EXPECT_EQ(span->count(), 3);  // 10, 11 and 12 s
    EXPECT_EQ(span->currentIndex(), 2);

    for (int i = 0; i < 150; ++i) frame().runCommand(32817);  // ">>" 150 times
    EXPECT_EQ(display().leftMarker, 150);
    frame().runCommand(1059);  // RESULT
    ASSERT_TRUE(evaluation().diffusion().resultsCurrent);

    const DiffusionFit& fit = evaluation().diffusion().fit;
    const DiffusionTexts texts = diffusionTexts(evaluation().diffusion().curve, 150, display().reportY1,
                                                display().reportY2, &fit);
    const auto cli = runProcess({KENVOPLAT_CLI, "diffusion", file, "--marker", "150"}, {"LC_ALL=C"});
    ASSERT_EQ(cli.exitCode, 0) << cli.err;
    for (const std::string& t : {texts.originLine, texts.generalLine, texts.crossing, texts.yLeft})
        EXPECT_NE(cli.out.find(t), std::string::npos) << t << " not in\n" << cli.out;

    // The fitted line is the DA dialog's a: and b:; what the operator types there is shown.
    const float fittedA = fit.lineA;
    QString shownA;
    port.dialogScript = [&](QDialog& dialog) {
        auto* d = dynamic_cast<CYaxesDlg*>(&dialog);
        if (!d) return int(QDialog::Rejected);
        shownA = d->box(1062)->text();
        d->box(1062)->setText("0.5");
        d->box(1063)->setText("2");
        d->accept();
        return d->result();
    };
    frame().runCommand(CmdDaGraphSetup);
    EXPECT_NEAR(QLocale().toDouble(shownA), fittedA, 1e-6 + 1e-6 * std::fabs(fittedA));
    EXPECT_NE(fittedA, 0.0f);
    const DiffusionFit edited = evaluation().diffusion().fit;
    EXPECT_EQ(diffusionTexts(evaluation().diffusion().curve, 150, display().reportY1, display().reportY2,
                             &edited).generalLine,
              "y2= 0.5000x+2.0000");

    // A new Y2 keeps the results, a new Y1 hides them.
    chooseCombo(BarY2Combo, 1);
    EXPECT_TRUE(evaluation().diffusion().resultsCurrent);
    chooseCombo(BarY1Combo, 3);
    EXPECT_FALSE(evaluation().diffusion().resultsCurrent);
    EXPECT_EQ(state().settings.graph.daY1Parameter, 3);

    // A click in the graph puts the marker under the pointer; "<<" stops at the start.
    const Rect g = panel::DiffusionGraph;
    click(g.left + (g.right - g.left) / 2, 250, Qt::LeftButton);
    EXPECT_NEAR(display().leftMarker, display().rangeEnd / 2, 3);
    display().leftMarker = 1;
    frame().runCommand(32816);
    frame().runCommand(32816);
    EXPECT_EQ(display().leftMarker, 0);

    // The span combo recomputes the curve over 10 s.
    chooseCombo(BarDiffusionIntervalCombo, 0);
    EXPECT_EQ(evaluation().diffusionSpan(), 1000);
    EXPECT_EQ(evaluation().diffusion().curve.samplesUsed, 1000);
    EXPECT_TRUE(port.messages.isEmpty());

    // Outside the owning modes the combos only complain.
    frame().runCommand(CmdSummary);
    evaluation().comboChanged(BarDiffusionIntervalCombo);
    evaluation().comboChanged(BarY1Combo);
    EXPECT_EQ(port.messages, QStringList({ComboOutsideModeMessage, ComboOutsideModeMessage}));
}

}  // namespace
}  // namespace kenvo::test
