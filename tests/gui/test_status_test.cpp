// The status bar's account of the test on screen: ready, the recording mark with the time left,
// each recorded attempt, and the key to the trace colours; on the simulated platform in real
// time, so the attempts are short.
#include <QFileInfo>
#include <QLabel>
#include <QStatusBar>
#include <QTest>
#include <vector>

#include "graphs/live_traces.h"
#include "recording_mark.h"
#include "stance_support.h"
#include "test_status.h"
#include "trace_legend.h"

namespace kenvo::test {
namespace {

// "1:05 left" as 65.
int secondsOf(const QString& timeLeft) {
    const QString clock = timeLeft.section(' ', 0, 0);
    return clock.section(':', 0, 0).toInt() * 60 + clock.section(':', 1, 1).toInt();
}

class TestStatusTest : public StanceFixture {
  protected:
    void SetUp() override {
        StanceFixture::SetUp();
        // Shown, so the status bar's widgets are laid out and could take room from the view.
        frame().show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&frame()));
        barHeight = frame().statusBar()->height();
    }
    TestStatus& status() { return frame().testStatus(); }
    QString words() {
        const QLabel* l = status().progressLabel();
        return l->isHidden() ? QString() : l->text();
    }
    bool markShown() { return !status().recordingMark()->isHidden(); }
    QString timeLeft() {
        const QLabel* l = status().recordingMark()->timeLabel();
        return !markShown() || l->isHidden() ? QString() : l->text();
    }
    bool legendShown() { return !status().legend()->isHidden(); }
    QString message() { return frame().statusBar()->currentMessage(); }

    // Starts the next attempt and follows it to its end, keeping every time left shown.
    std::vector<int> recordAttempt(int number) {
        std::vector<int> seconds;
        frame().runCommand(StanceStartButton);
        EXPECT_TRUE(markShown());
        EXPECT_EQ(words(), QStringLiteral("Recording attempt %1").arg(number));
        const bool done = waitUntil([&] {
            const QString left = timeLeft();
            if (!left.isEmpty() && (seconds.empty() || seconds.back() != secondsOf(left)))
                seconds.push_back(secondsOf(left));
            // The status bar keeps its height, so it takes no room from the view, whose drawing
            // depends on its size.
            EXPECT_EQ(frame().statusBar()->height(), barHeight);
            return state().store.attemptCount == number;
        });
        EXPECT_TRUE(done) << number;
        return seconds;
    }

    int barHeight = 0;
};

TEST(TimeLeft, RoundsUpToWholeSecondsAndCountsMinutes) {
    EXPECT_EQ(timeLeftText(200), "0:02 left");
    EXPECT_EQ(timeLeftText(101), "0:02 left");  // a part second still to record is a second
    EXPECT_EQ(timeLeftText(100), "0:01 left");
    EXPECT_EQ(timeLeftText(1), "0:01 left");
    EXPECT_EQ(timeLeftText(0), "0:00 left");
    EXPECT_EQ(timeLeftText(-30), "0:00 left");  // a reader one sample ahead never shows "-0:01"
    EXPECT_EQ(timeLeftText(6500), "1:05 left");
    EXPECT_EQ(timeLeftText(30000), "5:00 left");
}

TEST(TestProgressWords, FollowThePhaseAndCountAttemptsFromOne) {
    using P = TestProgress::Phase;
    EXPECT_EQ(testProgressText({}), "");
    EXPECT_EQ(testProgressText({P::Waiting, -1, {}, {}, true}), "Ready - press Start");
    EXPECT_EQ(testProgressText({P::Recording, 0, 150, {}, true}), "Recording attempt 1");
    EXPECT_EQ(testProgressText({P::Recorded, 1, {}, {}, true}), "Attempt 2 recorded");
    EXPECT_EQ(testProgressText({P::Waiting, 0, {}, "Recording starts in 2 s", false}),
              "Recording starts in 2 s");
    // Without a test a note left behind says nothing.
    EXPECT_EQ(testProgressText({P::None, 0, {}, "stale", false}), "");
}

TEST_F(TestStatusTest, StanceAttemptsShowReadyTheMarkCountingDownAndEachRecordedAttempt) {
    EXPECT_EQ(words(), "");
    EXPECT_FALSE(markShown());
    EXPECT_FALSE(legendShown());
    EXPECT_EQ(message(), "Ready");

    answerStanceDialog("2");
    frame().runCommand(CmdStanceTest);
    ASSERT_EQ(mode(), ViewMode::StanceTest);
    EXPECT_EQ(words(), "Ready - press Start");
    EXPECT_FALSE(markShown());
    EXPECT_TRUE(legendShown());
    // The message area gives way, so it does not say "Ready" beside the test's own words.
    EXPECT_EQ(message(), "");

    for (int number = 1; number <= 2; ++number) {
        const std::vector<int> seconds = recordAttempt(number);
        ASSERT_FALSE(seconds.empty());
        EXPECT_EQ(seconds.front(), 2) << number;
        EXPECT_GE(seconds.size(), 2u) << number;  // it moved while the attempt ran
        for (std::size_t k = 1; k < seconds.size(); ++k) EXPECT_LT(seconds[k], seconds[k - 1]);
        EXPECT_EQ(words(), QStringLiteral("Attempt %1 recorded").arg(number));
        EXPECT_FALSE(markShown());
        EXPECT_TRUE(legendShown());
    }

    port.files.push_back(QString::fromStdString(home("DATA/status.kplat")));
    frame().runCommand(StanceExitButton);
    EXPECT_EQ(words(), "");
    EXPECT_FALSE(markShown());
    EXPECT_FALSE(legendShown());
    // The test left through Save, which says where the data set went.
    EXPECT_EQ(message(),
              "Saved to " +
                  QFileInfo(QString::fromStdString(home("DATA/status.kplat"))).absoluteFilePath());

    // The same data set again: its earlier attempts are not news to this run.
    frame().runCommand(CmdContinueStance);
    ASSERT_EQ(mode(), ViewMode::StanceTest);
    EXPECT_EQ(words(), "Ready - press Start");
    port.files.push_back(std::nullopt);
    frame().runCommand(StanceExitButton);
}

TEST_F(TestStatusTest, MarkGoesWhenTheTestIsLeftDuringAnAttempt) {
    answerStanceDialog("2");
    frame().runCommand(CmdStanceTest);
    frame().runCommand(StanceStartButton);
    ASSERT_TRUE(markShown());
    EXPECT_EQ(timeLeft(), "0:02 left");
    port.files.push_back(std::nullopt);
    frame().runCommand(StanceExitButton);
    EXPECT_FALSE(markShown());
    EXPECT_EQ(words(), "");
    // No tick of a stopped test brings it back.
    QTest::qWait(200);
    EXPECT_FALSE(markShown());
    EXPECT_EQ(state().store.attemptCount, 0);
}

TEST_F(TestStatusTest, LegendShowsTheGraphsPensForLiveAndRecordedInTheReplayToo) {
    const TraceLegend& legend = *status().legend();
    ASSERT_EQ(legend.swatchCount(), 4);
    EXPECT_EQ(legend.text(), "live recorded");
    // Live first, then recorded, each as the time graph draws its two traces.
    EXPECT_EQ(legend.swatchColour(0), Y1TracePens.live);
    EXPECT_EQ(legend.swatchColour(1), Y2TracePens.live);
    EXPECT_EQ(legend.swatchColour(2), Y1TracePens.recorded);
    EXPECT_EQ(legend.swatchColour(3), Y2TracePens.recorded);

    addAttempts(state().store, 1, 200);
    state().store.attemptSeconds = 2;
    frame().runCommand(CmdRealSimulation);
    ASSERT_EQ(mode(), ViewMode::RealSimulation);
    EXPECT_TRUE(legendShown());
    // A replay records nothing and waits for no Start.
    EXPECT_FALSE(markShown());
    EXPECT_EQ(words(), "");
    frame().runCommand(CmdBlankView);
    EXPECT_FALSE(legendShown());
}

}  // namespace
}  // namespace kenvo::test
