#include <QCloseEvent>
#include <filesystem>

#include "app_fixture.h"
#include "command_ids.h"
#include "dialog_bar.h"
#include "file_commands.h"
#include "files/measurement_file.h"

namespace kenvo::test {
namespace {

namespace fs = std::filesystem;

class FileCommandsTest : public AppFixture {
  protected:
    QString path(const std::string& name) { return QString::fromStdString(home(name)); }

    // A data set of two attempts saved to `name`, then the store changed and left unsaved.
    void savedDataSet(const std::string& name) {
        addAttempts(state().store, 2, 300);
        state().store.calibration.scaleX = state().store.calibration.scaleY = 260.0f;
        state().store.subject.name = "Saved";
        port.files = {path(name)};
        frame().runCommand(CmdSave);
        ASSERT_EQ(state().store.dataSaved, 1);
        addAttempts(state().store, 1, 50);
        state().store.subject.name = "Changed";
    }
};

TEST_F(FileCommandsTest, SaveThenOpenBringsTheDataSetBack) {
    savedDataSet("DATA/first.kplat");
    const FileRequest& save = port.requests.back();
    EXPECT_TRUE(save.save);
    EXPECT_EQ(save.filter, "KenvoPlat Files (*.kplat)|*.kplat||");
    EXPECT_EQ(save.defaultExtension, "kplat");
    EXPECT_EQ(save.folder.toStdString(), home("DATA"));

    frame().switchDialogBar(138);
    port.answers = {Answer::No};
    port.files = {path("DATA/first.kplat")};
    frame().runCommand(CmdOpen);

    EXPECT_EQ(port.questions, QStringList{"Data not saved. Save?"});
    EXPECT_FALSE(port.questionHadCancel.back());
    EXPECT_EQ(state().store.attemptCount, 2);
    EXPECT_EQ(state().store.subject.name, "Saved");
    EXPECT_EQ(state().store.dataSaved, 1);
    EXPECT_EQ(frame().dialogBar(), nullptr);  // the blank view followed the load
    EXPECT_FALSE(port.requests.back().save);
}

TEST_F(FileCommandsTest, YesToTheQuestionSavesBeforeOpening) {
    savedDataSet("DATA/first.kplat");
    port.answers = {Answer::Yes};
    port.files = {path("DATA/second"), path("DATA/first.kplat")};
    frame().runCommand(CmdOpen);
    ASSERT_TRUE(fs::exists(home("DATA/second.kplat")));  // the extension was added
    EXPECT_EQ(state().store.subject.name, "Saved");

    port.files = {path("DATA/second.kplat")};
    frame().runCommand(CmdOpen);  // saved now: no question
    EXPECT_EQ(port.questions.size(), 1);
    EXPECT_EQ(state().store.attemptCount, 3);
    EXPECT_EQ(state().store.subject.name, "Changed");
}

TEST_F(FileCommandsTest, CancelledSaveAfterYesKeepsTheUnsavedData) {
    savedDataSet("DATA/first.kplat");
    port.answers = {Answer::Yes};
    port.files = {std::nullopt};  // the save chooser is cancelled; no open chooser may follow
    frame().runCommand(CmdOpen);
    EXPECT_EQ(port.requests.back().save, true);
    EXPECT_TRUE(port.files.empty());
    EXPECT_EQ(state().store.attemptCount, 3);
    EXPECT_EQ(state().store.dataSaved, 0);
}

TEST_F(FileCommandsTest, FailedLoadShowsItsMessageAndKeepsTheView) {
    writeFileBytes(home("DATA/bad.kplat"), "not a measurement file at all");
    frame().switchDialogBar(142);
    port.files = {path("DATA/bad.kplat")};
    frame().runCommand(CmdOpen);
    ASSERT_EQ(port.messages.size(), 1);
    EXPECT_NE(frame().dialogBar(), nullptr);
}

TEST_F(FileCommandsTest, AnEmptyDataSetIsNotOfferedForSaving) {
    // Every attempt deleted: nothing recorded, though the flag says unsaved.
    addAttempts(state().store, 1, 10);
    ASSERT_TRUE(state().store.deleteAttempt(0));
    state().store.dataSaved = 0;
    frame().updateCommandStates();
    EXPECT_FALSE(frame().action(CmdSave)->isEnabled());
    frame().runCommand(CmdSave);
    EXPECT_FALSE(frame().files().save());  // as a test's Exit calls it
    EXPECT_TRUE(port.requests.empty()) << "no chooser";
    if (fs::exists(home("DATA"))) {
        for (const auto& entry : fs::directory_iterator(home("DATA")))
            EXPECT_NE(entry.path().extension(), ".kplat") << entry.path();
    }

    // Nor is anyone asked to save it before it is replaced or the program ends.
    writeFileBytes(home("DATA/bad.kplat"), "not a measurement file at all");
    port.files = {path("DATA/bad.kplat")};
    frame().runCommand(CmdOpen);
    EXPECT_EQ(port.requests.size(), 1u);
    EXPECT_FALSE(port.requests.back().save);
    QCloseEvent close;
    QCoreApplication::sendEvent(&frame(), &close);
    EXPECT_TRUE(close.isAccepted());
    EXPECT_TRUE(port.questions.isEmpty()) << port.questions.join('|').toStdString();

    // One attempt makes it worth saving again.
    addAttempts(state().store, 1, 10);
    frame().updateCommandStates();
    EXPECT_TRUE(frame().action(CmdSave)->isEnabled());
}

TEST_F(FileCommandsTest, SaveCancelledKeepsTheFlag) {
    addAttempts(state().store, 1, 10);
    port.files = {std::nullopt};
    frame().runCommand(CmdSave);
    EXPECT_EQ(state().store.dataSaved, 0);
}

TEST_F(FileCommandsTest, ConfigurationRoundTripAndMissingFileGivesDefaults) {
    state().settings.graph.copAxisMax = 123;
    port.files = {path("mine")};
    frame().runCommand(CmdSaveCfg);
    EXPECT_EQ(port.requests.back().filter, "KenvoPlat CFG Files (*.swpcfg)|*.swpcfg||");
    EXPECT_EQ(port.requests.back().folder.toStdString(), dir.path());
    ASSERT_TRUE(fs::exists(home("mine.swpcfg")));

    state().settings.graph.copAxisMax = 7;
    port.files = {path("mine.swpcfg")};
    frame().runCommand(CmdOpenCfg);
    EXPECT_EQ(state().settings.graph.copAxisMax, 123);

    port.files = {path("typed-but-absent.swpcfg")};
    frame().runCommand(CmdOpenCfg);
    EXPECT_EQ(state().settings.graph.copAxisMax, GraphSettings::defaults().copAxisMax);
    EXPECT_TRUE(port.messages.isEmpty());
}

TEST_F(FileCommandsTest, SaveCfgThatFailsIsReported) {
    port.files = {path("no/such/folder/x.swpcfg")};
    frame().runCommand(CmdSaveCfg);
    EXPECT_EQ(port.messages, QStringList{"File Save Error"});
}

TEST_F(FileCommandsTest, ProtocolRoundTripAndMeasurementFileUnderProtocolName) {
    state().protocol = {"Four", 4};
    state().store.targetLocation[0] = 3;
    state().store.targetLocation[3] = 1;
    port.files = {path("four")};
    frame().runCommand(CmdSaveProtocol);
    EXPECT_EQ(port.requests.back().filter, "KenvoPlat Protocol Files (*.kplatprt)|*.kplatprt||");
    state().protocol = {};
    state().store.targetLocation.fill(0);
    frame().switchDialogBar(142);
    port.files = {path("four.kplatprt")};
    frame().runCommand(CmdOpenProtocol);
    EXPECT_EQ(state().protocol.name, "Four");
    EXPECT_EQ(state().store.targetLocation[0], 3);
    EXPECT_EQ(state().store.targetLocation[3], 1);
    EXPECT_EQ(frame().dialogBar(), nullptr);
}

TEST_F(FileCommandsTest, ClosingWithUnsavedDataAsksAndCancelKeepsTheProgram) {
    addAttempts(state().store, 1, 10);
    port.answers = {Answer::Cancel};
    QCloseEvent refused;
    QCoreApplication::sendEvent(&frame(), &refused);
    EXPECT_FALSE(refused.isAccepted());
    EXPECT_TRUE(port.questionHadCancel.back());
    EXPECT_FALSE(fs::exists(home("default.swpcfg")));

    port.answers = {Answer::No};
    QCloseEvent accepted;
    QCoreApplication::sendEvent(&frame(), &accepted);
    EXPECT_TRUE(accepted.isAccepted());
    EXPECT_TRUE(fs::exists(home("default.swpcfg")));
}

TEST_F(FileCommandsTest, ClosingAfterYesAndAFailedSaveStaysOpen) {
    addAttempts(state().store, 1, 10);
    port.answers = {Answer::Yes};
    port.files = {path("no/such/folder/x.kplat")};
    QCloseEvent event;
    QCoreApplication::sendEvent(&frame(), &event);
    EXPECT_FALSE(event.isAccepted());
    EXPECT_EQ(port.messages, QStringList{"File Save Error"});
    EXPECT_EQ(state().store.dataSaved, 0);
}

TEST_F(FileCommandsTest, RecentFilesKeepTheLastFourAndOpenFromTheMenu) {
    addAttempts(state().store, 1, 10);
    for (int i = 0; i < 5; ++i) {
        port.files = {path("DATA/f" + std::to_string(i) + ".kplat")};
        frame().runCommand(CmdSave);
    }
    const QStringList recent = frame().recentFiles().files();
    ASSERT_EQ(recent.size(), 4);
    EXPECT_TRUE(recent.front().endsWith("f4.kplat"));
    EXPECT_TRUE(recent.back().endsWith("f1.kplat"));
    EXPECT_TRUE(frame().action(CmdRecentFile1)->text().endsWith("f4.kplat"));

    restart();  // kept in the profile
    ASSERT_EQ(frame().recentFiles().files(), recent);
    frame().runCommand(CmdRecentFile1 + 3);
    EXPECT_TRUE(port.messages.isEmpty());
    EXPECT_TRUE(frame().recentFiles().files().front().endsWith("f1.kplat"));
}

TEST(FileNames, DefaultExtensionOnlyWhenThereIsNone) {
    EXPECT_EQ(withDefaultExtension("/a/b", "kplat"), "/a/b.kplat");
    EXPECT_EQ(withDefaultExtension("/a/b.dat", "kplat"), "/a/b.dat");
    EXPECT_EQ(withDefaultExtension("/a.d/b", "kplat"), "/a.d/b.kplat");
    EXPECT_EQ(qtNameFilter("KenvoPlat Files (*.kplat)|*.kplat||"), "KenvoPlat Files (*.kplat)");
}

}  // namespace
}  // namespace kenvo::test
