#include <climits>
#include <QComboBox>
#include <QPointer>
#include <QPushButton>

#include "app_fixture.h"
#include "bar_setup.h"
#include "command_ids.h"
#include "dialog_bar.h"

namespace kenvo::test {
namespace {

using DialogBars = AppFixture;

QStringList entries(DialogBar* bar, int id) {
    QStringList list;
    QComboBox* box = bar ? bar->combo(id) : nullptr;
    if (box)
        for (int i = 0; i < box->count(); ++i) list << box->itemText(i);
    return list;
}

TEST_F(DialogBars, AttemptThenTargetSummaryGivesANewBarWithComboHiddenAndDeleteShown) {
    addAttempts(state().store, 3, 100);
    QPointer<DialogBar> first = frame().applyBarSetup(CmdAttempt);
    ASSERT_TRUE(first);
    EXPECT_EQ(first->templateId(), 138);
    EXPECT_TRUE(first->isControlShown(BarAttemptCombo));
    EXPECT_FALSE(first->isControlShown(BarDeleteButton));
    EXPECT_EQ(entries(first, BarAttemptCombo),
              (QStringList{"Attempt No. 1", "Attempt No. 2", "Attempt No. 3"}));
    EXPECT_EQ(frame().barComboSelection(BarAttemptCombo), 0);

    DialogBar* second = frame().applyBarSetup(CmdTargetSummary);
    ASSERT_NE(second, nullptr);
    EXPECT_NE(second, first.data());
    EXPECT_EQ(second->templateId(), 138);
    EXPECT_FALSE(second->isControlShown(BarAttemptCombo));
    EXPECT_TRUE(second->isControlShown(BarDeleteButton));
    EXPECT_EQ(frame().dialogBar(), second);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(first.isNull());  // the old bar's window is gone
}

TEST_F(DialogBars, EightSecondTestGivesEightIntervals) {
    state().store.attemptSeconds = 8;
    addAttempts(state().store, 1, 800);
    DialogBar* bar = frame().applyBarSetup(CmdIntervalSummary);
    ASSERT_NE(bar, nullptr);
    EXPECT_EQ(bar->templateId(), 143);
    const QStringList intervals = entries(bar, BarIntervalCombo);
    ASSERT_EQ(intervals.size(), 8);
    EXPECT_EQ(intervals.front(), "interval 1 s");
    EXPECT_EQ(intervals.back(), "interval 8 s");
    EXPECT_EQ(frame().barComboSelection(BarIntervalCombo), 0);
}

TEST_F(DialogBars, DiffusionIntervalsStartAtTenSecondsAndSelectTheLast) {
    DialogBar* bar = frame().applyBarSetup(CmdDifusAnalysis, 650);
    ASSERT_NE(bar, nullptr);
    EXPECT_EQ(entries(bar, BarDiffusionIntervalCombo), QStringList{"vypocet od 0 s po 10 s"});
    EXPECT_EQ(frame().barComboSelection(BarDiffusionIntervalCombo), 0);

    bar = frame().applyBarSetup(CmdDifusAnalysis, 2500);
    const QStringList list = entries(bar, BarDiffusionIntervalCombo);
    ASSERT_EQ(list.size(), 16);
    EXPECT_EQ(list.front(), "vypocet od 0 s po 10 s");
    EXPECT_EQ(list.back(), "vypocet od 0 s po 25 s");
    EXPECT_EQ(frame().barComboSelection(BarDiffusionIntervalCombo), 15);
    EXPECT_EQ(entries(bar, BarY1Combo),
              (QStringList{"r   (mm)", "r2 (mm2)", "x  (mm)", "y  (mm)"}));
}

TEST_F(DialogBars, WithoutAttemptsTheAttemptComboIsEmpty) {
    DialogBar* bar = frame().applyBarSetup(CmdRealSimulation);
    ASSERT_NE(bar, nullptr);
    EXPECT_EQ(bar->templateId(), 139);
    EXPECT_TRUE(entries(bar, BarAttemptCombo).isEmpty());
    EXPECT_EQ(frame().barComboSelection(BarAttemptCombo), -1);
}

TEST_F(DialogBars, EveryViewCommandGetsItsTemplate) {
    const std::vector<std::pair<int, int>> expected = {
        {CmdStanceTest, 142},        {CmdContinueStance, 142},  {CmdTargetTest, 142},
        {CmdDrivingTest, 150},       {CmdContinueDriving, 150}, {CmdRealSimulation, 139},
        {CmdAttempt, 138},           {CmdDrivingSummary, 138},  {CmdSummary, 138},
        {CmdFrequencyAnalysis, 138}, {CmdTargetSummary, 138},   {CmdIntervalSummary, 143},
        {CmdGraphReport, 140},       {CmdDifusAnalysis, 141}};
    for (auto [command, templateId] : expected) {
        DialogBar* bar = frame().applyBarSetup(command);
        ASSERT_NE(bar, nullptr) << command;
        EXPECT_EQ(bar->templateId(), templateId) << command;
    }
    EXPECT_EQ(frame().applyBarSetup(CmdBlankView), nullptr);
    EXPECT_EQ(frame().dialogBar(), nullptr);
}

TEST_F(DialogBars, OperationsWithoutABarOrControlReportFailure) {
    EXPECT_FALSE(frame().fillBarCombo(BarAttemptCombo, QStringList{"x"}, 0));
    EXPECT_FALSE(frame().showBarControl(1042, false));
    EXPECT_EQ(frame().barComboSelection(BarAttemptCombo), -1);
    frame().hideDialogBar();  // nothing to hide is fine
    EXPECT_EQ(frame().switchDialogBar(999), nullptr);
    frame().switchDialogBar(142);
    EXPECT_FALSE(frame().showBarControl(BarAttemptCombo, true));
    EXPECT_TRUE(frame().showBarControl(1033, false));
    EXPECT_FALSE(frame().dialogBar()->isControlShown(1033));
    EXPECT_TRUE(frame().dialogBar()->isControlShown(1042));
}

TEST_F(DialogBars, BarButtonsAreSentOnAsCommands) {
    frame().switchDialogBar(150);
    int received = 0;
    QObject::connect(frame().dialogBar(), &DialogBar::command, [&](int id) { received = id; });
    auto* exitButton = qobject_cast<QPushButton*>(frame().dialogBar()->control(1074));
    ASSERT_NE(exitButton, nullptr);
    EXPECT_EQ(exitButton->text(), "Exit");
    exitButton->click();
    EXPECT_EQ(received, 1074);
}

TEST_F(DialogBars, ComboChoicesAreNotTakenForTheCommandOfTheSameId) {
    addAttempts(state().store, 2, 100);
    frame().applyBarSetup(CmdGraphReport);
    int command = 0, changed = 0;
    QObject::connect(frame().dialogBar(), &DialogBar::command, [&](int id) { command = id; });
    QObject::connect(&frame(), &CMainFrame::barComboChanged, [&](int id) { changed = id; });
    QComboBox* y1 = frame().dialogBar()->combo(BarY1Combo);
    ASSERT_NE(y1, nullptr);
    EXPECT_EQ(y1->count(), 3);
    emit y1->activated(1);
    EXPECT_EQ(changed, BarY1Combo);
    EXPECT_EQ(command, 0);
    EXPECT_EQ(frame().dialogBar()->templateId(), 140);  // Target Summary's bar did not replace it
}

TEST(BarFilling, CombosOfZeroAndNegativeCountsAreEmpty) {
    EXPECT_TRUE(attemptComboFill(0).entries.empty());
    EXPECT_EQ(attemptComboFill(0).selected, -1);
    EXPECT_TRUE(intervalComboFill(-3).entries.empty());
    EXPECT_EQ(diffusionComboFill(0).entries.size(), 1u);  // raised to 10 s
    EXPECT_EQ(diffusionComboFill(1099).entries.size(), 1u);
    EXPECT_EQ(diffusionComboFill(1100).entries.size(), 2u);
    // A damaged file's duration is no reason to list two billion intervals.
    EXPECT_EQ(intervalComboFill(INT32_MAX).entries.size(), 310u);
    EXPECT_EQ(diffusionComboFill(INT32_MAX).entries.size(), 301u);
}

}  // namespace
}  // namespace kenvo::test
