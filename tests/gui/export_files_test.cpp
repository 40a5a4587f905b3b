// Where the window's exports and Save put their files: the chooser's proposal, the question
// before a file is replaced, a cancel that writes nothing, and the status bar naming the file.
#include <QDateTime>
#include <QFileInfo>
#include <QStatusBar>
#include <filesystem>

#include "app_fixture.h"
#include "clinical_commands.h"
#include "clipboard_export.h"
#include "command_ids.h"
#include "file_commands.h"
#include "files/measurement_file.h"
#include "stance_support.h"

namespace kenvo::test {
namespace {

namespace fs = std::filesystem;

constexpr int ExportXmlButton = 32812;
constexpr int32_t Dec8At9Utc = 1796720400;  // 2026-12-08 09:00:00 UTC

class ExportFiles : public AppFixture {
  protected:
    void SetUp() override {
        AppFixture::SetUp();
        frame().exports().setFileOpener([this](const QString& p) { opened << p; });
    }
    QString dataFolder() { return QString::fromStdString(state().paths.dataFolder); }
    QString inData(const char* name) { return dataFolder() + "/" + name; }
    QString statusText() { return frame().statusBar()->currentMessage(); }

    void dataSet(int attempts) {
        addAttempts(state().store, attempts, 300);
        state().store.subject.name = "Export Test";
        for (int a = 0; a < attempts; ++a) state().store.startTime[size_t(a)] = Dec8At9Utc + 60 * a;
    }
    // Two measurement files in the data folder, for the commands that read many.
    QStringList twoFiles() {
        dataSet(2);
        const std::string a = home("DATA/a.kplat"), b = home("DATA/b.kplat");
        EXPECT_TRUE(saveMeasurementFile(a, state().store));
        EXPECT_TRUE(saveMeasurementFile(b, state().store));
        return {QString::fromStdString(a), QString::fromStdString(b)};
    }

    // Runs one of the three exports; `files` are what the many-file commands read.
    void runExport(int command, const QStringList& files) {
        if (command != ExportXmlButton) port.fileLists = {files};
        frame().runCommand(command);
    }

    // The proposal, Cancel, No and Yes of one export whose proposed file is `proposed`.
    void checkTheWayOut(int command, const QStringList& files, const QString& proposed,
                        const QString& filter) {
        SCOPED_TRACE(proposed.toStdString());
        const std::string target = proposed.toStdString();
        fs::remove(target);

        // Cancel: nothing written, nothing told, nothing opened.
        port.files = {std::nullopt};
        runExport(command, files);
        const FileRequest& asked = port.requests.back();
        EXPECT_TRUE(asked.save);
        EXPECT_EQ(asked.filter, filter);
        EXPECT_EQ(asked.folder, QFileInfo(proposed).absolutePath());
        EXPECT_EQ(asked.proposedName, QFileInfo(proposed).fileName());
        EXPECT_TRUE(asked.callerConfirmsOverwrite);
        EXPECT_FALSE(fs::exists(target));
        EXPECT_TRUE(port.messages.isEmpty()) << port.messages.join('|').toStdString();
        EXPECT_TRUE(port.questions.isEmpty());
        EXPECT_TRUE(opened.isEmpty());

        // Written where chosen; the status bar names the full path.
        port.files = {proposed};
        runExport(command, files);
        ASSERT_TRUE(fs::exists(target));
        EXPECT_TRUE(port.questions.isEmpty()) << "a new file is not asked about";
        EXPECT_NE(statusText().indexOf(proposed), -1) << statusText().toStdString();
        const std::string written = readFileBytes(target);
        EXPECT_FALSE(written.empty());
        EXPECT_EQ(fs::status(target).permissions() & fs::perms::all,
                  fs::perms::owner_read | fs::perms::owner_write)
            << "it names the subject";

        // An existing file: No keeps it byte for byte and writes nothing else beside it.
        writeFileBytes(target, "the operator's own file");
        frame().statusBar()->clearMessage();
        const auto before = fs::directory_iterator(fs::path(target).parent_path());
        const auto entries = std::distance(before, fs::directory_iterator());
        port.files = {proposed};
        port.answers = {Answer::No};
        runExport(command, files);
        ASSERT_EQ(port.questions.size(), 1);
        EXPECT_NE(port.questions.back().indexOf(proposed), -1) << "the question names the file";
        EXPECT_EQ(readFileBytes(target), "the operator's own file");
        EXPECT_EQ(std::distance(fs::directory_iterator(fs::path(target).parent_path()),
                                fs::directory_iterator()),
                  entries);
        EXPECT_EQ(statusText().indexOf(proposed), -1) << statusText().toStdString();
        EXPECT_TRUE(port.messages.isEmpty());

        // Yes replaces it with the same bytes a new file gets.
        port.files = {proposed};
        port.answers = {Answer::Yes};
        runExport(command, files);
        EXPECT_EQ(readFileBytes(target), written);
        EXPECT_NE(statusText().indexOf(proposed), -1);
        EXPECT_TRUE(port.messages.isEmpty());
    }

    QStringList opened;
};

TEST_F(ExportFiles, ExportXmlProposesNonameInTheDataFolder) {
    dataSet(3);
    frame().runCommand(CmdSummary);
    checkTheWayOut(ExportXmlButton, {}, inData("noname.xml"),
                   "XML Spreadsheet Files (*.xml)|*.xml||");
    EXPECT_EQ(opened.size(), 2) << "opened after each write, not after No or Cancel";

    // A name typed without an extension gets .xml; another folder is taken as chosen.
    port.files = {QString::fromStdString(home("elsewhere/table"))};
    fs::create_directories(home("elsewhere"));
    frame().runCommand(ExportXmlButton);
    EXPECT_TRUE(fs::exists(home("elsewhere/table.xml")));
    EXPECT_EQ(opened.back(), QString::fromStdString(home("elsewhere/table.xml")));
}

TEST_F(ExportFiles, BatchAnalysisProposesAnalysisInTheDataFolder) {
    const QStringList files = twoFiles();
    checkTheWayOut(CmdBatchAnalysis, files, inData("analysis.xml"),
                   "XML Spreadsheet Files (*.xml)|*.xml||");
    const std::string xml = readFileBytes(home("DATA/analysis.xml"));
    EXPECT_NE(xml.find("Export Test"), std::string::npos);
}

TEST_F(ExportFiles, ClinicalMeasuresProposeACsvInTheDataFolder) {
    const QStringList files = twoFiles();
    checkTheWayOut(CmdClinicalFiles, files, inData("measures.csv"), "CSV Files (*.csv)|*.csv||");
    EXPECT_TRUE(opened.isEmpty()) << "the CSV is not handed to another program";
}

TEST_F(ExportFiles, AFailedWriteIsToldAndNotReportedAsWritten) {
    dataSet(1);
    frame().runCommand(CmdSummary);
    port.files = {QString::fromStdString(home("no/such/folder/t.xml"))};
    frame().runCommand(ExportXmlButton);
    EXPECT_EQ(port.messages, QStringList{"The table could not be exported."});
    EXPECT_FALSE(port.details.value(0).isEmpty());
    EXPECT_EQ(statusText().indexOf("t.xml"), -1) << statusText().toStdString();
    EXPECT_TRUE(opened.isEmpty());
}

class SaveProposal : public AppFixture {
  protected:
    QString dataFolder() { return QString::fromStdString(state().paths.dataFolder); }
    // The day of `t` as this machine's clock shows it.
    static QString localDay(qint64 t) {
        return QDateTime::fromSecsSinceEpoch(t).toString("yyyy-MM-dd");
    }
    void recorded(const char* cp1250Name, int32_t mode) {
        addAttempts(state().store, 2, 100);
        state().store.startTime[0] = Dec8At9Utc;
        state().store.startTime[1] = Dec8At9Utc + 100;
        state().store.subject.name = cp1250Name;
        state().store.settings.testMode = mode;
    }
    const FileRequest& proposeBySaving() {
        port.files = {std::nullopt};
        frame().runCommand(CmdSave);
        return port.requests.back();
    }
};

TEST_F(SaveProposal, NameOfTheSubjectTheDayAndTheTest) {
    recorded("Jana Nov\xE1kov\xE1", TestModeStance);
    const QString stance = "Jana_Novakova_" + localDay(Dec8At9Utc) + "_stance.kplat";
    const FileRequest& asked = proposeBySaving();
    EXPECT_EQ(asked.proposedName, stance);
    EXPECT_EQ(asked.folder, dataFolder());
    EXPECT_EQ(state().store.dataSaved, 0) << "cancelled";

    state().store.settings.testMode = TestModeDriving;
    EXPECT_TRUE(proposeBySaving().proposedName.endsWith("_driving.kplat"));
    state().store.settings.testMode = TestModeTargetHitting;
    EXPECT_TRUE(proposeBySaving().proposedName.endsWith("_target.kplat"));
    // Conditions of the sensory test win over the test mode.
    state().store.settings.testMode = TestModeStance;
    state().sensory.setCondition(state().store, 0, SensoryCondition::EoFirm);
    EXPECT_TRUE(proposeBySaving().proposedName.endsWith("_sensory.kplat"));
}

TEST_F(SaveProposal, ATakenNameIsNumberedAndASavedDataSetKeepsItsFile) {
    recorded("\x8Akoda", TestModeStance);
    const QString first = "Skoda_" + localDay(Dec8At9Utc) + "_stance.kplat";
    port.files = {dataFolder() + "/" + first};
    frame().runCommand(CmdSave);
    ASSERT_EQ(state().store.dataSaved, 1);
    EXPECT_EQ(frame().statusBar()->currentMessage(),
              "Saved to " + QFileInfo(dataFolder() + "/" + first).absoluteFilePath());
    // Saved again: its own file is proposed.
    EXPECT_EQ(proposeBySaving().proposedName, first);

    // Another data set of the same subject and day: the name is taken.
    state().store.attemptCount = 0;
    recorded("\x8Akoda", TestModeStance);
    state().store.startTime[0] = Dec8At9Utc + 600;
    const QString second = "Skoda_" + localDay(Dec8At9Utc) + "_stance_2.kplat";
    EXPECT_EQ(proposeBySaving().proposedName, second);
    port.files = {dataFolder() + "/" + second};
    frame().runCommand(CmdSave);
    ASSERT_TRUE(fs::exists(home("DATA/" + second.toStdString())));
    state().store.attemptCount = 0;
    recorded("\x8Akoda", TestModeStance);
    state().store.startTime[0] = Dec8At9Utc + 1200;
    EXPECT_EQ(proposeBySaving().proposedName, "Skoda_" + localDay(Dec8At9Utc) + "_stance_3.kplat");
}

TEST_F(SaveProposal, NoNameAndNoStartTimeFallBackToSubjectAndToday) {
    addAttempts(state().store, 1, 100);
    state().store.startTime[0] = 0;
    const qint64 before = QDateTime::currentSecsSinceEpoch();
    const QString asked = proposeBySaving().proposedName;
    const qint64 after = QDateTime::currentSecsSinceEpoch();
    EXPECT_TRUE(asked == "Subject_" + localDay(before) + "_stance.kplat" ||
                asked == "Subject_" + localDay(after) + "_stance.kplat")
        << asked.toStdString();
}

using EmptyDataSet = StanceFixture;

TEST_F(EmptyDataSet, ATestEndedWithNothingRecordedOffersNoSaveAndTheNextAsksNothing) {
    answerStanceDialog("10");
    frame().runCommand(CmdStanceTest);
    ASSERT_EQ(mode(), ViewMode::StanceTest);
    frame().runCommand(StanceExitButton);  // nothing recorded: no save chooser
    EXPECT_TRUE(port.requests.empty());
    state().store.dataSaved = 0;  // as after the last attempt was deleted
    frame().runCommand(CmdStanceTest);
    EXPECT_EQ(mode(), ViewMode::StanceTest);
    EXPECT_TRUE(port.questions.isEmpty()) << port.questions.join('|').toStdString();
    frame().runCommand(StanceExitButton);
    EXPECT_TRUE(port.requests.empty());
}

}  // namespace
}  // namespace kenvo::test
