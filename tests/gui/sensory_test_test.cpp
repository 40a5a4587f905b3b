// The sensory balance test in the window, on the program's own simulated platform: the set-up,
// the guide's steps trial by trial, Repeat, Skip and Stop, and the conditions beside the
// recovery copy and the saved file. The acquisition runs in real time, so the trials are of
// the shortest duration and few.
#include <QDockWidget>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QTest>
#include <filesystem>

#include "app_register.h"
#include "clinical/attempt_trace.h"
#include "clinical/clinical_measures.h"
#include "enabling_rules.h"
#include "files/measurement_file.h"
#include "files/sidecar.h"
#include "graphs/recording_surface.h"
#include "platform/cop_source.h"
#include "platform_choice.h"
#include "recording_mark.h"
#include "sensory_controller.h"
#include "sensory_guide.h"
#include "sensory_setup_dialog.h"
#include "stance_support.h"
#include "test_status.h"

namespace kenvo::test {
namespace {

using C = SensoryCondition;

class SensoryTest : public AppFixture {
  protected:
    void SetUp() override {
        AppFixture::SetUp();
        // The simulated platform whose subject the guide steers, not a scripted bus.
        ASSERT_TRUE(app->setPlatformChoice(0));
    }
    SensoryController& sensory() { return *app->sensoryController(); }
    SensoryGuide& guide() { return *sensory().guide(); }
    const SensoryProtocol& protocol() { return *sensory().protocol(); }
    SensoryStep step() { return protocol().step(); }
    bool barShows(int id) { return frame().dialogBar() && frame().dialogBar()->isControlShown(id); }

    // Answers the set-up with `trials` per condition of `seconds`.
    void answerSetup(int trials, int seconds) {
        port.dialogScript = [trials, seconds](QDialog& d) {
            auto& setup = dynamic_cast<SensorySetupDialog&>(d);
            setup.trialsBox()->setValue(trials);
            setup.secondsBox()->setValue(seconds);
            setup.accept();
            return setup.result();
        };
    }
    // Start at the instruction, then the countdown into the recording.
    void startAndWaitForTheRecording() {
        ASSERT_EQ(step(), SensoryStep::Instruction);
        ASSERT_TRUE(guide().startButton()->isEnabled());
        guide().startButton()->click();
        ASSERT_EQ(step(), SensoryStep::Countdown);
        EXPECT_EQ(guide().statusText(), "3");
        EXPECT_FALSE(guide().startButton()->isEnabled());
        EXPECT_EQ(app->simulatedSubject().condition(), protocol().trial().condition);
        // The status bar counts down with the guide rather than asking for Start.
        const TestStatus& bar = frame().testStatus();
        EXPECT_TRUE(waitUntil(
            [&] { return bar.progressLabel()->text().startsWith("Recording starts in "); }, 1000))
            << bar.progressLabel()->text().toStdString();
        ASSERT_TRUE(waitUntil([&] { return step() == SensoryStep::Recording; }, 4000));
        EXPECT_TRUE(guide().statusText().contains("REC")) << guide().statusText().toStdString();
        EXPECT_TRUE(guide().recordingMark()->recording());
        EXPECT_TRUE(waitUntil([&] { return bar.recordingMark()->recording(); }, 1000));
        EXPECT_GE(app->stanceController()->stance().recordingAttempt(), 0);
    }
    void recordTrial() {
        const int before = state().store.attemptCount;
        startAndWaitForTheRecording();
        ASSERT_TRUE(waitUntil([&] { return state().store.attemptCount == before + 1; }, 13000));
    }
    Sidecar sidecarOf(const std::string& path) {
        const SidecarRead read = readSidecar(path);
        EXPECT_EQ(read.state, SidecarState::Valid) << read.message;
        return read.sidecar;
    }
};

TEST_F(SensoryTest, FourConditionsThroughTheGuideAreSavedWithTheirConditions) {
    state().settings.test.stanceTime = 25;
    state().store.subject.name = "Sensory Subject";
    answerSetup(1, 10);
    frame().runCommand(CmdSensoryTest);
    ASSERT_TRUE(sensory().active());
    EXPECT_FALSE(sensory().dock()->isHidden());
    EXPECT_EQ(frame().view()->mode(), ViewMode::StanceTest);
    EXPECT_TRUE(app->link().linkActive());
    // A stance data set whose attempts last one trial; the stance setting stays as it was.
    EXPECT_EQ(state().store.settings.testMode, TestModeStance);
    EXPECT_EQ(state().store.attemptSeconds, 10);
    EXPECT_EQ(state().store.settings.stanceTime, 10);
    EXPECT_EQ(state().settings.test.stanceTime, 25);
    // The guide's Start is the only one; no other test may start meanwhile.
    EXPECT_FALSE(barShows(StanceStartButton));
    EXPECT_FALSE(isCommandEnabled(CmdSensoryTest, state().store));
    EXPECT_FALSE(isCommandEnabled(CmdStanceTest, state().store));
    EXPECT_FALSE(guide().repeatButton()->isEnabled());

    const C order[] = {C::EoFirm, C::EcFirm, C::EoFoam, C::EcFoam};
    for (int c = 0; c < 4; ++c) {
        ASSERT_EQ(step(), SensoryStep::Instruction) << c;
        EXPECT_EQ(protocol().trial().condition, order[c]);
        EXPECT_EQ(guide().headingText(),
                  QString::fromStdString("Trial 1 of 1, " + conditionTitle(order[c])));
        EXPECT_EQ(guide().instructionText().contains("Put the foam pad on"), c == 2) << c;
        EXPECT_EQ(guide().progressText(),
                  QStringLiteral("Condition %1 of 4, trial %1 of 4 in all").arg(c + 1));
        recordTrial();
        if (c == 0) {
            // The recovery copy has the condition beside it from the first attempt on.
            const Sidecar copy = sidecarOf(home("recovery.kplat"));
            ASSERT_TRUE(copy.conditions);
            EXPECT_EQ(copy.conditions->size(), 1u);
            EXPECT_EQ(copy.protocol, std::optional<std::string>("sensory"));
        }
    }
    ASSERT_EQ(step(), SensoryStep::Finished);
    EXPECT_EQ(guide().headingText(), "Test complete");
    EXPECT_EQ(guide().progressText(), "4 trials recorded");
    EXPECT_EQ(guide().startButton()->text(), "Finish");
    EXPECT_EQ(app->simulatedSubject().condition(), std::nullopt);
    EXPECT_EQ(state().store.attemptCount, 4);
    EXPECT_EQ(state().store.length[3], 1000);

    // The subject sways more with the eyes closed on foam than with them open on the plate.
    const auto velocityOf = [&](int a) {
        return computeClinicalMeasures(attemptTrace(state().store, a),
                                       DefaultLowPassHz)[ClinicalMeasure::Velocity]
            .value_or(0.0);
    };
    EXPECT_GT(velocityOf(3), velocityOf(0));

    const std::string path = home("DATA/sensory.kplat");
    port.files.push_back(QString::fromStdString(path));
    guide().startButton()->click();  // Finish
    EXPECT_FALSE(sensory().active());
    EXPECT_TRUE(sensory().dock()->isHidden());
    EXPECT_EQ(frame().view()->mode(), ViewMode::Blank);
    EXPECT_FALSE(app->link().linkActive());
    EXPECT_EQ(state().store.dataSaved, 1);

    const Sidecar saved = sidecarOf(path);
    EXPECT_EQ(saved.protocol, std::optional<std::string>("sensory"));
    const std::vector<std::optional<std::string>> names = {"eo-firm", "ec-firm", "eo-foam",
                                                           "ec-foam"};
    EXPECT_EQ(saved.conditions, names);
    EXPECT_TRUE(saved.discardedAttempts.empty());

    // The Save registered a sensory session, each condition with its own attempt.
    SubjectRegister* reg = app->subjectRegister()->get();
    ASSERT_NE(reg, nullptr);
    const auto subjects = reg->subjects("Sensory Subject");
    ASSERT_EQ(subjects.size(), 1u);
    const auto sessions = reg->sessions(subjects[0].id);
    ASSERT_EQ(sessions.size(), 1u);
    EXPECT_EQ(sessions[0].test, "sensory");
    EXPECT_EQ(sessions[0].attempts, 4);
    for (const auto& name : names) {
        const auto points = reg->history(subjects[0].id, ClinicalMeasure::Area95, *name);
        ASSERT_EQ(points.size(), 1u) << *name;
        EXPECT_EQ(points[0].attempts, 1) << *name;
        EXPECT_TRUE(points[0].value) << *name;
    }

    // Opened again, the data set has its conditions back, so a second Save keeps them.
    state().sensory.clear();
    frame().files().openRecent(QString::fromStdString(path));
    ASSERT_EQ(state().store.attemptCount, 4);
    for (int c = 0; c < 4; ++c) EXPECT_EQ(state().sensory.condition(state().store, c), order[c]);
    const std::string copy = home("DATA/copy.kplat");
    port.files.push_back(QString::fromStdString(copy));
    ASSERT_TRUE(frame().files().save());
    EXPECT_EQ(sidecarOf(copy).conditions, names);

    // The file opened again fills the results view: one trial in each condition's column, the
    // subject named as the register knows them.
    frame().runCommand(CmdSensoryResults);
    ASSERT_EQ(frame().view()->mode(), ViewMode::SensoryResults);
    RecordingSurface drawn;
    CKenvoPlatView& view = *frame().view();
    view.renderer()(drawn,
                    ViewContext{view.mode(), state(), Rect{0, 0, view.width(), view.height()}});
    std::optional<int32_t> trialsLine;
    std::vector<std::pair<int32_t, std::string>> trials;
    bool named = false;
    for (const auto& op : drawn.ops()) {
        if (op.kind != RecordingSurface::Kind::Text) continue;
        if (op.text == "Trials used (attempt no.)") trialsLine = op.rect.top;
        named = named || op.text == "Sensory test results – Sensory Subject";
    }
    ASSERT_TRUE(trialsLine);
    for (const auto& op : drawn.ops())
        if (op.kind == RecordingSurface::Kind::Text && op.rect.top == *trialsLine &&
            op.text != "Trials used (attempt no.)")
            trials.emplace_back(op.rect.left, op.text);
    std::sort(trials.begin(), trials.end());
    ASSERT_EQ(trials.size(), 4u);
    for (int c = 0; c < 4; ++c) EXPECT_EQ(trials[size_t(c)].second, std::to_string(c + 1));
    EXPECT_TRUE(named);
}

TEST_F(SensoryTest, RepeatDiscardsTheEarlierAttemptAndStopKeepsWhatWasRecorded) {
    state().store.subject.name = "Repeated Subject";
    answerSetup(2, 10);
    frame().runCommand(CmdSensoryTest);
    ASSERT_TRUE(sensory().active());

    // Repeat while recording: the attempt under way is dropped, the trial starts over.
    startAndWaitForTheRecording();
    ASSERT_TRUE(
        waitUntil([&] { return app->stanceController()->stance().recordedSamples() > 20; }));
    guide().repeatButton()->click();
    EXPECT_EQ(step(), SensoryStep::Instruction);
    EXPECT_EQ(protocol().trial().index, 0);
    EXPECT_EQ(app->stanceController()->stance().recordingAttempt(), -1);
    EXPECT_TRUE(app->link().linkActive());
    QTest::qWait(300);
    EXPECT_EQ(state().store.attemptCount, 0);

    // The stance bar's Start is the guide's Start, with its countdown.
    frame().runCommand(StanceStartButton);
    EXPECT_EQ(step(), SensoryStep::Countdown);
    guide().repeatButton()->click();  // and back, before anything was recorded
    EXPECT_EQ(step(), SensoryStep::Instruction);

    recordTrial();  // attempt 0: trial 1 of eyes open, firm plate
    ASSERT_EQ(protocol().trial().number, 2);
    // Repeat after the trial: attempt 0 stays in the data set, set aside.
    ASSERT_TRUE(guide().repeatButton()->isEnabled());
    guide().repeatButton()->click();
    EXPECT_EQ(protocol().trial().number, 1);
    EXPECT_TRUE(state().sensory.discarded(state().store, 0));
    EXPECT_EQ(sidecarOf(home("recovery.kplat")).discardedAttempts, std::vector<int>{0});
    recordTrial();  // attempt 1: trial 1 again

    guide().skipButton()->click();  // trial 2 of eyes open left out
    EXPECT_EQ(protocol().trial().condition, C::EcFirm);
    startAndWaitForTheRecording();
    // Stop in the middle of a trial (Esc, as the stance bar's Exit): the two completed
    // attempts are saved, the one under way is not.
    const std::string path = home("DATA/stopped.kplat");
    port.files.push_back(QString::fromStdString(path));
    frame().runCommand(StanceExitButton);
    EXPECT_FALSE(sensory().active());
    EXPECT_TRUE(protocol().stopped());
    EXPECT_FALSE(app->link().linkActive());
    EXPECT_EQ(app->simulatedSubject().condition(), std::nullopt);

    auto loaded = std::make_unique<MeasurementStore>();
    GraphSettings graph = state().settings.graph;
    ASSERT_TRUE(loadMeasurementFile(path, *loaded, graph));
    EXPECT_EQ(loaded->attemptCount, 2);
    const Sidecar saved = sidecarOf(path);
    const std::vector<std::optional<std::string>> names = {"eo-firm", "eo-firm"};
    EXPECT_EQ(saved.conditions, names);
    EXPECT_EQ(saved.discardedAttempts, std::vector<int>{0});
    // The register leaves the discarded attempt out of the condition's history.
    SubjectRegister* reg = app->subjectRegister()->get();
    ASSERT_NE(reg, nullptr);
    const auto subjects = reg->subjects("Repeated Subject");
    ASSERT_EQ(subjects.size(), 1u);
    const auto points = reg->history(subjects[0].id, ClinicalMeasure::Velocity, "eo-firm");
    ASSERT_EQ(points.size(), 1u);
    EXPECT_EQ(points[0].attempts, 1);
}

TEST_F(SensoryTest, TheSetUpOffersTheLastPlanAcceptedAlsoAfterARestart) {
    std::vector<std::pair<int, int>> offered;
    port.dialogScript = [&offered](QDialog& d) {
        auto& setup = dynamic_cast<SensorySetupDialog&>(d);
        offered.emplace_back(setup.trialsBox()->value(), setup.secondsBox()->value());
        setup.trialsBox()->setValue(2);
        setup.secondsBox()->setValue(45);
        setup.accept();
        return setup.result();
    };
    frame().runCommand(CmdSensoryTest);
    port.files.push_back(std::nullopt);
    guide().stopButton()->click();
    // A profile holding values out of range (edited by hand) is held to the limits.
    restart();
    ASSERT_TRUE(app->setPlatformChoice(0));
    frame().runCommand(CmdSensoryTest);
    port.files.push_back(std::nullopt);
    guide().stopButton()->click();
    profile->setValue("Sensory/trials", 40);
    profile->setValue("Sensory/seconds", 2);
    restart();
    EXPECT_EQ(sensory().plan(), (SensoryPlan{MaxSensoryTrials, MinSensoryTrialSeconds}));
    const std::vector<std::pair<int, int>> expected = {{3, 60}, {2, 45}};
    EXPECT_EQ(offered, expected);
}

TEST_F(SensoryTest, ACancelledSetUpStartsNothing) {
    port.dialogScript = [](QDialog&) { return int(QDialog::Rejected); };
    frame().runCommand(CmdSensoryTest);
    EXPECT_EQ(port.dialogsRun, 1);
    EXPECT_FALSE(sensory().active());
    EXPECT_FALSE(app->link().linkActive());
    EXPECT_EQ(frame().view()->mode(), ViewMode::Blank);
    EXPECT_TRUE(sensory().dock()->isHidden());
}

TEST_F(SensoryTest, EnterStartsTheCountdownAndAStopBeforeAnyRecordingKeepsNothing) {
    answerSetup(1, 10);
    frame().show();
    frame().activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&frame()));
    frame().runCommand(CmdSensoryTest);
    ASSERT_TRUE(sensory().active());
    QTest::keyClick(frame().view(), Qt::Key_Return);
    EXPECT_EQ(step(), SensoryStep::Countdown);
    EXPECT_EQ(app->simulatedSubject().condition(), C::EoFirm);
    // Enter again during the countdown changes nothing.
    QTest::keyClick(frame().view(), Qt::Key_Enter);
    EXPECT_EQ(step(), SensoryStep::Countdown);
    port.files.push_back(std::nullopt);  // the Save at the end is declined
    guide().stopButton()->click();
    EXPECT_FALSE(sensory().active());
    EXPECT_FALSE(app->link().linkActive());
    EXPECT_EQ(state().store.attemptCount, 0);
    EXPECT_EQ(app->simulatedSubject().condition(), std::nullopt);
    // Once the test is over, Enter starts nothing.
    QTest::keyClick(frame().view(), Qt::Key_Return);
    EXPECT_EQ(step(), SensoryStep::Finished);
    EXPECT_FALSE(app->link().linkActive());
}

TEST_F(SensoryTest, TheConditionsOfUnsavedAttemptsComeBackWithTheRecoveryCopy) {
    MeasurementStore& store = state().store;
    store.settings.testMode = TestModeStance;
    addAttempts(store, 3, 500);
    for (int a = 0; a < 3; ++a)
        store.startTime[static_cast<std::size_t>(a)] = 1'700'000'000 + 20 * a;
    store.dataSaved = 0;
    state().sensory.setCondition(store, 0, C::EoFirm);
    state().sensory.setCondition(store, 1, C::EoFirm);
    state().sensory.setCondition(store, 2, C::EcFirm);
    state().sensory.setDiscarded(0, true);
    // The end nobody was asked about keeps the attempts and their conditions for the next start.
    EXPECT_EQ(app->terminate(), 0);
    EXPECT_TRUE(std::filesystem::exists(home("recovery.kplat.json")));

    port.answers.push_back(Answer::Yes);
    restart();
    ASSERT_EQ(state().store.attemptCount, 3);
    EXPECT_EQ(state().sensory.condition(state().store, 2), C::EcFirm);
    EXPECT_EQ(state().sensory.condition(state().store, 1), C::EoFirm);
    EXPECT_TRUE(state().sensory.discarded(state().store, 0));
    // A normal end removes the copy and what is beside it.
    app->shutdown();
    EXPECT_FALSE(std::filesystem::exists(home("recovery.kplat.json")));
}

}  // namespace
}  // namespace kenvo::test
