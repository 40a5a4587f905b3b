// A data set shows the same numbers whether or not it was saved and opened again: every table,
// what Copy All puts on the clipboard and the exported spreadsheet, for recorded stance and
// driving data sets and for a stance test of a played recording.
#include <QAction>
#include <QClipboard>
#include <QGuiApplication>
#include <QLineEdit>
#include <QRadioButton>
#include <cmath>
#include <cstdio>
#include <filesystem>

#include "clipboard_export.h"
#include "command_ids.h"
#include "driving_dialogs.h"
#include "evaluation_controller.h"
#include "graphs/driving_display.h"
#include "procedures/driving_procedure.h"
#include "stance_support.h"
#include "support/validation_data.h"
#include "sway_list.h"

namespace kenvo::test {
namespace {

constexpr int CopyAll = 32810;
constexpr int ExportXml = 32812;

class SavedNumbersTest : public StanceFixture {
  protected:
    void SetUp() override {
        StanceFixture::SetUp();
        frame().exports().setFileOpener([](const QString&) {});
    }
    // A platform playing ten seconds of frames per second, its subject `source`.
    void attachFast(std::shared_ptr<CopSource> source) {
        auto owned = std::make_unique<SimulatedBus>(SimulatedBus::Options{10.0});
        bus = owned.get();
        bus->add({0, 70.0, std::move(source), 1});
        ASSERT_TRUE(app->useDeviceBus(std::move(owned)));
    }
    // Records `attempts` stance attempts of `seconds` and leaves the test (nothing saved yet).
    void recordStance(int attempts, const char* seconds) {
        answerStanceDialog(seconds);
        frame().runCommand(CmdStanceTest);
        ASSERT_EQ(mode(), ViewMode::StanceTest);
        for (int a = 0; a < attempts; ++a) {
            frame().runCommand(StanceStartButton);
            ASSERT_TRUE(waitUntil([&] { return state().store.attemptCount == a + 1; }, 15000)) << a;
        }
        port.files.push_back(std::nullopt);  // Exit offers to save: declined here
        frame().runCommand(StanceExitButton);
        ASSERT_EQ(state().store.dataSaved, 0);
    }

    // Every cell of every table view, then what Copy All and the spreadsheet export give, line
    // by line.
    QStringList everyText() {
        QStringList texts;
        const int tables[] = {CmdSummary,       CmdIntervalSummary, CmdAttempt,
                              CmdTargetSummary, CmdDrivingSummary,  CmdFrequencyAnalysis};
        for (int command : tables) {
            frame().runCommand(command);
            const SwayList& list = frame().evaluation().list();
            texts << QString("table %1: %2 rows").arg(command).arg(list.rowCount());
            for (int r = 0; r < list.rowCount(); ++r)
                for (int c = 0; c < list.columnCount(); ++c)
                    texts << (list.item(r, c) ? list.item(r, c)->text() : QString());
            QGuiApplication::clipboard()->clear();
            frame().runCommand(CopyAll);
            texts << QGuiApplication::clipboard()->text().split('\n');
            const std::string xml = state().paths.dataFolder + "/noname.xml";
            std::remove(xml.c_str());
            port.files = {QString::fromStdString(xml)};  // the export's chooser
            frame().runCommand(ExportXml);
            port.files.clear();
            texts << QString::fromStdString(readFileBytes(xml)).split('\n');
        }
        return texts;
    }

    // Saves the data set, opens it again and compares every text with the one before.
    void expectSameTextsAfterSavingAndOpening(const std::string& name) {
        const QStringList before = everyText();
        ASSERT_GT(before.join("").size(), 1000);  // the tables hold numbers
        const QString path = QString::fromStdString(home("DATA/" + name));
        port.files.push_back(path);
        frame().runCommand(CmdSave);
        ASSERT_EQ(state().store.dataSaved, 1);
        port.files.push_back(path);
        frame().runCommand(CmdOpen);
        ASSERT_TRUE(port.messages.isEmpty()) << port.messages.join("; ").toStdString();
        const QStringList after = everyText();
        ASSERT_EQ(after.size(), before.size());
        for (int i = 0; i < before.size(); ++i)
            EXPECT_EQ(after[i].toStdString(), before[i].toStdString()) << "text " << i;
    }
};

TEST_F(SavedNumbersTest, AStanceTestOfThreeAttempts) {
    attachFast(nullptr);
    recordStance(3, "20");
    expectSameTextsAfterSavingAndOpening("stance.kplat");
}

TEST_F(SavedNumbersTest, ADrivingDataSet) {
    attachFast(nullptr);
    port.dialogScript = [](QDialog& d) {
        auto& dialog = dynamic_cast<CDrivingDlg&>(d);
        dialog.endRadio(0)->click();
        dialog.timeEdit()->setText("20");
        dialog.directionRadio(DrivingUpDown)->click();
        dialog.velocityEdit()->setText("10");
        dialog.accept();
        return dialog.result();
    };
    frame().runCommand(CmdDrivingTest);
    ASSERT_EQ(mode(), ViewMode::DrivingTest);
    port.files.push_back(std::nullopt);  // the timed end offers to save: declined here
    frame().runCommand(DrivingStartButton);
    ASSERT_TRUE(waitUntil([&] { return state().store.attemptCount == 1; }, 15000));
    ASSERT_EQ(state().store.dataSaved, 0);
    expectSameTextsAfterSavingAndOpening("driving.kplat");
}

// The simulated subject plays a real recording when the validation set is there, else a
// recording written here, through Test > Platform > Play a recording...
TEST_F(SavedNumbersTest, AStanceTestOfAPlayedRecording) {
    std::string csv;
    if (const auto folder = validationDir();
        folder && std::filesystem::exists(*folder + "/BDS00001.csv")) {
        csv = *folder + "/BDS00001.csv";
    } else {
        csv = home("sway.csv");
        std::FILE* f = std::fopen(csv.c_str(), "w");
        std::fputs("t_s,x_mm,y_mm\n", f);
        for (int i = 0; i < 3000; ++i)
            std::fprintf(f, "%.2f,%.5f,%.5f\n", i / 100.0,
                         6.0 * std::sin(i / 70.0) + 1.3 * std::sin(i / 9.0),
                         -40.0 + 9.0 * std::cos(i / 110.0) + 0.7 * std::sin(i / 5.0));
        std::fclose(f);
    }
    ASSERT_TRUE(app->setPlatformChoice(0));  // the program's own simulated platform
    port.files.push_back(QString::fromStdString(csv));
    frame().playRecordingAction()->trigger();
    ASSERT_TRUE(frame().playRecordingAction()->isChecked())
        << port.messages.join("; ").toStdString();
    // The same subject on a platform that plays ten seconds of frames per second.
    attachFast(std::shared_ptr<CopSource>(&app->simulatedSubject(), [](CopSource*) {}));
    recordStance(1, "20");
    // The recording stands well behind the centre; the quiet subject would not.
    EXPECT_LT(state().store.samples(0)[1000].y * state().store.calibration.scaleY, -20.0f);
    expectSameTextsAfterSavingAndOpening("played.kplat");
}

}  // namespace
}  // namespace kenvo::test
