// A running test holds the window from the moment it arms the platform until its Exit: nothing
// else may take the view, its bar or the link, and Exit leaves a window where everything works
// again. Also: the Target and Driving Summaries only for their own kind of data set.
#include <QAction>
#include <QLineEdit>
#include <QTest>

#include "command_ids.h"
#include "command_table.h"
#include "driving_controller.h"
#include "driving_dialogs.h"
#include "enabling_rules.h"
#include "stance_support.h"
#include "target_controller.h"

namespace kenvo::test {
namespace {

// Every command that would show something else in the view, replace the test's bar, load or
// change what the test records, or start something on the platform.
const std::vector<int> TakesTheWindow = {
    CmdOpen,           CmdSave,           CmdOpenCfg,           CmdSaveCfg,
    CmdPrint,          CmdSubjectInfo,    CmdStanceTest,        CmdContinueStance,
    CmdTargetTest,     CmdDrivingTest,    CmdContinueDriving,   CmdCheck,
    CmdRealSimulation, CmdSummary,        CmdIntervalSummary,   CmdAttempt,
    CmdTargetSummary,  CmdDrivingSummary, CmdFrequencyAnalysis, CmdGraphReport,
    CmdDifusAnalysis,  CmdGraphSetup,     CmdDaGraphSetup,      CmdNewProtocol,
    CmdOpenProtocol,   CmdSaveProtocol,   CmdBatchAnalysis,     CmdPerformDialog,
    CmdBlankView,      CmdRecentFile1,    CmdRecentFile1 + 3, CmdSubjects,
    CmdSensoryTest};

class HeldWindow : public StanceFixture {
  protected:
    bool enabled(int id) {
        frame().updateCommandStates();
        QAction* a = frame().action(id);
        const bool rule = isCommandEnabled(id, state().store);
        if (a) {
            EXPECT_EQ(a->isEnabled(), rule) << id;
        }
        return rule;
    }
    // Checks that every command that would take the window is refused while `view` shows the
    // running test, sends each of them anyway, and checks that the test still has its view,
    // its bar with Exit and its link. No dialog, chooser or question may come up meanwhile.
    void expectHeld(ViewMode view, int exitButton) {
        for (int id : TakesTheWindow) EXPECT_FALSE(enabled(id)) << id;
        for (int id : {int(CmdExit), int(CmdAbout), int(CmdPrintPreview)})
            EXPECT_TRUE(enabled(id)) << id;
        const int dialogs = port.dialogsRun;
        const auto requests = port.requests.size();
        const auto questions = port.questions.size();
        for (int id : TakesTheWindow) frame().runCommand(id);
        EXPECT_EQ(port.dialogsRun, dialogs);
        EXPECT_EQ(port.requests.size(), requests);
        EXPECT_EQ(port.questions.size(), questions);
        EXPECT_EQ(mode(), view);
        EXPECT_TRUE(shown(exitButton));
        EXPECT_TRUE(app->link().linkActive());
    }
    // After Exit: the platform is free and the commands are offered again.
    void expectReleased() {
        EXPECT_EQ(mode(), ViewMode::Blank);
        EXPECT_EQ(frame().dialogBar(), nullptr);
        EXPECT_FALSE(app->link().linkActive());
        EXPECT_EQ(state().store.testRunning, 0);
        for (int id : {CmdOpen, CmdStanceTest, CmdTargetTest, CmdDrivingTest, CmdSensoryTest,
                       CmdRealSimulation, CmdCheck, CmdGraphSetup, CmdSubjectInfo,
                       CmdPerformDialog, CmdBlankView})
            EXPECT_TRUE(enabled(id)) << id;
    }
    void answerTargetSetup(const char* count) {
        port.dialogScript = [count](QDialog& d) {
            auto& dialog = dynamic_cast<CTargetDlg&>(d);
            dialog.edit(0)->setText(count);
            dialog.accept();
            return dialog.result();
        };
    }
    void answerDrivingSetup() {
        port.dialogScript = [](QDialog& d) {
            auto& dialog = dynamic_cast<CDrivingDlg&>(d);
            dialog.timeEdit()->setText("10");
            dialog.accept();
            return dialog.result();
        };
    }
};

// Armed but not yet started: the live display already holds the window. Esc ends it as Exit.
TEST_F(HeldWindow, StanceTestHoldsTheWindowFromArmingAndEscapeReleasesIt) {
    addAttempts(state().store, 2, 100);  // a stance data set, so every table could be shown
    frame().runCommand(CmdContinueStance);
    ASSERT_EQ(mode(), ViewMode::StanceTest);
    ASSERT_TRUE(app->link().linkActive());
    EXPECT_EQ(state().store.attemptCount, 2);
    expectHeld(ViewMode::StanceTest, StanceExitButton);
    EXPECT_TRUE(controller().stance().live());

    frame().show();
    frame().activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&frame()));
    port.files.push_back(std::nullopt);  // the Save at the end is declined
    QTest::keyClick(frame().view(), Qt::Key_Escape);
    expectReleased();
    EXPECT_TRUE(enabled(CmdSummary));
    frame().runCommand(CmdSummary);
    EXPECT_EQ(mode(), ViewMode::Summary);
}

TEST_F(HeldWindow, RecordingStanceTestHoldsTheWindowUntilExit) {
    answerStanceDialog("5");
    frame().runCommand(CmdStanceTest);
    frame().runCommand(StanceStartButton);
    ASSERT_TRUE(waitUntil([&] { return controller().stance().recordedSamples() > 10; }));
    port.dialogScript = nullptr;
    expectHeld(ViewMode::StanceTest, StanceExitButton);
    port.files.push_back(std::nullopt);
    frame().runCommand(StanceExitButton);
    expectReleased();
}

TEST_F(HeldWindow, TargetTestHoldsTheWindowBeforeAndAfterStart) {
    answerTargetSetup("3");
    frame().runCommand(CmdTargetTest);
    ASSERT_EQ(mode(), ViewMode::TargetTest);
    port.dialogScript = nullptr;
    expectHeld(ViewMode::TargetTest, StanceExitButton);
    frame().runCommand(StanceStartButton);
    ASSERT_TRUE(controller().target().procedure().live());
    expectHeld(ViewMode::TargetTest, StanceExitButton);
    port.files.push_back(std::nullopt);
    frame().runCommand(StanceExitButton);
    expectReleased();
    EXPECT_FALSE(frame().isFullScreenMode());
}

// The Perform dialog (Ctrl+F8) would regenerate the tracks the reader thread is following.
TEST_F(HeldWindow, DrivingTestHoldsTheWindowAndItsTracks) {
    answerDrivingSetup();
    frame().runCommand(CmdDrivingTest);
    ASSERT_EQ(mode(), ViewMode::DrivingTest);
    frame().runCommand(DrivingStartButton);
    DrivingProcedure& driving = controller().driving().procedure();
    const std::vector<float> track(state().store.track(0), state().store.track(0) + 2000);
    // Were the Perform dialog to open, it would be accepted.
    port.dialogScript = [](QDialog& d) {
        d.accept();
        return d.result();
    };
    expectHeld(ViewMode::DrivingTest, DrivingExitButton);
    EXPECT_FALSE(driving.regenerate());
    EXPECT_TRUE(std::equal(track.begin(), track.end(), state().store.track(0)));

    port.files.push_back(std::nullopt);
    frame().runCommand(DrivingExitButton);
    expectReleased();
    // With no test running the dialog regenerates the tracks as before.
    frame().runCommand(CmdPerformDialog);
    EXPECT_FALSE(std::equal(track.begin(), track.end(), state().store.track(0)));
}

// A target or driving test started over a live stance display would find the platform taken:
// its arming fails, and the stance test's link ran on with nothing left to end it.
TEST_F(HeldWindow, NoOtherTestStartsOverALiveStanceDisplay) {
    answerStanceDialog("1");
    frame().runCommand(CmdStanceTest);
    ASSERT_TRUE(app->link().linkActive());
    answerTargetSetup("2");
    frame().runCommand(CmdTargetTest);
    answerDrivingSetup();
    frame().runCommand(CmdDrivingTest);
    frame().runCommand(CmdContinueStance);
    // Even asked directly, the live stance test does not arm a second time.
    EXPECT_FALSE(controller().stance().continueTest());
    EXPECT_FALSE(controller().target().procedure().live());
    EXPECT_FALSE(controller().driving().procedure().live());
    EXPECT_TRUE(port.messages.isEmpty()) << port.messages.join("; ").toStdString();
    ASSERT_EQ(mode(), ViewMode::StanceTest);

    port.files.push_back(std::nullopt);
    frame().runCommand(StanceExitButton);
    expectReleased();
    EXPECT_FALSE(controller().stance().live());
}

// A command of the view, the Digital tables or the Test menu that forgot to join the rule
// would let the operator leave a running test without its Exit.
TEST(HeldWindowRule, EveryViewTableAndTestCommandWaitsForTheTest) {
    MeasurementStore store;
    store.attemptCount = 1;
    store.testRunning = 1;
    for (const CommandInfo& c : commandTable()) {
        if (c.menu != MenuPlace::View && c.menu != MenuPlace::ViewDigital &&
            c.menu != MenuPlace::Test)
            continue;
        EXPECT_TRUE(waitsForTheTest(c.id)) << c.id;
        EXPECT_FALSE(isCommandEnabled(c.id, store, true)) << c.id;
    }
    // The report's commands of the other menus wait as well.
    for (const int32_t id : {CmdExportReport, CmdReportSetup}) {
        EXPECT_TRUE(waitsForTheTest(id)) << id;
        EXPECT_FALSE(isCommandEnabled(id, store, true)) << id;
    }
}

// The Target Summary lists targets, the Driving Summary deviations from a track: neither means
// anything for another kind of data set (a stance set showed its attempts as "left" targets).
TEST(HeldWindowRule, TargetAndDrivingSummariesOnlyForTheirOwnDataSets) {
    MeasurementStore store;
    store.attemptCount = 2;
    struct Case {
        int32_t testMode;
        bool target, driving;
    };
    for (const Case c :
         {Case{TestModeStance, false, false}, Case{TestModeTargetHitting, true, false},
          Case{TestModeUnused, true, false}, Case{TestModeDriving, false, true}}) {
        store.settings.testMode = c.testMode;
        EXPECT_EQ(isCommandEnabled(CmdTargetSummary, store), c.target) << c.testMode;
        EXPECT_EQ(isCommandEnabled(CmdDrivingSummary, store), c.driving) << c.testMode;
        // The other tables suit every data set.
        EXPECT_TRUE(isCommandEnabled(CmdSummary, store)) << c.testMode;
    }
    store.attemptCount = 0;
    store.settings.testMode = TestModeTargetHitting;
    EXPECT_FALSE(isCommandEnabled(CmdTargetSummary, store));
}

TEST_F(HeldWindow, StanceDataSetOpensNoTargetOrDrivingSummary) {
    addAttempts(state().store, 2, 100);
    frame().runCommand(CmdTargetSummary);
    EXPECT_EQ(mode(), ViewMode::Blank);
    frame().runCommand(CmdDrivingSummary);
    EXPECT_EQ(mode(), ViewMode::Blank);
    state().store.settings.testMode = TestModeDriving;
    frame().runCommand(CmdDrivingSummary);
    EXPECT_EQ(mode(), ViewMode::DrivingSummary);
}

}  // namespace
}  // namespace kenvo::test
