// The target hitting test in the window: the set-up, the armed full-screen view, Start with its
// fresh location sequence and the first cup, and Exit.
#include <QLabel>
#include <QLineEdit>
#include <QStatusBar>
#include <algorithm>
#include <atomic>
#include <cmath>

#include "files/measurement_file.h"
#include "graphs/display_geometry.h"
#include "platform/platform_simulator.h"

#include "evaluation_controller.h"
#include "recording_mark.h"
#include "session_recovery.h"
#include "stance_support.h"
#include "sway_list.h"
#include "target_controller.h"
#include "test_status.h"

namespace kenvo::test {
namespace {

// A subject steered by the test: every frame the COP moves up to `step` mm toward the waypoint
// the test sets (the waypoint is the only shared state, two atomics).
class SteeredSource final : public CopSource {
  public:
    std::atomic<double> wantX{0.0}, wantY{0.0};
    CopPoint at(int64_t) noexcept override {
        const double dx = wantX.load() - x_, dy = wantY.load() - y_;
        const double d = std::hypot(dx, dy);
        if (d <= Step) {
            x_ += dx, y_ += dy;
        } else {
            x_ += dx / d * Step, y_ += dy / d * Step;
        }
        return {x_, y_};
    }

  private:
    static constexpr double Step = 0.8;
    double x_ = 0.0, y_ = 0.0;
};

struct SoundLog final : TargetSounds {
    std::vector<HitSound> played;
    int stops = 0;
    void apply(HitSound sound) override {
        if (sound != HitSound::Unchanged) played.push_back(sound);
    }
    void stopAll() override { ++stops; }
    int count(HitSound sound) const { return int(std::count(played.begin(), played.end(), sound)); }
};

class TargetTest : public StanceFixture {
  protected:
    void answerSetup(const char* count, const char* object, const char* target) {
        port.dialogScript = [=](QDialog& d) {
            auto& dialog = dynamic_cast<CTargetDlg&>(d);
            dialog.edit(0)->setText(count);
            dialog.edit(1)->setText(object);
            dialog.edit(2)->setText(target);
            dialog.accept();
            return dialog.result();
        };
    }
    TargetController& target() { return controller().target(); }

    // A view point of the target square as millimetres of COP (the square shows -80..80 mm).
    CopPoint toMm(double vx, double vy) {
        const Rect q = target().procedure().layout().square;
        return {(vx - q.left) * 160.0 / (q.right - q.left) - 80.0,
                (q.bottom - vy) * 160.0 / (q.bottom - q.top) - 80.0};
    }
    void steer(SteeredSource& source, double vx, double vy) {
        const CopPoint p = toMm(vx, vy);
        source.wantX.store(p.xMm);
        source.wantY.store(p.yMm);
    }
    // The current cup (size 24): the middles of its bottom and of its mouth, and the unit from
    // bottom to mouth.
    struct CupAxis {
        double bx, by, mx, my, ux, uy;
    };
    CupAxis cupAxis() {
        const auto cup = target().targetState().cup;
        const double bx = (cup[0].x + cup[1].x) / 2.0, by = (cup[0].y + cup[1].y) / 2.0;
        const double mx = (cup[2].x + cup[3].x) / 2.0, my = (cup[2].y + cup[3].y) / 2.0;
        return {bx, by, mx, my, (mx - bx) / 24.0, (my - by) / 24.0};
    }
    // A steered subject on platform model 0 (zeroed), `count` targets with the disc 10 and the
    // cup 24, started; the sounds go to `sounds`.
    SteeredSource& startSteeredTest(const char* count) {
        auto source = std::make_shared<SteeredSource>();
        attachPlatform(0, source);
        for (int k = 0; k < 4; ++k) state().settings.calibration.zeroOffset[k] = PlatformSimulator::UnloadedCounts[k];
        target().setSounds(&sounds);
        answerSetup(count, "10", "24");
        frame().runCommand(CmdTargetTest);
        frame().runCommand(StanceStartButton);
        return *source;
    }
    // Steers into the current cup through its mouth: from a point well outside in front of the
    // mouth, through the strip, to the cup's centre, held there until the target completes.
    bool reachTarget(SteeredSource& source, int done) {
        const auto [bx, by, mx, my, ux, uy] = cupAxis();
        const double ox = mx + 26 * ux, oy = my + 26 * uy;  // outside, facing the mouth
        steer(source, ox, oy);
        const TargetTestState& s = target().targetState();
        if (!waitUntil([&] { return s.hitState == HitFree && std::hypot(s.cursorX - ox, s.cursorY - oy) < 3; },
                       10000)) {
            ADD_FAILURE() << "state " << s.hitState << " cursor " << s.cursorX << "," << s.cursorY;
            return false;
        }
        steer(source, bx + 12 * ux, by + 12 * uy);
        return waitUntil([&] { return state().store.attemptCount == done + 1 || mode() != ViewMode::TargetTest; },
                         10000);
    }

    SoundLog sounds;
};

// Three cups, each entered through its mouth: from a point well outside in front of the mouth,
// through the strip, to the cup's centre, held there. Three accepted attempts, the success
// sound for each, then the Target Summary.
TEST_F(TargetTest, SubjectEnteringEachCupThroughItsMouthCompletesThreeTargets) {
    SteeredSource& source = startSteeredTest("3");
    ASSERT_TRUE(app->link().linkActive());
    port.files.push_back(QString::fromStdString(home("DATA/targets.kplat")));

    for (int done = 0; done < 3; ++done) ASSERT_TRUE(reachTarget(source, done)) << done;
    ASSERT_TRUE(waitUntil([&] { return mode() == ViewMode::TargetSummary; }));
    for (int a = 0; a < 3; ++a) {
        EXPECT_EQ(state().store.targetReached[a], 1) << a;
        EXPECT_GE(state().store.length[a], MinTargetSamples) << a;
    }
    EXPECT_EQ(sounds.count(HitSound::PlaySuccess), 3);
    EXPECT_GE(sounds.stops, 1);
    EXPECT_FALSE(frame().isFullScreenMode());
    EXPECT_FALSE(app->link().linkActive());
}

// The status bar: ready until Start, then the recording mark without a time left (the subject
// sets the length), each reached target passing through the message area as it records the next.
TEST_F(TargetTest, StatusBarIsReadyThenRecordsEachTargetInTurn) {
    auto source = std::make_shared<SteeredSource>();
    attachPlatform(0, source);
    for (int k = 0; k < 4; ++k)
        state().settings.calibration.zeroOffset[k] = PlatformSimulator::UnloadedCounts[k];
    answerSetup("2", "10", "24");
    frame().runCommand(CmdTargetTest);
    const TestStatus& status = frame().testStatus();
    EXPECT_EQ(status.progressLabel()->text(), "Ready - press Start");
    EXPECT_TRUE(status.recordingMark()->isHidden());

    frame().runCommand(StanceStartButton);
    EXPECT_EQ(status.progressLabel()->text(), "Recording attempt 1");
    EXPECT_EQ(status.recordingMark()->text(), RecordingMark::markText());
    ASSERT_TRUE(reachTarget(*source, 0));
    EXPECT_EQ(frame().statusBar()->currentMessage(), "Attempt 1 recorded");
    ASSERT_TRUE(waitUntil([&] { return status.progressLabel()->text() == "Recording attempt 2"; }));
    EXPECT_TRUE(status.recordingMark()->recording());

    port.files.push_back(std::nullopt);
    frame().runCommand(StanceExitButton);
    EXPECT_TRUE(status.recordingMark()->isHidden());
    EXPECT_TRUE(status.progressLabel()->isHidden());
}

// Into the cup through its bottom wall instead of its mouth: the alarm state, and the target
// is not reached.
TEST_F(TargetTest, EnteringThroughTheWallRaisesTheAlarmAndCompletesNothing) {
    SteeredSource& source = startSteeredTest("1");
    const CupAxis c = cupAxis();
    steer(source, c.bx - 20 * c.ux, c.by - 20 * c.uy);  // behind the bottom
    ASSERT_TRUE(waitUntil([&] { return target().targetState().hitState == HitFree; }, 10000));
    steer(source, c.bx + 12 * c.ux, c.by + 12 * c.uy);  // the centre, across the bottom wall
    ASSERT_TRUE(waitUntil([&] { return target().targetState().hitState == HitAlarm; }, 10000));
    EXPECT_GE(sounds.count(HitSound::StartAlarmLoop), 1);
    waitUntil([] { return false; }, 1500);  // held inside for longer than the hold time
    EXPECT_EQ(state().store.attemptCount, 0);
    EXPECT_EQ(state().store.targetReached[0], 0);
    EXPECT_EQ(sounds.count(HitSound::PlaySuccess), 0);
    port.files.push_back(QString::fromStdString(home("DATA/wall.kplat")));
    frame().runCommand(StanceExitButton);
    EXPECT_GE(sounds.stops, 1);
}

// The platform goes away after the first of three targets: the test ends as Exit does, says
// why, keeps the completed target and saves it.
TEST_F(TargetTest, LostPlatformKeepsTheCompletedTargetAndSaysSo) {
    SteeredSource& source = startSteeredTest("3");
    ASSERT_TRUE(reachTarget(source, 0));
    const int32_t reachedIn = state().store.length[0];
    const std::string path = home("DATA/lost-target.kplat");
    port.files.push_back(QString::fromStdString(path));
    bus->unplug(0);
    ASSERT_TRUE(waitUntil([&] { return mode() == ViewMode::Blank; }));
    EXPECT_TRUE(port.messages.contains(QString::fromStdString(MessagePlatformLost)));
    EXPECT_FALSE(frame().isFullScreenMode());
    EXPECT_GE(sounds.stops, 1);
    EXPECT_EQ(state().store.testRunning, 0);
    ASSERT_EQ(state().store.attemptCount, 1);
    EXPECT_EQ(state().store.length[0], reachedIn);
    auto saved = std::make_unique<MeasurementStore>();
    GraphSettings graph;
    ASSERT_TRUE(loadMeasurementFile(path, *saved, graph));
    EXPECT_EQ(saved->attemptCount, 1);
    EXPECT_EQ(saved->length[0], reachedIn);
    // The completed target also went to the recovery copy when it was reached.
    auto recovered = std::make_unique<MeasurementStore>();
    ASSERT_TRUE(loadMeasurementFile(SessionRecovery(state().paths.dataFolder).recoveryPath(), *recovered, graph));
    EXPECT_EQ(recovered->attemptCount, 1);
    EXPECT_EQ(recovered->length[0], reachedIn);
}

TEST_F(TargetTest, SetupArmsTheFullScreenViewAndStartReplacesAProtocol) {
    answerSetup("500", "61", "90");
    frame().runCommand(CmdTargetTest);
    ASSERT_EQ(mode(), ViewMode::TargetTest);
    ASSERT_TRUE(app->link().linkActive());
    EXPECT_TRUE(frame().isFullScreenMode());
    EXPECT_EQ(state().store.settings.testMode, TestModeTargetHitting);
    EXPECT_EQ(target().targetState().cursorRadius, 30);
    EXPECT_FALSE(shown(StanceCopButton));
    EXPECT_TRUE(controller().viewTimer(TimerTest).isActive());
    for (int k = 1; k < 500; ++k) ASSERT_NE(state().store.targetLocation[k], state().store.targetLocation[k - 1]) << k;

    // A protocol in memory: every location "left". Start draws a sequence of its own.
    for (int k = 0; k < 500; ++k) state().store.targetLocation[k] = 0;
    frame().runCommand(StanceStartButton);
    EXPECT_FALSE(shown(StanceStartButton));
    EXPECT_FALSE(shown(StanceCenterButton));
    int32_t notLeft = 0;
    for (int k = 0; k < 500; ++k) notLeft += state().store.targetLocation[k] != 0;
    EXPECT_GT(notLeft, 300);
    const auto& cup = target().targetState().cup;
    EXPECT_NEAR(std::hypot(cup[0].x - cup[1].x, cup[0].y - cup[1].y), 90.0, 2.0);
    // Frames run: the disc follows the subject while the first target waits.
    ASSERT_TRUE(waitUntil([&] { return target().procedure().control().sampleCount.load() > 5; }));

    port.files.push_back(QString::fromStdString(home("DATA/target.kplat")));
    frame().runCommand(StanceExitButton);
    EXPECT_EQ(mode(), ViewMode::Blank);
    EXPECT_FALSE(frame().isFullScreenMode());
    EXPECT_FALSE(app->link().linkActive());
    EXPECT_FALSE(controller().viewTimer(TimerTest).isActive());
    EXPECT_EQ(state().store.testRunning, 0);
}

// Started from the Target Summary of unsaved data: the question comes before the set-up dialog,
// the list leaves the view, and Center (shown until Start) centres the square on the subject.
TEST_F(TargetTest, UnsavedQuestionComesFirstListIsHiddenAndCenterWorksBeforeStart) {
    auto source = std::make_shared<SteeredSource>();
    attachPlatform(0, source);
    for (int k = 0; k < 4; ++k) state().settings.calibration.zeroOffset[k] = PlatformSimulator::UnloadedCounts[k];
    addAttempts(state().store, 2, 100);
    state().store.settings.testMode = TestModeTargetHitting;
    frame().runCommand(CmdTargetSummary);
    ASSERT_FALSE(frame().evaluation().list().isHidden());

    qsizetype questionsAtDialog = -1;
    port.dialogScript = [&](QDialog& d) {
        questionsAtDialog = port.questions.size();
        auto& dialog = dynamic_cast<CTargetDlg&>(d);
        dialog.edit(0)->setText("2");
        dialog.accept();
        return dialog.result();
    };
    port.answers.push_back(Answer::No);
    frame().runCommand(CmdTargetTest);
    EXPECT_EQ(questionsAtDialog, 1);
    ASSERT_EQ(mode(), ViewMode::TargetTest);
    EXPECT_TRUE(frame().evaluation().list().isHidden());

    source->wantX.store(20.0);
    source->wantY.store(-10.0);
    EXPECT_TRUE(waitUntil([&] {
        frame().runCommand(StanceCenterButton);
        const DisplayState& d = controller().display();
        return std::abs(d.displayCentreX - 20.0f) < 2.0f && std::abs(d.displayCentreY + 10.0f) < 2.0f;
    }));
    port.files.push_back(std::nullopt);
    frame().runCommand(StanceExitButton);
}

// The window system resizes a full-screen window only after the test has opened (here: opened
// for a smaller view): the squares follow the view until Start has placed the cup in them.
TEST_F(TargetTest, SquaresFollowTheViewUntilStart) {
    state().settings.test.stimuliCount = 2;
    ASSERT_TRUE(target().procedure().newTest(Rect{0, 0, 300, 200}));
    Rect view;
    ASSERT_TRUE(waitUntil([&] {
        view = Rect{0, 0, frame().view()->width(), frame().view()->height()};
        return target().procedure().layout().client == view;
    }));
    ASSERT_NE(view, (Rect{0, 0, 300, 200}));
    EXPECT_EQ(target().procedure().layout().square, targetSquare(view));
    frame().runCommand(StanceStartButton);
    target().procedure().relayout(Rect{0, 0, 300, 200});
    EXPECT_EQ(target().procedure().layout().client, view);
    port.files.push_back(std::nullopt);
    frame().runCommand(StanceExitButton);
}

TEST_F(TargetTest, SetupRefusesSizesOutsideTheirRanges) {
    TestSettings settings = TestSettings::defaults();
    CTargetDlg dialog(settings, port);
    dialog.edit(0)->setText("501");
    dialog.accept();
    EXPECT_NE(dialog.result(), QDialog::Accepted);
    dialog.edit(0)->setText("3");
    dialog.edit(2)->setText("9");
    dialog.accept();
    EXPECT_NE(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(settings.stimuliCount, TestSettings::defaults().stimuliCount);
    dialog.edit(2)->setText("300");
    dialog.accept();
    EXPECT_EQ(settings.stimuliCount, 3);
    EXPECT_EQ(settings.targetSize, 300);
}

}  // namespace
}  // namespace kenvo::test
