#include <QAction>
#include <filesystem>

#include "app_fixture.h"
#include "app_paths.h"
#include "files/configuration_file.h"
#include "model/graph_settings.h"

namespace kenvo::test {
namespace {

namespace fs = std::filesystem;

using Startup = AppFixture;

TEST_F(Startup, WithoutConfigurationRunsOnDefaultsAndExitWritesTheFile) {
    EXPECT_EQ(state().settings.test, TestSettings::defaults());
    GraphSettings expected = GraphSettings::defaults();
    EXPECT_EQ(state().settings.graph, expected);
    EXPECT_TRUE(port.messages.isEmpty());
    EXPECT_FALSE(fs::exists(home("default.swpcfg")));

    frame().close();

    ASSERT_TRUE(fs::exists(home("default.swpcfg")));
    EXPECT_EQ(fs::file_size(home("default.swpcfg")), ConfigurationFileSize);
}

TEST_F(Startup, SettingsChangedInOneRunAreThereInTheNext) {
    state().settings.graph.copTraceLength = 777;
    state().settings.test.stanceTime = 25;
    frame().close();
    restart();
    EXPECT_EQ(state().settings.graph.copTraceLength, 777);
    EXPECT_EQ(state().store.attemptSeconds, 25);
}

TEST_F(Startup, CreatesTheDataFolderAndLeavesAnExistingOneAlone) {
    ASSERT_TRUE(fs::is_directory(home("DATA")));
    writeFileBytes(home("DATA/kept.kplat"), "x");
    restart();
    EXPECT_TRUE(fs::exists(home("DATA/kept.kplat")));
    EXPECT_TRUE(app->startupProblems().isEmpty());
}

TEST_F(Startup, DataFolderThatCannotBeMadeIsReportedWithoutStopping) {
    fs::remove_all(home("DATA"));
    writeFileBytes(home("DATA"), "a file where the folder should be");
    restart();
    ASSERT_EQ(app->startupProblems().size(), 1);
    EXPECT_TRUE(app->startupProblems().front().contains("DATA"));
    EXPECT_EQ(frame().windowTitle(), "Kenvotec - KenvoPlat");
}

TEST_F(Startup, IncompatibleConfigurationIsShownAndTheBuiltInValuesKept) {
    frame().close();
    writeFileBytes(home("default.swpcfg"), std::string(212, 'Z'));
    restart();
    ASSERT_EQ(port.messages, QStringList{"Incompatible data"});
    EXPECT_EQ(state().settings.test.stanceTime, 0);  // not even the defaults were applied
}

TEST_F(Startup, ConfigurationThatCannotBeWrittenAtExitIsReported) {
    fs::create_directory(home("default.swpcfg"));  // a folder in the file's place
    frame().close();
    ASSERT_EQ(port.notices.size(), 1);
    EXPECT_TRUE(port.notices.front().contains("settings could not be saved"));
}

TEST_F(Startup, WindowHasItsTitleSizeAndBlankView) {
    EXPECT_EQ(app->document().title(), "Kenvotec");
    EXPECT_EQ(frame().windowTitle(), "Kenvotec - KenvoPlat");
    EXPECT_EQ(frame().size(), QSize(800, 560));
    EXPECT_EQ(frame().dialogBar(), nullptr);
}

TEST_F(Startup, PlatformChoiceIsRememberedBetweenRuns) {
    EXPECT_EQ(app->platformChoice(), -1);
    frame().findChild<QAction*>();  // the menu exists
    ASSERT_TRUE(app->setPlatformChoice(2));
    restart();
    EXPECT_EQ(app->platformChoice(), 2);
    // The simulated platform is found like a real one.
    EXPECT_TRUE(app->link().discover());
    EXPECT_EQ(app->link().selectedModel(), 2);
}

TEST_F(Startup, PlatformFromTheEnvironmentForOneRun) {
    qputenv("KENVOPLAT_PLATFORM", "simulated");
    restart();
    EXPECT_EQ(app->platformChoice(), 0);  // nothing remembered: model 0
    EXPECT_TRUE(app->link().discover());
    qunsetenv("KENVOPLAT_PLATFORM");
    restart();
    EXPECT_EQ(app->platformChoice(), -1);  // and nothing was remembered
    ASSERT_TRUE(app->setPlatformChoice(3));
    qputenv("KENVOPLAT_PLATFORM", "simulated");
    restart();
    EXPECT_EQ(app->platformChoice(), 3);  // the remembered simulated model is kept
    qputenv("KENVOPLAT_PLATFORM", "simulated:1");
    restart();
    EXPECT_EQ(app->platformChoice(), 1);
    qputenv("KENVOPLAT_PLATFORM", "auto");
    restart();
    EXPECT_EQ(app->platformChoice(), -1);
    qunsetenv("KENVOPLAT_PLATFORM");
}

TEST_F(Startup, AutomaticPlatformWithoutHardwareFindsNothing) {
    qputenv("KENVOPLAT_SERIAL_DEVICES", "");
    ASSERT_TRUE(app->setPlatformChoice(-1));
    EXPECT_FALSE(app->link().discover());
}

TEST(AppPaths, HomeOverrideThenWritableProgramFolderThenUserFolders) {
    TempDir dir;
    const AppPaths portable = resolveAppPaths({dir.path(), "/nonexistent", "/cfg", "/docs"});
    EXPECT_EQ(portable.configPath, dir.file("default.swpcfg"));
    EXPECT_EQ(portable.dataFolder, dir.file("DATA"));
    EXPECT_EQ(portable.programFolder, dir.path());

    const AppPaths beside = resolveAppPaths({"", dir.path(), "/cfg", "/docs"});
    EXPECT_EQ(beside.configPath, dir.file("default.swpcfg"));

    const AppPaths user =
        resolveAppPaths({"", "/nonexistent/bin", "/cfg/KenvoPlat", "/docs/KenvoPlat"});
    EXPECT_EQ(user.configPath, "/cfg/KenvoPlat/default.swpcfg");
    EXPECT_EQ(user.dataFolder, "/docs/KenvoPlat/DATA");
    EXPECT_EQ(user.programFolder, "/cfg/KenvoPlat");
}

}  // namespace
}  // namespace kenvo::test
