// The driving test in the window on a simulated platform: the timed end posted by the timer,
// the summary, the clamped marker, Exit, the lost platform and the set-up dialog.
#include <QLineEdit>
#include <QRadioButton>
#include <atomic>

#include "driving_controller.h"
#include "driving_dialogs.h"
#include "evaluation_controller.h"
#include "graphs/driving_display.h"
#include "main_frame.h"
#include "stance_support.h"
#include "sway_list.h"

namespace kenvo::test {
namespace {

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
