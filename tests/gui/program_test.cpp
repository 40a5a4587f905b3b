#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <thread>

#include "support/process.h"
#include "support/temp_dir.h"

namespace kenvo::test {
namespace {

namespace fs = std::filesystem;

TEST(Program, AnswersVersionAndHelpWithoutAWindow) {
    const ProcessResult version = runProcess({KENVOPLAT_PROGRAM, "--version"});
    EXPECT_EQ(version.exitCode, 0);
    EXPECT_EQ(version.out, "kenvoplat " KENVOPLAT_VERSION "\n");
    const ProcessResult help = runProcess({KENVOPLAT_PROGRAM, "--help"});
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_NE(help.out.find("KENVOPLAT_HOME"), std::string::npos);
}

TEST(Program, TerminationClosesLikeExitAndWritesTheConfiguration) {
    TempDir home;
    setenv("KENVOPLAT_HOME", home.path().c_str(), 1);
    setenv("XDG_CONFIG_HOME", home.path().c_str(), 1);  // the profile stays in the test folder
    {
        // A file name on the command line is not opened; the program starts empty as always.
        BackgroundProcess program({KENVOPLAT_PROGRAM, home.file("absent.kplat")});
        for (int i = 0; i < 200 && !fs::is_directory(home.file("DATA")); ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        ASSERT_TRUE(fs::is_directory(home.file("DATA")));
        EXPECT_EQ(program.stop(), 0);
    }
    unsetenv("KENVOPLAT_HOME");
    ASSERT_TRUE(fs::exists(home.file("default.swpcfg")));
    EXPECT_EQ(fs::file_size(home.file("default.swpcfg")), 212u);
}

}  // namespace
}  // namespace kenvo::test
