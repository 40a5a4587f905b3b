// The stance test, the lost platform, the unsaved-data rule and the Target Summary's Delete in
// the window, on a simulated platform that streams real frames at 100 per second.
#include <QLineEdit>
#include <filesystem>

#include "dialog_bar.h"
#include "files/measurement_file.h"
#include "graphs/cop_pictures.h"
#include "stance_support.h"

namespace kenvo::test {
namespace {

class StanceTest : public StanceFixture {};

TEST_F(StanceTest, ThreeStartsRecordThreeAttemptsAndExitSavesThemThroughTheChooser) {
    answerStanceDialog("1");
    frame().runCommand(CmdStanceTest);
    ASSERT_EQ(mode(), ViewMode::StanceTest);
    ASSERT_TRUE(app->link().linkActive());
    EXPECT_EQ(frame().dialogBar()->templateId(), BarTest);
    EXPECT_FALSE(shown(StanceCopButton));
    EXPECT_EQ(state().settings.test.stanceTime, 1);

    for (int a = 0; a < 3; ++a) {
        frame().runCommand(StanceStartButton);
        EXPECT_FALSE(shown(StanceStartButton));
        EXPECT_EQ(state().store.testRunning, 1);
        ASSERT_TRUE(waitUntil([&] { return state().store.attemptCount == a + 1; })) << a;
        EXPECT_TRUE(shown(StanceStartButton));
        EXPECT_TRUE(shown(StanceCopButton));
        EXPECT_EQ(state().store.dataSaved, 0);
        EXPECT_EQ(state().store.length[a], 100);
    }
    const MeasurementStore& store = state().store;
    EXPECT_LT(store.startTime[0], store.startTime[1]);
    EXPECT_LT(store.startTime[1], store.startTime[2]);
    // Each attempt has samples of its own, taken from the moving simulated subject.
    EXPECT_NE(store.samples(0)[99].y, store.samples(1)[99].y);
    EXPECT_NE(store.samples(1)[99].y, store.samples(2)[99].y);
    // The recovery copy follows every attempt.
    EXPECT_TRUE(std::filesystem::exists(home("recovery.kplat")));

    const std::string path = home("DATA/stance.kplat");
    port.files.push_back(QString::fromStdString(path));
    frame().runCommand(StanceExitButton);
    EXPECT_EQ(mode(), ViewMode::Blank);
    EXPECT_EQ(frame().dialogBar(), nullptr);
    EXPECT_FALSE(app->link().linkActive());
    EXPECT_EQ(store.testRunning, 0);
    EXPECT_EQ(store.dataSaved, 1);

    auto loaded = std::make_unique<MeasurementStore>();
    GraphSettings graph = state().settings.graph;
    ASSERT_TRUE(loadMeasurementFile(path, *loaded, graph));
    ASSERT_EQ(loaded->attemptCount, 3);
    for (int a = 0; a < 3; ++a) {
        EXPECT_EQ(loaded->startTime[a], store.startTime[a]);
        EXPECT_EQ(loaded->length[a], 100);
    }
    // Equal as the file keeps them (samples at the file's fixed-point precision).
    std::vector<uint8_t> original, reloaded;
    ASSERT_TRUE(encodeMeasurementFile(store, original));
    ASSERT_TRUE(encodeMeasurementFile(*loaded, reloaded));
    EXPECT_EQ(original, reloaded);
}

TEST_F(StanceTest, ContinueAfterATargetOrDrivingDataSetDoesNothing) {
    for (int32_t testMode : {TestModeTargetHitting, TestModeDriving}) {
        state().store.settings.testMode = testMode;
        frame().runCommand(CmdContinueStance);
        EXPECT_EQ(mode(), ViewMode::Blank);
        EXPECT_FALSE(app->link().linkActive());
        EXPECT_EQ(frame().dialogBar(), nullptr);
    }
}

TEST_F(StanceTest, ContinueHoldsADurationFromTheConfigurationToTheDialogRange) {
    // Continue has no dialog; a configuration file may carry any duration.
    for (auto [configured, seconds] : {std::pair{400, 300}, std::pair{-5, 0}}) {
        state().settings.test.stanceTime = configured;
        frame().runCommand(CmdContinueStance);
        ASSERT_TRUE(app->link().linkActive());
        EXPECT_EQ(state().store.attemptSeconds, seconds);
        EXPECT_EQ(controller().stance().attemptEnd(), seconds * 100);
        EXPECT_EQ(controller().stance().control().length.load(), seconds * 100);
        port.files.push_back(std::nullopt);
        frame().runCommand(StanceExitButton);
    }
}

TEST_F(StanceTest, CentredDisplayCentresOnTheFirstLiveSamples) {
    attachPlatform(0, std::make_shared<ScriptedSource>([](double) { return CopPoint{30.0, -40.0}; }));
    // Zeroed as the sensor check would, so the platform measures the subject's true COP.
    for (int k = 0; k < 4; ++k)
        state().settings.calibration.zeroOffset[k] = PlatformSimulator::UnloadedCounts[k];
    state().settings.graph.copCentred = 1;
    state().settings.test.stanceTime = 1;
    frame().runCommand(CmdContinueStance);
    const DisplayState& d = controller().display();
    ASSERT_TRUE(waitUntil([&] { return d.displayCentreX != 0.0f; }));
    EXPECT_NEAR(d.displayCentreX, 30.0f, 2.0f);
    EXPECT_NEAR(d.displayCentreY, -40.0f, 2.0f);
    port.files.push_back(std::nullopt);
    frame().runCommand(StanceExitButton);
}

TEST_F(StanceTest, CopPictureEndsAfterHalfItsTimeWhileTwoTimersCount) {
    addAttempts(state().store, 1, 300);
    state().store.attemptSeconds = 3;
    state().settings.graph.copDisplayTimeSeconds = 5;
    controller().viewTimer(TimerReplay).stop();  // the messages are counted by hand here
    frame().runCommand(CmdRealSimulation);
    frame().runCommand(ReplayCopButton);
    const DisplayState& d = controller().display();
    ASSERT_EQ(d.copPictureKind, CopPictureOne);
    // Timers 1 and 3 every 50 ms: 50 messages each, 2.5 s, end the 5 s picture.
    for (int i = 0; i < 49; ++i) {
        controller().onViewTimer(TimerTest);
        controller().onViewTimer(TimerReplay);
    }
    controller().onViewTimer(TimerTest);
    EXPECT_EQ(d.copPictureKind, CopPictureOne);
    controller().onViewTimer(TimerReplay);
    EXPECT_EQ(d.copPictureKind, CopPictureNone);
    EXPECT_EQ(d.copCountdown, 0);
}

TEST_F(StanceTest, CopPictureCountdownRunsOnTimerFiveAndSparesAnotherView) {
    addAttempts(state().store, 1, 300);
    state().store.attemptSeconds = 3;
    state().settings.graph.copDisplayTimeSeconds = 1;
    controller().viewTimer(TimerReplay).stop();  // the messages are counted by hand here
    frame().runCommand(CmdRealSimulation);
    frame().runCommand(ReplayCopButton);
    const DisplayState& d = controller().display();
    ASSERT_EQ(d.copCountdown, 1000);
    // Only timer 5 runs now: its own messages count the picture down too.
    controller().viewTimer(TimerDriving).start(1);
    EXPECT_TRUE(waitUntil([&] { return d.copCountdown < 1000; }, 1000));
    controller().viewTimer(TimerDriving).stop();
    ASSERT_GT(d.copCountdown, 0);

    // The operator leaves the replay before the picture's time is up.
    frame().runCommand(CmdBlankView);
    ASSERT_EQ(mode(), ViewMode::Blank);
    const QImage before = frame().view()->backing().copy();
    while (d.copCountdown > 0) controller().onViewTimer(TimerTest);
    EXPECT_EQ(d.copCountdown, 0);
    EXPECT_EQ(d.copPictureKind, CopPictureNone);
    EXPECT_EQ(frame().view()->backing(), before);
}

TEST_F(StanceTest, DisconnectedPlatformEndsTheTestKeepsTheAttemptsAndOffersSave) {
    answerStanceDialog("1");
    frame().runCommand(CmdStanceTest);
    frame().runCommand(StanceStartButton);
    ASSERT_TRUE(waitUntil([&] { return state().store.attemptCount == 1; }));
    frame().runCommand(StanceStartButton);  // under way when the cable goes
    port.files.push_back(std::nullopt);
    bus->unplug(0);
    ASSERT_TRUE(waitUntil([&] { return mode() == ViewMode::Blank; }));
    ASSERT_FALSE(port.messages.isEmpty());
    EXPECT_EQ(port.messages.back(), MessagePlatformLost);
    EXPECT_EQ(port.requests.size(), 1u);  // the Save chooser
    EXPECT_EQ(state().store.attemptCount, 1);
    EXPECT_EQ(state().store.testRunning, 0);
    EXPECT_EQ(state().store.dataSaved, 0);
    EXPECT_FALSE(app->link().linkActive());
}

TEST_F(StanceTest, CancelledSaveOfUnsavedDataStopsTheNewTest) {
    addAttempts(state().store, 2, 100);
    answerStanceDialog("1");
    port.answers.push_back(Answer::Yes);
    port.files.push_back(std::nullopt);
    frame().runCommand(CmdStanceTest);
    EXPECT_EQ(port.questions.value(0), UnsavedQuestion);
    EXPECT_EQ(mode(), ViewMode::Blank);
    EXPECT_FALSE(app->link().linkActive());
    EXPECT_EQ(state().store.attemptCount, 2);
    EXPECT_EQ(state().store.dataSaved, 0);
}

TEST_F(StanceTest, StanceDialogRefusesADurationOutsideTheRange) {
    port.dialogScript = [](QDialog& d) {
        auto& dialog = dynamic_cast<CStanceDlg&>(d);
        dialog.timeEdit()->setText("301");
        dialog.accept();
        return dialog.result();
    };
    state().settings.test.stanceTime = 10;
    frame().runCommand(CmdStanceTest);
    EXPECT_EQ(port.messages.size(), 1);
    EXPECT_EQ(state().settings.test.stanceTime, 10);
    EXPECT_EQ(mode(), ViewMode::Blank);
}

}  // namespace
}  // namespace kenvo::test
