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
const std::vector<int> NeedAttempts = {CmdSummary,       CmdIntervalSummary, CmdAttempt,
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
    const QList<QAction*> actions = frame().toolBar()->actions();
    const auto layout = toolbarLayout();
    ASSERT_EQ(actions.size(), static_cast<qsizetype>(layout.size()));
    for (std::size_t i = 0; i < layout.size(); ++i) {
        if (layout[i] == 0) {
            EXPECT_TRUE(actions[qsizetype(i)]->isSeparator()) << i;
            continue;
        }
        QAction* a = actions[qsizetype(i)];
        EXPECT_EQ(a, frame().action(layout[i])) << i;
        EXPECT_FALSE(a->toolTip().isEmpty()) << layout[i];
        EXPECT_FALSE(a->statusTip().isEmpty()) << layout[i];
        EXPECT_FALSE(a->icon().isNull()) << layout[i];
    }
    EXPECT_EQ(layout.front(), CmdOpen);
    EXPECT_EQ(layout.back(), CmdAbout);
    EXPECT_TRUE(frame().toolBar()->isMovable());
}

TEST_F(Commands, BlankViewCommandRemovesTheBarAndSetsModeZero) {
    frame().switchDialogBar(142);
    frame().view()->setMode(ViewMode::StanceTest);
    frame().runCommand(CmdBlankView);
    EXPECT_EQ(frame().dialogBar(), nullptr);
    EXPECT_EQ(frame().view()->mode(), ViewMode::Blank);
}

TEST_F(Commands, EveryMenuCommandHasAnActionAndAnId) {
    for (const CommandInfo& c : commandTable()) {
        QAction* a = frame().action(c.id);
        ASSERT_NE(a, nullptr) << c.id;
        EXPECT_EQ(a->data().toInt(), c.id);
        EXPECT_EQ(findCommand(c.id), &c);
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
    EXPECT_TRUE(isCommandEnabled(CmdAbout, store));
}

}  // namespace
}  // namespace kenvo::test
