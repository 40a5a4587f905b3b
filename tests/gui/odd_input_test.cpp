// Names that are not files the program can read, given to every command that opens one.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QAction>
#include <chrono>
#include <condition_variable>
#include <filesystem>
#include <mutex>
#include <thread>

#include "app_fixture.h"
#include "command_ids.h"
#include "main_frame.h"
#include "operator_port.h"
#include "session_recovery.h"

namespace kenvo::test {
namespace {

namespace fs = std::filesystem;

// After 10 s, keeps opening the writing end of each FIFO until stopped, which sets free every
// reader stuck opening one: a command that blocks then fails its test instead of hanging the
// suite.
class FifoWatchdog {
  public:
    explicit FifoWatchdog(std::vector<std::string> fifos) : fifos_(std::move(fifos)) {
        thread_ = std::thread([this] {
            std::unique_lock lock(mutex_);
            if (wake_.wait_for(lock, std::chrono::seconds(10), [this] { return done_; })) return;
            fired_ = true;
            do {
                for (const std::string& f : fifos_) {
                    const int fd = ::open(f.c_str(), O_WRONLY | O_NONBLOCK);
                    if (fd >= 0) ::close(fd);
                }
            } while (!wake_.wait_for(lock, std::chrono::milliseconds(50), [this] { return done_; }));
        });
    }
    ~FifoWatchdog() { stop(); }
    // True when the commands were done before the watchdog had to step in.
    bool stop() {
        {
            std::lock_guard lock(mutex_);
            done_ = true;
        }
        wake_.notify_all();
        if (thread_.joinable()) thread_.join();
        return !fired_;
    }

  private:
    std::vector<std::string> fifos_;
    std::mutex mutex_;
    std::condition_variable wake_;
    bool done_ = false;
    bool fired_ = false;
    std::thread thread_;
};

class OddInputTest : public AppFixture {
  protected:
    std::string fifo(const std::string& name) {
        const std::string path = home(name);
        fs::remove(path);
        EXPECT_EQ(::mkfifo(path.c_str(), 0600), 0) << path;
        return path;
    }
    void choose(const std::string& path) { port.files = {QString::fromStdString(path)}; }
};

TEST_F(OddInputTest, OpenCommandsRefuseAPipeOrAFolderWithTheirMessageAndWithoutWaiting) {
    const std::string data = fifo("DATA/x.kplat"), cfg = fifo("x.swpcfg"),
                      protocol = fifo("x.kplatprt"), recording = fifo("x.csv");
    const std::string folder = home("DATA/folder.kplat");
    fs::create_directory(folder);
    ASSERT_TRUE(app->setPlatformChoice(0));  // Play a recording needs the simulated platform
    addAttempts(state().store, 2, 100);
    state().store.dataSaved = 1;  // no question before Open
    state().settings.graph.copAxisMax = 77;
    state().protocol.name = "kept";

    FifoWatchdog watchdog({data, cfg, protocol, recording});
    choose(data);
    frame().runCommand(CmdOpen);
    choose(folder);
    frame().runCommand(CmdOpen);
    choose(cfg);
    frame().runCommand(CmdOpenCfg);
    choose(protocol);
    frame().runCommand(CmdOpenProtocol);
    choose(recording);
    frame().playRecordingAction()->trigger();
    ASSERT_TRUE(watchdog.stop()) << "a command waited on a pipe";

    EXPECT_EQ(port.messages, (QStringList{"Error opening file", "Error opening file", "Error opening file",
                                          "Error opening file", "The recording cannot be played."}));
    const std::vector<std::string> named = {data, folder, cfg, protocol, recording};
    ASSERT_EQ(port.details.size(), 5);
    for (int k = 0; k < 5; ++k)
        EXPECT_TRUE(port.details[k].contains(QString::fromStdString(named[static_cast<std::size_t>(k)])))
            << port.details[k].toStdString();
    EXPECT_EQ(state().store.attemptCount, 2);
    EXPECT_EQ(state().settings.graph.copAxisMax, 77);
    EXPECT_EQ(state().protocol.name, "kept");
    EXPECT_FALSE(frame().playRecordingAction()->isChecked());
}

// A pipe in place of the start-up configuration and of the recovery copy: the program says
// so and starts.
TEST_F(OddInputTest, StartupConfigurationAndRecoveryCopyThatArePipesAreRefused) {
    app.reset();  // ends like a crash: the running mark stays
    const std::string cfg = fifo("default.swpcfg");
    const std::string recovery = fifo("recovery.kplat");
    writeFileBytes(home("kenvoplat.running"), "running\n");
    port.answers.push_back(Answer::Yes);
    FifoWatchdog watchdog({cfg, recovery});
    restart();
    ASSERT_TRUE(watchdog.stop()) << "the start waited on a pipe";
    EXPECT_EQ(port.questions.value(0), RestoreQuestion);
    EXPECT_EQ(port.messages, (QStringList{"Error opening file", "Error opening file"}));
    ASSERT_EQ(port.details.size(), 2);
    EXPECT_TRUE(port.details[0].contains("default.swpcfg")) << port.details[0].toStdString();
    EXPECT_TRUE(port.details[1].contains("recovery.kplat")) << port.details[1].toStdString();
    EXPECT_EQ(state().store.attemptCount, 0);
}

}  // namespace
}  // namespace kenvo::test
