// The replay of recorded attempts and the sensor check dialogs in the window.
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

#include "check_dialog.h"
#include "dialog_bar.h"
#include "evaluation_controller.h"
#include "sway_list.h"
#include "stance_support.h"

namespace kenvo::test {
namespace {

class ReplayTest : public StanceFixture {
  protected:
    void SetUp() override {
        StanceFixture::SetUp();
        addAttempts(state().store, 2, 300);
        state().store.attemptSeconds = 3;
        controller().viewTimer(TimerReplay).stop();  // ticks are given by hand
        frame().runCommand(CmdRealSimulation);
    }
    const DisplayState& d() { return controller().display(); }
    void press(int id, int ticks = 1) {
        frame().runCommand(id);
        for (int i = 0; i < ticks; ++i) controller().onViewTimer(TimerReplay);
    }
};

TEST_F(ReplayTest, StepsMoveOneSampleAndPauseAndStopAtBothEnds) {
    EXPECT_EQ(mode(), ViewMode::RealSimulation);
    EXPECT_EQ(frame().dialogBar()->templateId(), BarReplay);
    EXPECT_EQ(frame().dialogBar()->combo(BarAttemptCombo)->count(), 2);

    press(ReplayStepReverse);
    EXPECT_EQ(d().shownSamples, 0);
    press(ReplayStepForward, 3);
    EXPECT_EQ(d().shownSamples, 1);
    EXPECT_EQ(d().replayStep, 0);

    press(ReplayFastForward, 20);  // 25 per tick: 300 reached after 12 ticks
    EXPECT_EQ(d().shownSamples, 300);
    EXPECT_EQ(d().replayStep, 0);
    press(ReplayReverse, 2);
    EXPECT_EQ(d().shownSamples, 290);
    EXPECT_EQ(d().replayStep, -5);
    press(ReplayFastReverse, 20);
    EXPECT_EQ(d().shownSamples, 0);
    EXPECT_EQ(d().replayStep, 0);

    press(ReplayForward, 3);
    press(ReplayStop);
    EXPECT_EQ(d().shownSamples, 0);
    EXPECT_EQ(d().replayStep, 0);
}

TEST_F(ReplayTest, ChoosingAnotherAttemptPausesAndRewinds) {
    state().settings.graph.copCentred = 1;
    state().store.samples(1)[0] = CopSample{0.1f, -0.1f, 72};
    press(ReplayForward, 4);
    ASSERT_EQ(d().shownSamples, 20);
    QComboBox* combo = frame().dialogBar()->combo(BarAttemptCombo);
    combo->setCurrentIndex(1);
    emit combo->activated(1);
    EXPECT_EQ(d().selectedAttempt, 1);
    EXPECT_EQ(d().shownSamples, 0);
    EXPECT_EQ(d().replayStep, 0);
    // Centred on the attempt's first sample, in the data set's millimetres.
    EXPECT_FLOAT_EQ(d().displayCentreX, 0.1f * state().store.calibration.scaleX);
    EXPECT_FLOAT_EQ(d().displayCentreY, -0.1f * state().store.calibration.scaleY);
    controller().onViewTimer(TimerReplay);
    EXPECT_EQ(d().shownSamples, 0);
}

TEST_F(ReplayTest, EnteringFromATableHidesTheList) {
    frame().runCommand(CmdSummary);
    const SwayList& list = frame().evaluation().list();
    ASSERT_FALSE(list.isHidden());
    frame().runCommand(CmdRealSimulation);
    EXPECT_EQ(mode(), ViewMode::RealSimulation);
    EXPECT_TRUE(list.isHidden());
}

class CheckTest : public StanceFixture {
  protected:
    // Opens the check on a platform whose sensors read exactly `reading`, runs `script` on
    // the dialog, and returns which dialog class ran.
    QString runCheck(int32_t model, RawFrame reading, const std::function<void(CCheckDlg&)>& script) {
        attachPlatform(model);
        bus->setFixedReading(0, reading);
        QString name;
        port.dialogScript = [&](QDialog& d) {
            auto& dialog = dynamic_cast<CCheckDlg&>(d);
            name = dialog.objectName();
            EXPECT_EQ(dialog.windowTitle(), "Actual sensor reading");
            // The first refreshes may come before a whole block of 20 frames is in.
            EXPECT_TRUE(waitUntil([&] {
                return dialog.field(CCheckDlg::RearLeftCount)->text() == QString::number(reading.s[2]);
            }));
            script(dialog);
            return dialog.result();
        };
        frame().runCommand(CmdCheck);
        EXPECT_FALSE(app->link().linkActive());
        return name;
    }
    static void zero(CCheckDlg& dialog) {
        dialog.zeroButton()->click();
        EXPECT_FALSE(dialog.zeroButton()->isEnabled());
        EXPECT_TRUE(waitUntil([&] { return dialog.zeroButton()->isEnabled(); }));
        // Now the platform reads its new zero: nothing on it.
        EXPECT_TRUE(waitUntil([&] { return dialog.field(CCheckDlg::Sum)->text() == "0"; }));
        EXPECT_EQ(dialog.field(CCheckDlg::CopX)->text(), "0.0");
        EXPECT_EQ(dialog.field(CCheckDlg::CopY)->text(), "0.0");
    }
    // Zero as the operator clicks it: the button takes the focus before it is disabled.
    static void clickZero(CCheckDlg& dialog) {
        dialog.show();
        dialog.activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(&dialog));
        QTest::mouseClick(dialog.zeroButton(), Qt::LeftButton);
    }
    // Enter where the keyboard focus is.
    static void pressEnter(CCheckDlg& dialog) {
        QWidget* focus = QApplication::focusWidget();
        QTest::keyClick(focus ? focus : &dialog, Qt::Key_Return);
    }
};

const RawFrame Unloaded{{2010, 1990, 2000, 2003}, 0};

TEST_F(CheckTest, ZeroSetsTheReadingsAsOffsetsAndOkStoresThem) {
    const QString name = runCheck(0, Unloaded, [](CCheckDlg& dialog) {
        EXPECT_EQ(dialog.field(CCheckDlg::FrontLeftCount)->text(), "2010");
        EXPECT_EQ(dialog.field(CCheckDlg::RearRightCount)->text(), "2003");
        zero(dialog);
        const int32_t* offsets = dialog.session().workingOffsets();
        EXPECT_EQ((std::array{offsets[0], offsets[1], offsets[2], offsets[3]}),
                  (std::array{2010, 1990, 2000, 2003}));
        dialog.accept();
    });
    EXPECT_EQ(name, "CCheckDlg");
    const int32_t* stored = state().settings.calibration.zeroOffset;
    EXPECT_EQ((std::array{stored[0], stored[1], stored[2], stored[3]}),
              (std::array{2010, 1990, 2000, 2003}));
}

TEST_F(CheckTest, CancelAfterZeroingKeepsTheOldOffsets) {
    const PlatformCalibration before = state().settings.calibration;
    runCheck(0, Unloaded, [](CCheckDlg& dialog) {
        zero(dialog);
        dialog.reject();
    });
    EXPECT_EQ((std::array{state().settings.calibration.zeroOffset[0], state().settings.calibration.zeroOffset[3]}),
              (std::array{before.zeroOffset[0], before.zeroOffset[3]}));
}

TEST_F(CheckTest, EnterAfterZeroKeepsTheZero) {
    runCheck(0, Unloaded, [](CCheckDlg& dialog) {
        clickZero(dialog);
        EXPECT_TRUE(waitUntil([&] { return dialog.zeroButton()->isEnabled(); }));
        QSignalSpy accepted(&dialog, &QDialog::accepted);
        pressEnter(dialog);
        EXPECT_EQ(accepted.count(), 1);
        return dialog.result();
    });
    const int32_t* stored = state().settings.calibration.zeroOffset;
    EXPECT_EQ((std::array{stored[0], stored[1], stored[2], stored[3]}),
              (std::array{2010, 1990, 2000, 2003}));
}

TEST_F(CheckTest, EnterWhileZeroingKeepsTheZeroOnceItIsIn) {
    runCheck(0, Unloaded, [](CCheckDlg& dialog) {
        clickZero(dialog);
        QSignalSpy accepted(&dialog, &QDialog::accepted);
        pressEnter(dialog);
        EXPECT_EQ(accepted.count(), 0);
        EXPECT_TRUE(waitUntil([&] { return accepted.count() == 1; }));
        return dialog.result();
    });
    const int32_t* stored = state().settings.calibration.zeroOffset;
    EXPECT_EQ((std::array{stored[0], stored[1], stored[2], stored[3]}),
              (std::array{2010, 1990, 2000, 2003}));
}

TEST_F(CheckTest, PlatformLostWhileZeroingIsReportedAndKeepsTheOffsets) {
    const PlatformCalibration before = state().settings.calibration;
    runCheck(0, Unloaded, [this](CCheckDlg& dialog) {
        QSignalSpy rejected(&dialog, &QDialog::rejected);
        dialog.zeroButton()->click();
        bus->unplug(0);
        EXPECT_TRUE(waitUntil([&] { return rejected.count() == 1; }));
        EXPECT_EQ(port.messages, QStringList{MessagePlatformLost});
        return dialog.result();
    });
    const int32_t* stored = state().settings.calibration.zeroOffset;
    EXPECT_EQ((std::array{stored[0], stored[1], stored[2], stored[3]}),
              (std::array{before.zeroOffset[0], before.zeroOffset[1], before.zeroOffset[2],
                          before.zeroOffset[3]}));
}

TEST_F(CheckTest, ThreeSensorPlatformLoadedAtTheRearOnlyShowsXZero) {
    // No zero offsets, so the front sensors carry exactly nothing and X has no divisor.
    for (int32_t& z : state().settings.calibration.zeroOffset) z = 0;
    const RawFrame rearOnly{{0, 0, 900, 0}, 0};
    const QString name = runCheck(2, rearOnly, [](CCheckDlg& dialog) {
        EXPECT_EQ(dialog.field(CCheckDlg::RearRightCount), nullptr);
        EXPECT_EQ(dialog.field(CCheckDlg::CopX)->text(), "0.0");
        EXPECT_NE(dialog.field(CCheckDlg::CopY)->text(), "0.0");
        dialog.reject();
    });
    EXPECT_EQ(name, "CCheckDlg3");
}

TEST_F(CheckTest, NoPlatformShowsTheCommunicationErrorAndNoDialog) {
    bus->unplug(0);
    frame().runCommand(CmdCheck);
    EXPECT_EQ(port.messages.value(0), MessageCommunicationError);
    EXPECT_EQ(port.dialogsRun, 0);
}

}  // namespace
}  // namespace kenvo::test
