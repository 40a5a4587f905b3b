// The recovery copy: a program killed or logged out in the middle of a test gives its attempts
// back at the next start, and a second program on the same folder leaves them alone.
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QStatusBar>
#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include "session_recovery.h"
#include "stance_support.h"
#include "support/process.h"
#include "support/temp_dir.h"

namespace kenvo::test {
namespace {

namespace fs = std::filesystem;

constexpr const char* ChildHome = "KENVO_RECOVERY_CHILD_HOME";
constexpr const char* ChildHandlesSignals = "KENVO_RECOVERY_CHILD_SIGNALS";

// Records attempts of one second on the continued stance test until the store holds `count`.
void recordAttempts(CKenvoPlatApp& app, int count) {
    app.state().settings.test.stanceTime = 1;
    if (app.state().store.attemptCount == 0) app.frame().runCommand(CmdContinueStance);
    while (app.state().store.attemptCount < count) {
        const int before = app.state().store.attemptCount;
        app.frame().runCommand(StanceStartButton);
        ASSERT_TRUE(waitUntil([&] { return app.state().store.attemptCount == before + 1; }));
    }
}

class RecoveryTest : public StanceFixture {
  protected:
    std::string copy() const { return home("recovery.kplat"); }

    // Starts the program of RecoveryChild on this fixture's folder (this one's program ends
    // first, so the child owns the copy) and returns the start times of its two attempts.
    std::pair<int, int> startChild(std::unique_ptr<BackgroundProcess>& child, bool handlesSignals) {
        app.reset();
        setenv(ChildHome, dir.path().c_str(), 1);
        if (handlesSignals) setenv(ChildHandlesSignals, "1", 1);
        child = std::make_unique<BackgroundProcess>(
            std::vector<std::string>{"/proc/self/exe", "--gtest_filter=RecoveryChild.*"});
        unsetenv(ChildHome);
        unsetenv(ChildHandlesSignals);
        std::string line;
        for (int i = 0; i < 50 && line.rfind("recorded", 0) != 0; ++i) line = child->readLine(10.0);
        int first = 0, second = 0;
        EXPECT_EQ(std::sscanf(line.c_str(), "recorded %d %d", &first, &second), 2) << line;
        return {first, second};
    }

    // The next start answers Yes to the restore question; it must bring back two attempts
    // starting at `times`, still unsaved.
    void expectRestoredAtTheNextStart(std::pair<int, int> times) {
        port.questions.clear();
        port.answers.push_back(Answer::Yes);
        restart();
        EXPECT_EQ(port.questions.value(0), RestoreQuestion);
        const MeasurementStore& store = state().store;
        ASSERT_EQ(store.attemptCount, 2);
        EXPECT_EQ(store.startTime[0], times.first);
        EXPECT_EQ(store.startTime[1], times.second);
        EXPECT_EQ(store.length[1], 100);
        EXPECT_EQ(store.dataSaved, 0);
        EXPECT_EQ(store.dataPresent, 1);
    }
};

// Not a test of its own: the program that RecoveryTest runs beside itself. It records two
// attempts on the home folder it is given, says so, and runs until it is killed, or, when
// asked to handle the termination signals as the program does, until a signal ends it; its
// exit status is then the program's.
TEST(RecoveryChild, RecordTwoAttemptsAndWait) {
    const char* folder = std::getenv(ChildHome);
    if (!folder) GTEST_SKIP() << "run by RecoveryTest";
    const bool handlesSignals = std::getenv(ChildHandlesSignals) != nullptr;
    int status = 0;
    {
        QSettings profile(QString(folder) + "/profile.ini", QSettings::IniFormat);
        ScriptedPort port;
        PathSources sources;
        sources.homeOverride = folder;
        CKenvoPlatApp app(port, profile, sources);
        app.start(false);
        if (handlesSignals) app.exitOnTerminationSignals();
        auto bus = std::make_unique<SimulatedBus>();
        bus->add({0, 70.0, nullptr, 7});
        ASSERT_TRUE(app.useDeviceBus(std::move(bus)));
        recordAttempts(app, 2);
        std::printf("recorded %d %d\n", app.state().store.startTime[0],
                    app.state().store.startTime[1]);
        std::fflush(stdout);
        if (handlesSignals) {
            status = QCoreApplication::exec();
            std::printf("questions %d\n", int(port.questions.size()));
            std::fflush(stdout);
        } else {
            waitUntil([] { return false; }, 60000);
        }
    }
    std::_Exit(status);
}

TEST_F(RecoveryTest, KilledProgramsAttemptsAreRestoredAtTheNextStart) {
    std::unique_ptr<BackgroundProcess> child;
    const auto times = startChild(child, false);
    EXPECT_EQ(child->stop(SIGKILL), -1);
    // The killed program's lock file is still there; the kernel let its lock go.
    EXPECT_TRUE(fs::exists(home("recovery.lock")));
    expectRestoredAtTheNextStart(times);

    // A normal end leaves nothing to restore.
    app->shutdown();
    port.questions.clear();
    restart();
    EXPECT_TRUE(port.questions.isEmpty());
    EXPECT_EQ(state().store.attemptCount, 0);
}

// A logout sends SIGTERM, Ctrl+C in a terminal SIGINT: neither may wait for a question.
TEST_F(RecoveryTest, TerminationSignalKeepsUnsavedAttemptsAndEndsWithStatusZero) {
    for (const int signal : {SIGTERM, SIGINT}) {
        SCOPED_TRACE(signal);
        std::unique_ptr<BackgroundProcess> child;
        const auto times = startChild(child, true);
        EXPECT_EQ(child->stop(signal), 0);
        EXPECT_EQ(child->readLine(1.0), "questions 0");
        EXPECT_TRUE(fs::exists(copy()));
        expectRestoredAtTheNextStart(times);
        app->shutdown();
    }
}

TEST_F(RecoveryTest, SecondProgramLeavesTheFirstOnesCopyAlone) {
    std::unique_ptr<BackgroundProcess> first;
    const auto times = startChild(first, false);
    const std::string firstCopy = readFileBytes(copy());
    ASSERT_FALSE(firstCopy.empty());

    // Started beside the running one: no restore offered, one line in the status bar.
    restart();
    EXPECT_TRUE(port.questions.isEmpty());
    EXPECT_EQ(frame().statusBar()->currentMessage(), SecondInstanceNotice);
    EXPECT_EQ(state().store.attemptCount, 0);

    // Its own attempts are not copied over the first program's.
    attachPlatform(0);
    recordAttempts(*app, 1);
    EXPECT_EQ(readFileBytes(copy()), firstCopy);

    // Its normal end removes neither the copy nor the mark of the running program.
    port.answers.push_back(Answer::No);
    frame().close();
    app.reset();
    EXPECT_EQ(readFileBytes(copy()), firstCopy);
    EXPECT_TRUE(fs::exists(home("kenvoplat.running")));

    // Once the first one is gone, its attempts are offered.
    EXPECT_EQ(first->stop(SIGKILL), -1);
    expectRestoredAtTheNextStart(times);
}

TEST_F(RecoveryTest, TerminationOfTheSecondProgramReportsTheAttemptsItCannotKeep) {
    ScriptedPort secondPort;
    PathSources sources;
    sources.homeOverride = dir.path();
    CKenvoPlatApp second(secondPort, *profile, sources);
    second.start(false);
    addAttempts(second.state().store, 1, 100);
    EXPECT_EQ(second.terminate(), 1);
    ASSERT_EQ(secondPort.notices.size(), 1);
    EXPECT_TRUE(secondPort.notices[0].startsWith("The unsaved attempts could not be kept"));
    EXPECT_FALSE(fs::exists(copy()));

    // The owner's own termination keeps its attempts; without unsaved ones it ends normally.
    addAttempts(state().store, 2, 100);
    state().store.startTime[0] = 1200;
    state().store.startTime[1] = 1500;
    const std::pair times{state().store.startTime[0], state().store.startTime[1]};
    EXPECT_EQ(app->terminate(), 0);
    EXPECT_EQ(app->terminate(), 0);  // a second signal finds it ended
    expectRestoredAtTheNextStart(times);
    state().store.dataSaved = 1;
    EXPECT_EQ(app->terminate(), 0);
    EXPECT_FALSE(fs::exists(copy()));
    EXPECT_TRUE(port.notices.isEmpty());
}

}  // namespace
}  // namespace kenvo::test
