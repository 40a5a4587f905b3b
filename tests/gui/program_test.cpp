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
    // A readable measurement file, so that only the start-up rule keeps it from being opened.
    writeFileBytes(home.file("rec.csv"), "t_s,x_mm,y_mm\n0.00,1,2\n0.01,1.5,2.5\n0.02,2,3\n");
    const std::string data = home.file("given.kplat");
    ASSERT_EQ(runProcess({KENVOPLAT_CLI, "import-csv", "-o", data, home.file("rec.csv")}).exitCode, 0);
    {
        // A file name on the command line is not opened; the program starts empty as always.
        BackgroundProcess program({KENVOPLAT_PROGRAM, data});
        for (int i = 0; i < 200 && !fs::is_directory(home.file("DATA")); ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        ASSERT_TRUE(fs::is_directory(home.file("DATA")));
        EXPECT_EQ(program.stop(), 0);
    }
    unsetenv("KENVOPLAT_HOME");
    ASSERT_TRUE(fs::exists(home.file("default.swpcfg")));
    EXPECT_EQ(fs::file_size(home.file("default.swpcfg")), 212u);
    // Every opened file joins the recent-file list in the profile; this one must not be there.
    const std::string profile = home.file("Kenvotec/KenvoPlat.conf");
    const std::string kept = fs::exists(profile) ? readFileBytes(profile) : std::string();
    EXPECT_EQ(kept.find("given.kplat"), std::string::npos) << kept;
}

}  // namespace
}  // namespace kenvo::test
