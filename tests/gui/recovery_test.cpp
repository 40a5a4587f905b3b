// A program killed in the middle of a stance test gives its attempts back at the next start.
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include "session_recovery.h"
#include "stance_support.h"
#include "support/process.h"

namespace kenvo::test {
namespace {

constexpr const char* ChildHome = "KENVO_RECOVERY_CHILD_HOME";

class RecoveryTest : public StanceFixture {};

// Not a test of its own: the program that RecoveryTest kills. It records two attempts on the
// home folder it is given, says so, and keeps running until it is killed.
TEST(RecoveryChild, RecordTwoAttemptsAndWait) {
    const char* folder = std::getenv(ChildHome);
    if (!folder) GTEST_SKIP() << "run by RecoveryTest";
    QSettings profile(QString(folder) + "/profile.ini", QSettings::IniFormat);
    ScriptedPort port;
    PathSources sources;
    sources.homeOverride = folder;
    CKenvoPlatApp app(port, profile, sources);
    app.start(false);
    auto bus = std::make_unique<SimulatedBus>();
    bus->add({0, 70.0, nullptr, 7});
    ASSERT_TRUE(app.useDeviceBus(std::move(bus)));
    app.state().settings.test.stanceTime = 1;
    app.frame().runCommand(CmdContinueStance);
    for (int a = 0; a < 2; ++a) {
        app.frame().runCommand(StanceStartButton);
        ASSERT_TRUE(waitUntil([&] { return app.state().store.attemptCount == a + 1; }));
    }
    std::printf("recorded %d %d\n", app.state().store.startTime[0], app.state().store.startTime[1]);
    std::fflush(stdout);
    waitUntil([] { return false; }, 60000);
}

TEST_F(RecoveryTest, KilledProgramsAttemptsAreRestoredAtTheNextStart) {
    app.reset();
    setenv(ChildHome, dir.path().c_str(), 1);
    BackgroundProcess child({"/proc/self/exe", "--gtest_filter=RecoveryChild.*"});
    unsetenv(ChildHome);
    std::string line;
    for (int i = 0; i < 50 && line.rfind("recorded", 0) != 0; ++i) line = child.readLine(10.0);
    ASSERT_EQ(line.rfind("recorded", 0), 0u) << line;
    ::kill(child.pid(), SIGKILL);
    ::waitpid(child.pid(), nullptr, 0);
    int first = 0, second = 0;
    ASSERT_EQ(std::sscanf(line.c_str(), "recorded %d %d", &first, &second), 2);

    port.answers.push_back(Answer::Yes);
    restart();
    EXPECT_EQ(port.questions.value(0), RestoreQuestion);
    const MeasurementStore& store = state().store;
    ASSERT_EQ(store.attemptCount, 2);
    EXPECT_EQ(store.startTime[0], first);
    EXPECT_EQ(store.startTime[1], second);
    EXPECT_EQ(store.length[1], 100);
    EXPECT_EQ(store.dataSaved, 0);
    EXPECT_EQ(store.dataPresent, 1);

    // A normal end leaves nothing to restore.
    app->shutdown();
    port.questions.clear();
    restart();
    EXPECT_TRUE(port.questions.isEmpty());
    EXPECT_EQ(state().store.attemptCount, 0);
}

}  // namespace
}  // namespace kenvo::test
