// The driving test in the window on a simulated platform: the timed end posted by the timer,
// the summary, the clamped marker, Exit, the lost platform and the set-up dialog.
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QStatusBar>
#include <QTest>
#include <algorithm>
#include <atomic>
#include <vector>

#include "driving_controller.h"
#include "driving_dialogs.h"
#include "evaluation_controller.h"
#include "graphs/display_geometry.h"
#include "graphs/driving_display.h"
#include "main_frame.h"
#include "platform/platform_simulator.h"
#include "recording_mark.h"
#include "stance_support.h"
#include "sway_list.h"
#include "test_status.h"
#include "trace_legend.h"

namespace kenvo::test {
namespace {

// A subject who keeps the marker `offsetMm` beside the track: once recording, every frame puts
// the COP on the track row the deviation reads (through the marker of the frame before), plus
// the offset, on the axis the direction steers.
class TrackFollower final : public CopSource {
  public:
    TrackFollower(const MeasurementStore& store, const DrivingDisplay& display,
                  const AcquisitionControl& control, float offsetMm)
        : store_(store), display_(display), control_(control), offset_(offsetMm) {}
    std::atomic<int32_t> direction{DrivingUpDown};

    CopPoint at(int64_t) noexcept override {
        // The tracks are written before recording starts; until then the subject stands still.
        if (control_.recording.load(std::memory_order_acquire) == 0) return {};
        const int32_t first = display_.firstRow.load(), last = display_.lastRow.load();
        const int32_t mx = control_.markerX.load(), my = control_.markerY.load();
        const float* track = store_.track(0);
        switch (direction.load()) {
            case DrivingUpDown: return {track[drivingTrackRow(last - my)] + offset_, Aside};
            case DrivingDownUp: return {track[drivingTrackRow(first + my)] + offset_, Aside};
            case DrivingLeftRight: return {Aside, track[drivingTrackRow(last - mx)] + offset_};
            default: return {Aside, track[drivingTrackRow(first + mx)] + offset_};
        }
    }

  private:
    // The other axis off the centre, so the marker's row is not the middle one, where every
    // direction would read the same track row.
    static constexpr double Aside = 25.0;
    const MeasurementStore& store_;
    const DrivingDisplay& display_;
    const AcquisitionControl& control_;
    double offset_;
};

class DrivingTest : public StanceFixture {
  protected:
    // A platform playing `speed` seconds of frames per second with the given subject.
    void attachFast(std::shared_ptr<CopSource> source, double speed = 10.0) {
        auto owned = std::make_unique<SimulatedBus>(SimulatedBus::Options{speed});
        bus = owned.get();
        bus->add({0, 70.0, std::move(source), 1});
        ASSERT_TRUE(app->useDeviceBus(std::move(owned)));
    }
    // Answers "Driving Setup" with an end mode, time, direction and velocity.
    void answerSetup(int end, const char* seconds, int direction, const char* velocity) {
        port.dialogScript = [=](QDialog& d) {
            auto& dialog = dynamic_cast<CDrivingDlg&>(d);
            dialog.endRadio(end)->click();
            dialog.timeEdit()->setText(seconds);
            dialog.directionRadio(direction)->click();
            dialog.velocityEdit()->setText(velocity);
            dialog.accept();
            return dialog.result();
        };
    }
    DrivingController& driving() { return controller().driving(); }
};

// Ten seconds with end mode 0: exactly 1000 samples, Stop posted by the timer, the test ended
// and the result in the summary list.
TEST_F(DrivingTest, TimedAttemptRecordsExactlyItsLengthAndTheTimerPostsStop) {
    attachFast(nullptr);
    answerSetup(0, "10", DrivingUpDown, "10");
    frame().runCommand(CmdDrivingTest);
    ASSERT_EQ(mode(), ViewMode::DrivingTest);
    ASSERT_TRUE(app->link().linkActive());
    EXPECT_TRUE(frame().isFullScreenMode());
    EXPECT_EQ(state().store.settings.testMode, TestModeDriving);
    EXPECT_FALSE(shown(DrivingStopButton));
    EXPECT_TRUE(controller().viewTimer(TimerDriving).isActive());
    EXPECT_EQ(controller().viewTimer(TimerDriving).interval(), 55);
    EXPECT_EQ(driving().driving().trackMax, 57);  // model 0: 175 mm x 0.33
    EXPECT_EQ(driving().driving().trackMin, -57);
    EXPECT_NE(state().store.track(0)[100], 0.0f);

    const std::string path = home("DATA/driving.kplat");
    port.files.push_back(QString::fromStdString(path));
    frame().runCommand(DrivingStartButton);
    EXPECT_TRUE(shown(DrivingStopButton));
    EXPECT_FALSE(shown(DrivingStartButton));
    // Nothing is recorded until one screen of track has scrolled in.
    EXPECT_EQ(driving().procedure().control().recording.load(), 0);
    ASSERT_TRUE(waitUntil([&] { return state().store.attemptCount == 1; }, 15000));
    EXPECT_EQ(state().store.length[0], 1000);
    EXPECT_EQ(mode(), ViewMode::DrivingSummary);
    EXPECT_FALSE(frame().isFullScreenMode());
    EXPECT_FALSE(app->link().linkActive());
    EXPECT_EQ(state().store.dataSaved, 1);  // Exit ran Save
    EXPECT_FALSE(controller().viewTimer(TimerDriving).isActive());

    const TableContent shown = frame().evaluation().list().shownContent();
    bool average = false, squared = false;
    for (const auto& row : shown.rows)
        for (const auto& cell : row) {
            average |= cell.find("Average distance:") != std::string::npos;
            squared |= cell.find("Average distance squared:") != std::string::npos;
        }
    EXPECT_TRUE(average && squared);
    // Every recorded sample has its deviation: the quiet subject stays near the centre while
    // the track wanders, so the deviations are not all zero.
    int32_t nonZero = 0;
    for (int i = 0; i < 1000; ++i) nonZero += state().store.deviation(0)[i] != 0.0f;
    EXPECT_GT(nonZero, 900);
}

// The status bar: ready until Start, a word while the track scrolls in, then the recording
// mark with the time left counting down from the planned length, and the recorded attempt once
// the test has ended into its summary.
TEST_F(DrivingTest, StatusBarCountsTheTimedAttemptDown) {
    attachFast(nullptr);
    answerSetup(0, "10", DrivingUpDown, "10");
    frame().runCommand(CmdDrivingTest);
    TestStatus& status = frame().testStatus();
    const QLabel& words = *status.progressLabel();
    const RecordingMark& mark = *status.recordingMark();
    EXPECT_EQ(words.text(), "Ready - press Start");
    EXPECT_TRUE(mark.isHidden());
    EXPECT_TRUE(status.legend()->isHidden());  // the driving square has no time graph

    port.files.push_back(QString::fromStdString(home("DATA/driving.kplat")));
    frame().runCommand(DrivingStartButton);
    EXPECT_EQ(words.text(), "Recording starts once the track fills the square");
    EXPECT_TRUE(mark.isHidden());
    std::vector<int> seconds;
    ASSERT_TRUE(waitUntil(
        [&] {
            if (mark.recording()) {
                const int s = mark.timeLabel()->text().section(':', 1, 1).left(2).toInt();
                if (seconds.empty() || seconds.back() != s) seconds.push_back(s);
            }
            return state().store.attemptCount == 1;
        },
        15000));
    ASSERT_GE(seconds.size(), 3u);
    EXPECT_LE(seconds.front(), 10);
    for (std::size_t k = 1; k < seconds.size(); ++k) EXPECT_LT(seconds[k], seconds[k - 1]);
    EXPECT_EQ(mode(), ViewMode::DrivingSummary);
    EXPECT_TRUE(mark.isHidden());
    EXPECT_TRUE(words.isHidden());
    EXPECT_EQ(frame().statusBar()->currentMessage(), "Attempt 1 recorded");
}

// Ended by its Stop button the attempt has no planned length: the mark without a time left.
TEST_F(DrivingTest, StatusBarShowsNoTimeLeftForAnAttemptEndedByStop) {
    attachFast(nullptr);
    answerSetup(1, "10", DrivingUpDown, "10");
    frame().runCommand(CmdDrivingTest);
    frame().runCommand(DrivingStartButton);
    const RecordingMark& mark = *frame().testStatus().recordingMark();
    ASSERT_TRUE(waitUntil([&] { return mark.recording(); }, 15000));
    EXPECT_EQ(mark.text(), RecordingMark::markText());
    EXPECT_TRUE(mark.timeLabel()->isHidden());
    EXPECT_EQ(frame().testStatus().progressLabel()->text(), "Recording attempt 1");
    port.files.push_back(std::nullopt);
    frame().runCommand(DrivingStopButton);
    EXPECT_TRUE(mark.isHidden());
    EXPECT_EQ(frame().statusBar()->currentMessage(), "Attempt 1 recorded");
}

// A COP 100 mm right of the centre is held at the track's 57 mm: the marker sits on the right
// edge of the square. Exit ends the test without an attempt; the next test gets a new track.
TEST_F(DrivingTest, FarCopIsClampedAndExitKeepsNoAttempt) {
    attachFast(std::make_shared<ScriptedSource>([](double) { return CopPoint{100.0, 0.0}; }));
    answerSetup(1, "10", DrivingLeftRight, "3");
    frame().runCommand(CmdDrivingTest);
    ASSERT_TRUE(app->link().linkActive());
    const AcquisitionControl& control = driving().procedure().control();
    const int32_t side = driving().driving().squareHeight;
    ASSERT_TRUE(waitUntil([&] { return control.markerX.load() == side; }));
    EXPECT_GT(control.copXmm.load(), 80.0f);  // the raw tare is not zeroed here
    const float firstTrackRow = state().store.track(0)[500];

    port.files.push_back(QString::fromStdString(home("DATA/exit.kplat")));
    frame().runCommand(DrivingExitButton);
    EXPECT_EQ(mode(), ViewMode::Blank);
    EXPECT_EQ(state().store.attemptCount, 0);
    EXPECT_FALSE(frame().isFullScreenMode());
    EXPECT_FALSE(app->link().linkActive());

    frame().runCommand(CmdContinueDriving);
    ASSERT_TRUE(app->link().linkActive());
    EXPECT_NE(state().store.track(0)[500], firstTrackRow);
    port.files.push_back(QString::fromStdString(home("DATA/exit2.kplat")));
    frame().runCommand(DrivingExitButton);
}

// The direction mapping end to end: a subject 8 mm beside the track gives a median deviation of
// 8 mm in each of the four directions (reading the row for another direction is off by about
// 1 mm, the raw quantisation by about 0.2 mm). The median, because a reader thread held up on
// a busy machine lets the scroll move on between a frame and its decoding, which puts a burst
// of samples on a later row.
TEST_F(DrivingTest, TrackFollowingSubjectDeviatesByItsOffsetInAllFourDirections) {
    auto follower = std::make_shared<TrackFollower>(state().store, driving().driving(),
                                                    driving().procedure().control(), 8.0f);
    attachFast(follower);
    for (int k = 0; k < 4; ++k) state().settings.calibration.zeroOffset[k] = PlatformSimulator::UnloadedCounts[k];
    for (int32_t direction = 0; direction < 4; ++direction) {
        follower->direction.store(direction);
        answerSetup(0, "2", direction, "10");
        frame().runCommand(CmdDrivingTest);
        ASSERT_TRUE(app->link().linkActive()) << direction;
        port.files.push_back(QString::fromStdString(home("DATA/follow" + std::to_string(direction) + ".kplat")));
        frame().runCommand(DrivingStartButton);
        ASSERT_TRUE(waitUntil([&] { return state().store.attemptCount == 1; }, 15000)) << direction;
        ASSERT_EQ(state().store.length[0], 200);
        std::vector<float> d(state().store.deviation(0), state().store.deviation(0) + 200);
        std::nth_element(d.begin(), d.begin() + 100, d.end());
        EXPECT_NEAR(d[100], 8.0, 0.4) << "direction " << direction;
    }
}

// The cable goes while an attempt is recorded: the test ends as Exit does and says so.
TEST_F(DrivingTest, LostPlatformEndsTheTestAndSaysSo) {
    attachFast(nullptr, 1.0);
    answerSetup(1, "10", DrivingUpDown, "10");
    frame().runCommand(CmdDrivingTest);
    frame().runCommand(DrivingStartButton);
    port.files.push_back(QString::fromStdString(home("DATA/lost.kplat")));
    bus->unplug(0);
    ASSERT_TRUE(waitUntil([&] { return mode() == ViewMode::Blank; }));
    EXPECT_EQ(state().store.attemptCount, 0);
    EXPECT_FALSE(frame().isFullScreenMode());
    bool told = false;
    for (const QString& m : port.messages) told |= m.toStdString() == MessagePlatformLost;
    EXPECT_TRUE(told);
}

// Esc in the full-screen test does what its Exit button does.
TEST_F(DrivingTest, EscapeEndsTheTestLikeExit) {
    attachFast(nullptr, 1.0);
    answerSetup(1, "10", DrivingUpDown, "10");
    frame().show();
    frame().activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&frame()));
    frame().runCommand(CmdDrivingTest);
    ASSERT_TRUE(frame().isFullScreenMode());
    port.files.push_back(std::nullopt);
    QTest::keyClick(frame().view(), Qt::Key_Escape);
    EXPECT_EQ(mode(), ViewMode::Blank);
    EXPECT_FALSE(frame().isFullScreenMode());
    EXPECT_FALSE(app->link().linkActive());
}

// Yes to "Data not saved. Save?" and a cancelled file dialog: neither dynamic test starts and
// the unsaved attempts stay.
TEST_F(DrivingTest, CancelledSaveOfUnsavedDataStopsBothDynamicTests) {
    addAttempts(state().store, 2, 100);
    for (int command : {CmdDrivingTest, CmdTargetTest}) {
        if (command == CmdDrivingTest) {
            answerSetup(0, "10", DrivingUpDown, "3");
        } else {
            port.dialogScript = [](QDialog& d) {
                d.accept();
                return d.result();
            };
        }
        port.answers.push_back(Answer::Yes);
        port.files.push_back(std::nullopt);
        frame().runCommand(command);
        EXPECT_EQ(mode(), ViewMode::Blank) << command;
        EXPECT_FALSE(app->link().linkActive()) << command;
        EXPECT_FALSE(frame().isFullScreenMode()) << command;
        EXPECT_EQ(state().store.attemptCount, 2) << command;
        EXPECT_EQ(state().store.dataSaved, 0) << command;
    }
}

// "Data not saved. Save?" comes before the set-up dialog of both dynamic tests; No and then
// Cancel in the dialog leaves the attempts in place, no longer marked unsaved.
TEST_F(DrivingTest, UnsavedQuestionComesBeforeTheSetupDialog) {
    addAttempts(state().store, 2, 100);
    for (int command : {CmdDrivingTest, CmdTargetTest}) {
        state().store.dataSaved = 0;
        const qsizetype before = port.questions.size();
        qsizetype questionsAtDialog = -1;
        port.dialogScript = [&](QDialog& d) {
            questionsAtDialog = port.questions.size();
            d.reject();
            return d.result();
        };
        port.answers.push_back(Answer::No);
        frame().runCommand(command);
        EXPECT_EQ(questionsAtDialog, before + 1) << command;
        EXPECT_EQ(mode(), ViewMode::Blank) << command;
        EXPECT_EQ(state().store.attemptCount, 2) << command;
        EXPECT_EQ(state().store.dataSaved, 1) << command;
    }
}

// As the target test: opened for a smaller view, the square and its scale follow the view
// until Start.
TEST_F(DrivingTest, SquareFollowsTheViewUntilStart) {
    state().store.dataSaved = 1;
    state().settings.test.drivingEndMode = 1;
    ASSERT_TRUE(driving().procedure().newTest(Rect{0, 0, 300, 200}));
    Rect wanted;
    ASSERT_TRUE(waitUntil([&] {
        wanted = drivingSquare(Rect{0, 0, frame().view()->width(), frame().view()->height()});
        return driving().procedure().square() == wanted;
    }));
    ASSERT_NE(wanted, drivingSquare(Rect{0, 0, 300, 200}));
    const DrivingDisplay& d = driving().procedure().driving();
    EXPECT_EQ(d.squareHeight, wanted.bottom - wanted.top);
    EXPECT_DOUBLE_EQ(d.trackScale, double(d.squareHeight) / (d.trackMax - d.trackMin));
    frame().runCommand(DrivingStartButton);
    driving().procedure().relayout(Rect{0, 0, 300, 200});
    EXPECT_EQ(driving().procedure().square(), wanted);
    port.files.push_back(std::nullopt);
    frame().runCommand(DrivingExitButton);
}

TEST_F(DrivingTest, SetupDisablesTheTimeWithButtonStopAndCancelKeepsTheSettings) {
    TestSettings settings = TestSettings::defaults();
    CDrivingDlg dialog(settings, port);
    EXPECT_TRUE(dialog.timeEdit()->isEnabled());
    dialog.endRadio(1)->click();
    EXPECT_FALSE(dialog.timeEdit()->isEnabled());
    dialog.endRadio(0)->click();
    EXPECT_TRUE(dialog.timeEdit()->isEnabled());
    dialog.timeEdit()->setText("301");
    dialog.accept();
    EXPECT_NE(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(settings.drivingTime, 10);

    TrackParameters parameters;
    float frequency = 1.0f;
    CPerf_DriveDlg perform(parameters, frequency, port);
    EXPECT_EQ(perform.filterEdit()->text(), "1.0");
    perform.edit(6)->setText("51");  // klzak is 1..50
    perform.accept();
    EXPECT_EQ(parameters.klzak, 10);
    perform.edit(6)->setText("12");
    perform.filterEdit()->setText("2.5");
    perform.accept();
    EXPECT_EQ(parameters.klzak, 12);
    EXPECT_FLOAT_EQ(frequency, 2.5f);
}

}  // namespace
}  // namespace kenvo::test
