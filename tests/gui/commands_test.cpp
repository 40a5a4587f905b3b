#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QToolBar>

#include "app_fixture.h"
#include "command_ids.h"
#include "command_table.h"
#include "dialog_bar.h"
#include "enabling_rules.h"

namespace kenvo::test {
namespace {

using Commands = AppFixture;

const std::vector<int> RuleA = {
    CmdOpen,           CmdSave,        CmdOpenCfg,         CmdSaveCfg,
    CmdPrint,          CmdSubjectInfo, CmdStanceTest,      CmdContinueStance,
    CmdTargetTest,     CmdDrivingTest, CmdContinueDriving, CmdCheck,
    CmdRealSimulation, CmdNewProtocol, CmdOpenProtocol,    CmdSaveProtocol,
    CmdGraphSetup,     CmdDaGraphSetup};
const std::vector<int> NeedAttempts = {CmdSave,          CmdSummary,         CmdIntervalSummary,
                                       CmdAttempt,
                                       CmdTargetSummary, CmdDrivingSummary,  CmdFrequencyAnalysis,
                                       CmdDifusAnalysis, CmdGraphReport};

bool enabled(CMainFrame& frame, int id) {
    frame.updateCommandStates();
    QAction* a = frame.action(id);
    EXPECT_NE(a, nullptr) << id;
    return a && a->isEnabled();
}

TEST_F(Commands, WhileATestRunsRuleACommandsAndTheViewsAreDisabledButPrintPreviewIsNot) {
    addAttempts(state().store, 1, 100);
    for (int id : RuleA) EXPECT_TRUE(enabled(frame(), id)) << id;
    state().store.testRunning = 1;
    for (int id : RuleA) EXPECT_FALSE(enabled(frame(), id)) << id;
    EXPECT_FALSE(enabled(frame(), CmdGraphReport));
    EXPECT_FALSE(enabled(frame(), CmdBatchAnalysis));
    // The tables, the analyses and the track parameters would take the view or the tracks
    // from the running test.
    for (int id : {CmdPerformDialog, CmdSummary, CmdDifusAnalysis})
        EXPECT_FALSE(enabled(frame(), id)) << id;
    for (int id : {CmdPrintPreview, CmdExit, CmdAbout}) EXPECT_TRUE(enabled(frame(), id)) << id;
}

TEST_F(Commands, WithoutAttemptsTablesAndGraphsAreDisabledAndRealSimulationIsNot) {
    for (int id : NeedAttempts) EXPECT_FALSE(enabled(frame(), id)) << id;
    EXPECT_TRUE(enabled(frame(), CmdRealSimulation));
    addAttempts(state().store, 1, 100);
    // A stance data set: the target and driving results wait for a data set of their test.
    for (int id : NeedAttempts)
        EXPECT_EQ(enabled(frame(), id), id != CmdTargetSummary && id != CmdDrivingSummary) << id;
    state().store.settings.testMode = TestModeTargetHitting;
    EXPECT_TRUE(enabled(frame(), CmdTargetSummary));
    state().store.settings.testMode = TestModeDriving;
    EXPECT_TRUE(enabled(frame(), CmdDrivingSummary));
}

TEST_F(Commands, SetLogoStaysVisibleAndGreyed) {
    EXPECT_FALSE(enabled(frame(), CmdSetLogo));
    EXPECT_TRUE(frame().action(CmdSetLogo)->isVisible());
}

TEST_F(Commands, ADisabledCommandDoesNothingEvenWhenSentDirectly) {
    state().store.testRunning = 1;
    frame().runCommand(CmdOpen);  // a chooser would fail the test
    EXPECT_TRUE(port.requests.empty());
}

TEST_F(Commands, MenusCarryTheTextsAccessKeysAndShortcuts) {
    QStringList titles;
    for (QAction* a : frame().menuBar()->actions()) titles << a->text();
    EXPECT_EQ(titles, (QStringList{"&File", "&Subject", "&Test", "&View", "Set&uP", "&About"}));
    EXPECT_EQ(frame().action(CmdOpen)->text(), "&Open ");
    EXPECT_EQ(frame().action(CmdOpen)->shortcut(), QKeySequence("Ctrl+O"));
    EXPECT_EQ(frame().action(CmdPrint)->text(), "&Print...");
    EXPECT_EQ(frame().action(CmdPrint)->shortcut(), QKeySequence("Ctrl+P"));
    EXPECT_EQ(frame().action(CmdPerformDialog)->shortcut(), QKeySequence("Ctrl+F8"));
    EXPECT_EQ(frame().action(CmdSave)->text(), "Save ");
    EXPECT_EQ(frame().action(CmdSaveProtocol)->text(), "Save  protocol");
    EXPECT_EQ(frame().action(CmdTargetTest)->text(), "Target hiting test");
    // The Ctrl+F8 command has no menu, so the window itself must carry it.
    EXPECT_TRUE(frame().actions().contains(frame().action(CmdPerformDialog)));

    QMenu* digital = nullptr;
    for (QMenu* m : frame().findChildren<QMenu*>())
        if (m->title() == "&Digital") digital = m;
    ASSERT_NE(digital, nullptr);
    QStringList items;
    for (QAction* a : digital->actions()) items << a->text();
    EXPECT_EQ(items, (QStringList{"Summary", "Interval Summary", "Attempt", "Target Summary",
                                  "Driving Summary", "Frequency Analysis"}));
}

TEST_F(Commands, ToolbarFollowsTheLayoutWithSeparatorsTooltipsAndImages) {
    // Left to right, 0 for a separator, written out here so that a change to the code's own
    // layout table shows up as a difference.
    const std::vector<int> expected = {
        CmdOpen, CmdSave, 0, CmdOpenCfg, CmdSaveCfg, 0, CmdPrint, 0, CmdSubjectInfo, 0,
        CmdStanceTest, CmdContinueStance, CmdTargetTest, CmdDrivingTest, CmdContinueDriving, 0,
        CmdCheck, 0, CmdRealSimulation, 0, CmdSummary, CmdIntervalSummary, CmdAttempt,
        CmdTargetSummary, CmdDrivingSummary, CmdFrequencyAnalysis, CmdGraphReport,
        CmdDifusAnalysis, CmdBatchAnalysis, 0, CmdGraphSetup, CmdDaGraphSetup, 0, CmdNewProtocol,
        CmdOpenProtocol, CmdSaveProtocol, 0, CmdAbout};
    std::vector<int> shown;
    for (QAction* a : frame().toolBar()->actions()) {
        shown.push_back(a->isSeparator() ? 0 : a->data().toInt());
        if (a->isSeparator()) continue;
        EXPECT_FALSE(a->toolTip().isEmpty()) << a->data().toInt();
        EXPECT_FALSE(a->statusTip().isEmpty()) << a->data().toInt();
        EXPECT_FALSE(a->icon().isNull()) << a->data().toInt();
    }
    EXPECT_EQ(shown, expected);
    EXPECT_TRUE(frame().toolBar()->isMovable());
}

// A menu's visible entries: the text of each command, "-" for a separator, a submenu's title.
QStringList menuEntries(const QMenu* menu) {
    QStringList entries;
    for (QAction* a : menu->actions()) {
        if (a->isSeparator()) entries << "-";
        else if (a->isVisible()) entries << a->text();
    }
    return entries;
}

TEST_F(Commands, BlankViewCommandRemovesTheBarAndSetsModeZero) {
    frame().switchDialogBar(142);
    frame().view()->setMode(ViewMode::StanceTest);
    frame().runCommand(CmdBlankView);
    EXPECT_EQ(frame().dialogBar(), nullptr);
    EXPECT_EQ(frame().view()->mode(), ViewMode::Blank);
}

TEST_F(Commands, EveryMenuCommandHasAnActionAndAnId) {
    // The menus in their order, written out here rather than read from the command table.
    const std::vector<std::pair<QString, QStringList>> expected = {
        {"&File", {"&Open ", "Save ", "-", "Open cfg", "Save cfg", "-", "&Print...", "Print Pre&view",
                   "-", "Clinical measures of files...", "Export report as PDF...", "-", "Set LOGO", "-", "-", "E&xit"}},
        {"&Subject", {"Subject Info", "Subjects..."}},
        {"&Test", {"Stance test", "Continue stance test with same subject", "Target hiting test",
                   "Driving test", "Continue driving test with same subject",
                   "Sensory balance test", "-", "Check", "-", "&Platform"}},
        {"&View", {"Real simulation", "&Digital", "Graph report", "Difus analysis",
                   "Clinical measures", "Sensory results", "-", "Whole attempt", "Fit Y axes"}},
        {"Set&uP", {"Graph Setup", "DA Graph Setup", "Clinical measures setup...", "Report setup...", "-",
                    "New protocol", "Open protocol",
                    "Save  protocol", "-", "Target test &sounds"}},
        {"&About", {"&About KenvoPlat"}},
    };
    const QList<QAction*> menus = frame().menuBar()->actions();
    ASSERT_EQ(menus.size(), static_cast<qsizetype>(expected.size()));
    for (std::size_t i = 0; i < expected.size(); ++i) {
        const QMenu* menu = menus[qsizetype(i)]->menu();
        ASSERT_NE(menu, nullptr) << i;
        EXPECT_EQ(menu->title(), expected[i].first);
        EXPECT_EQ(menuEntries(menu), expected[i].second) << expected[i].first.toStdString();
    }
    // Every command of the menus and the toolbar answers with its own id.
    for (int id : {CmdOpen, CmdSaveProtocol, CmdCheck, CmdDifusAnalysis, CmdBatchAnalysis,
                   CmdPerformDialog, CmdAbout, CmdClinicalMeasures, CmdClinicalSetup,
                   CmdClinicalFiles, CmdSubjects, CmdSensoryTest, CmdSensoryResults,
                   CmdReportSetup, CmdExportReport, CmdWholeAttempt, CmdFitY}) {
        QAction* a = frame().action(id);
        ASSERT_NE(a, nullptr) << id;
        EXPECT_EQ(a->data().toInt(), id);
        ASSERT_NE(findCommand(id), nullptr) << id;
        EXPECT_EQ(findCommand(id)->id, id);
    }
    EXPECT_EQ(findCommand(12345), nullptr);
}

TEST(EnablingRules, RecentFilesWaitForTheEndOfATest) {
    MeasurementStore store;
    EXPECT_TRUE(isCommandEnabled(CmdRecentFile1 + 3, store));
    store.testRunning = 1;
    EXPECT_FALSE(isCommandEnabled(CmdRecentFile1, store));
    // Blanking the view would drop the test's bar and with it its Exit.
    EXPECT_FALSE(isCommandEnabled(CmdBlankView, store));
    // A second test may not start under a running one.
    EXPECT_FALSE(isCommandEnabled(CmdSensoryTest, store));
    EXPECT_TRUE(isCommandEnabled(CmdAbout, store));
}

}  // namespace
}  // namespace kenvo::test
