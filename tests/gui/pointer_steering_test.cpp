// The simulated subject steered with the mouse: the menu switch, and the subject's mark ending
// under the pointer in the target and the driving test, through the whole chain (pointer,
// millimetres, simulated load cells, serial frames, COP, display).
#include <QAction>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>
#include <cstdio>

#include "check_dialog.h"
#include "cue_sounds.h"
#include "driving_controller.h"
#include "driving_dialogs.h"
#include "graphs/display_geometry.h"
#include "graphs/driving_display.h"
#include "platform/platform_simulator.h"
#include "platform_choice.h"
#include "pointer_steering.h"
#include "stance_support.h"
#include "target_controller.h"

namespace kenvo::test {
namespace {

class PointerSteeringTest : public AppFixture {
  protected:
    void SetUp() override {
        AppFixture::SetUp();
        ASSERT_TRUE(app->setPlatformChoice(0));  // the program's own simulated platform
        for (int k = 0; k < 4; ++k)
            state().settings.calibration.zeroOffset[k] = PlatformSimulator::UnloadedCounts[k];
    }
    QAction& toggle() { return *frame().mouseSteeringAction(); }
    StanceController& controller() { return *app->stanceController(); }
    void movePointer(QPoint at) {
        QMouseEvent move(QEvent::MouseMove, QPointF(at), frame().view()->mapToGlobal(QPointF(at)),
                         Qt::NoButton, Qt::NoButton, Qt::NoModifier);
        QCoreApplication::sendEvent(frame().view(), &move);
    }
};

TEST_F(PointerSteeringTest, TheSwitchNeedsASimulatedPlatformAndIsRemembered) {
    EXPECT_TRUE(toggle().isEnabled());
    EXPECT_FALSE(toggle().isChecked());
    toggle().trigger();
    EXPECT_TRUE(app->pointerSteering()->steering());
    EXPECT_TRUE(frame().view()->hasMouseTracking());
    restart();
    EXPECT_TRUE(frame().mouseSteeringAction()->isChecked());
    EXPECT_TRUE(app->pointerSteering()->steering());
    ASSERT_TRUE(app->setPlatformChoice(PlatformAutomatic));
    EXPECT_FALSE(frame().mouseSteeringAction()->isEnabled());
}

// With the simulated subject off the plate, the sensor check zeroes the simulated platform to
// its unloaded readings; on again, the COP is the subject's once more.
TEST_F(PointerSteeringTest, SubjectStepsOffForZeroing) {
    QAction& onPlate = *frame().subjectOnPlateAction();
    EXPECT_TRUE(onPlate.isEnabled());
    EXPECT_TRUE(onPlate.isChecked());
    onPlate.trigger();
    for (int32_t& z : state().settings.calibration.zeroOffset) z = 500;  // far from the truth
    port.dialogScript = [](QDialog& d) {
        auto& dialog = dynamic_cast<CCheckDlg&>(d);
        EXPECT_TRUE(waitUntil([&] { return dialog.field(CCheckDlg::FrontLeftCount)->text().toInt() > 0; }));
        dialog.zeroButton()->click();
        EXPECT_TRUE(waitUntil([&] { return dialog.zeroButton()->isEnabled(); }));
        dialog.accept();
        return dialog.result();
    };
    frame().runCommand(CmdCheck);
    const int32_t* zero = state().settings.calibration.zeroOffset;
    for (int k = 0; k < 4; ++k) EXPECT_NEAR(zero[k], PlatformSimulator::UnloadedCounts[k], 3) << k;
    onPlate.trigger();
    EXPECT_TRUE(onPlate.isChecked());
}

// A recording played by the simulated subject comes out of the whole chain as its own COP; a
// file that is not a recording is refused in plain words and the entry stays clear.
TEST_F(PointerSteeringTest, TheSubjectPlaysARecording) {
    const std::string bad = home("bad.csv");
    std::FILE* f = std::fopen(bad.c_str(), "w");
    std::fputs("time,x,y\n", f);
    std::fclose(f);
    port.files.push_back(QString::fromStdString(bad));
    QAction& play = *frame().playRecordingAction();
    play.trigger();
    EXPECT_FALSE(play.isChecked());
    ASSERT_EQ(port.messages.size(), 1);
    EXPECT_EQ(port.messages[0], "The recording cannot be played.");

    const std::string good = home("sway.csv");
    f = std::fopen(good.c_str(), "w");
    std::fputs("t_s,x_mm,y_mm\n", f);
    for (int i = 0; i < 300; ++i) std::fprintf(f, "%.2f,30.0,-20.0\n", i / 100.0);
    std::fclose(f);
    port.files.push_back(QString::fromStdString(good));
    play.trigger();
    EXPECT_TRUE(play.isChecked());
    EXPECT_EQ(port.requests.back().filter, "COP recordings (*.csv)|*.csv||");
    port.dialogScript = [](QDialog& d) {
        auto& dialog = dynamic_cast<CCheckDlg&>(d);
        EXPECT_TRUE(waitUntil([&] {
            return std::abs(dialog.field(CCheckDlg::CopX)->text().toDouble() - 30.0) < 0.6 &&
                   std::abs(dialog.field(CCheckDlg::CopY)->text().toDouble() + 20.0) < 0.6;
        })) << dialog.field(CCheckDlg::CopX)->text().toStdString() << ","
            << dialog.field(CCheckDlg::CopY)->text().toStdString();
        dialog.reject();
        return dialog.result();
    };
    frame().runCommand(CmdCheck);
    play.trigger();  // cleared: quiet standing again
    EXPECT_EQ(app->simulatedSubject().recording(), nullptr);
}

TEST_F(PointerSteeringTest, TheTargetDiscFollowsThePointer) {
    toggle().trigger();
    port.dialogScript = [](QDialog& d) {
        auto& dialog = dynamic_cast<CTargetDlg&>(d);
        dialog.edit(0)->setText("2");
        dialog.accept();
        return dialog.result();
    };
    frame().runCommand(CmdTargetTest);
    ASSERT_EQ(frame().view()->mode(), ViewMode::TargetTest);
    frame().runCommand(StanceStartButton);
    const Rect q = controller().target().procedure().layout().square;
    const TargetTestState& s = controller().target().targetState();
    for (const QPoint at : {QPoint(q.left + (q.right - q.left) / 8, q.top + (q.bottom - q.top) / 6),
                            QPoint(q.right - (q.right - q.left) / 5, q.bottom - (q.bottom - q.top) / 7)}) {
        movePointer(at);
        // Quiet sway of a quarter of the usual size stays on top: a few pixels.
        EXPECT_TRUE(waitUntil([&] { return std::hypot(s.cursorX - at.x(), s.cursorY - at.y()) < 12; }))
            << s.cursorX << "," << s.cursorY << " pointer " << at.x() << "," << at.y();
    }
    port.files.push_back(QString::fromStdString(home("DATA/steered.kplat")));
    frame().runCommand(StanceExitButton);
}

TEST_F(PointerSteeringTest, TheDrivingMarkerFollowsThePointer) {
    toggle().trigger();
    port.dialogScript = [](QDialog& d) {
        auto& dialog = dynamic_cast<CDrivingDlg&>(d);
        dialog.endRadio(1)->click();
        dialog.directionRadio(DrivingLeftRight)->click();
        dialog.accept();
        return dialog.result();
    };
    frame().runCommand(CmdDrivingTest);
    ASSERT_EQ(frame().view()->mode(), ViewMode::DrivingTest);
    DrivingProcedure& driving = controller().driving().procedure();
    // The square follows the full-screen view once the window has its new size.
    ASSERT_TRUE(waitUntil([&] {
        return driving.square() == drivingSquare(Rect{0, 0, frame().view()->width(), frame().view()->height()});
    }));
    const Rect q = driving.square();
    const QPoint at(q.left + (q.right - q.left) / 3, q.top + (q.bottom - q.top) * 3 / 4);
    movePointer(at);
    const AcquisitionControl& c = driving.control();
    EXPECT_TRUE(waitUntil([&] {
        return std::hypot(q.left + c.markerX.load() - at.x(), q.top + c.markerY.load() - at.y()) < 12;
    })) << c.markerX.load() << "," << c.markerY.load();
    port.files.push_back(std::nullopt);
    frame().runCommand(DrivingExitButton);
}

// The cues are part of the program; one sounds at a time and the alarm loops. Without a sound
// device the effects load and stay silent, which is not an error.
TEST(CueSoundsTest, BothCuesLoadAndOneSoundsAtATime) {
    CueSounds sounds;
    EXPECT_TRUE(waitUntil([&] {
        return sounds.alarm().status() != QSoundEffect::Loading &&
               sounds.success().status() != QSoundEffect::Loading &&
               sounds.alarm().status() != QSoundEffect::Null;
    }));
    EXPECT_EQ(sounds.alarm().status(), QSoundEffect::Ready);
    EXPECT_EQ(sounds.success().status(), QSoundEffect::Ready);
    EXPECT_EQ(sounds.alarm().loopCount(), QSoundEffect::Infinite);
    EXPECT_EQ(sounds.success().loopCount(), 1);
    sounds.apply(HitSound::StartAlarmLoop);
    EXPECT_TRUE(sounds.alarm().isPlaying());
    sounds.apply(HitSound::PlaySuccess);
    EXPECT_FALSE(sounds.alarm().isPlaying());
    sounds.stopAll();
    EXPECT_FALSE(sounds.success().isPlaying());
    EXPECT_FALSE(sounds.alarm().isPlaying());
    // Switched off in the SetuP menu: silence until switched on.
    sounds.apply(HitSound::StartAlarmLoop);
    sounds.setEnabled(false);
    EXPECT_FALSE(sounds.alarm().isPlaying());
    sounds.apply(HitSound::PlaySuccess);
    EXPECT_FALSE(sounds.success().isPlaying());
    sounds.setEnabled(true);
    sounds.apply(HitSound::PlaySuccess);
    EXPECT_TRUE(sounds.success().isPlaying());
}

}  // namespace
}  // namespace kenvo::test
