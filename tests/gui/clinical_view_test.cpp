// The clinical measures in the window: their table view, its setup and the CSV of many files.
#include <QCheckBox>
#include <QClipboard>
#include <QDoubleSpinBox>
#include <QGuiApplication>
#include <QPrinter>
#include <QProgressDialog>
#include <QPushButton>
#include <cmath>
#include <filesystem>

#include "analysis/clipboard_text.h"
#include "analysis/text_format.h"
#include "app_fixture.h"
#include "clinical_commands.h"
#include "clinical_setup_dialog.h"
#include "clipboard_export.h"
#include "command_ids.h"
#include "enabling_rules.h"
#include "evaluation_controller.h"
#include "files/measurement_file.h"
#include "print_controller.h"
#include "support/process.h"
#include "sway_list.h"

namespace kenvo::test {
namespace {

namespace fs = std::filesystem;

constexpr int Samples = 500;  // 5 s
constexpr int Velocity = static_cast<int>(ClinicalMeasure::Velocity);
constexpr int CopyAllButton = 32810, ExportXmlButton = 32812;

// Mean velocity of a straight walk of `Samples` samples, `step` mm apart: the path over the
// duration (the low-pass leaves a straight line as it is).
double walkVelocity(double step) {
    return (Samples - 1) * step / (Samples / 100.0);
}

class ClinicalView : public AppFixture {
  protected:
    void SetUp() override {
        AppFixture::SetUp();
        frame().exports().setFileOpener([](const QString&) {});
        state().store.calibration.scaleX = 100.0f;
        state().store.calibration.scaleY = 100.0f;
        state().store.subject.name = "Clinical Test";
    }
    // One attempt walking straight along X at `step` mm per sample.
    void addWalk(double step) {
        MeasurementStore& s = state().store;
        CopSample* samples = s.samples(s.attemptCount);
        for (int i = 0; i < Samples; ++i) samples[i] = CopSample{float(i * step / 100.0), 0.0f, 72};
        s.length[size_t(s.attemptCount)] = Samples;
        ++s.attemptCount;
        s.attemptSeconds = Samples / 100;
        s.dataPresent = 1;
    }
    // One attempt of fast jitter around a slow sway: the low-pass takes out the jitter.
    void addJitter() {
        MeasurementStore& s = state().store;
        CopSample* samples = s.samples(s.attemptCount);
        for (int i = 0; i < Samples; ++i) {
            const double slow = 5.0 * std::sin(2.0 * M_PI * 0.3 * i / 100.0);
            const double fast = (i % 2 ? 0.5 : -0.5);
            samples[i] = CopSample{float((slow + fast) / 100.0), float(slow / 200.0), 72};
        }
        s.length[size_t(s.attemptCount)] = Samples;
        ++s.attemptCount;
        s.attemptSeconds = Samples / 100;
        s.dataPresent = 1;
    }
    TableContent shown() { return frame().evaluation().shownTable(); }
    SwayList& list() { return frame().evaluation().list(); }
};

TEST_F(ClinicalView, TwoAttemptsShowEveryMeasureWithItsMeanAndSd) {
    addWalk(0.05);
    addWalk(0.15);
    frame().runCommand(CmdClinicalMeasures);
    ASSERT_EQ(frame().view()->mode(), ViewMode::ClinicalMeasures);
    ASSERT_FALSE(list().isHidden());
    const TableContent t = shown();
    ASSERT_EQ(list().columnCount(), 5);  // measure, 2 attempts, mean, SD
    EXPECT_EQ(list().horizontalHeaderItem(1)->text(), "Attempt\n1");
    EXPECT_EQ(list().horizontalHeaderItem(3)->text(), "Mean\n");
    EXPECT_EQ(list().horizontalHeaderItem(4)->text(), "SD\n");
    ASSERT_EQ(t.rows.size(), ClinicalMeasureCount);
    const double v1 = walkVelocity(0.05), v2 = walkVelocity(0.15);
    const double mean = (v1 + v2) / 2, sd = std::abs(v1 - v2) / std::sqrt(2.0);
    const auto& row = t.rows[Velocity];
    EXPECT_EQ(row[0], "mean velocity (mm/s)");
    EXPECT_EQ(row[1], formatText("%.2f", v1));
    EXPECT_EQ(row[2], formatText("%.2f", v2));
    EXPECT_EQ(row[3], formatText("%.2f", mean));
    EXPECT_EQ(row[4], formatText("%.2f", sd));
    EXPECT_EQ(row[4], "7.06");
    EXPECT_EQ(t.rows[0][0], "samples");
    EXPECT_EQ(t.rows[0][1], "500");
    // A walk along X has no sway along Y, so no frequency of Y is defined.
    const auto& medianY = t.rows[static_cast<size_t>(ClinicalMeasure::MedianFrequencyY)];
    EXPECT_EQ(medianY[0], "median frequency Y (Hz)");
    EXPECT_EQ(medianY[1], "n/a");
    EXPECT_EQ(medianY[3], "n/a");
    EXPECT_EQ(medianY[4], "n/a");

    // Copy All puts every row on the clipboard, the cells as the list shows them.
    frame().runCommand(CopyAllButton);
    const QString copied = QGuiApplication::clipboard()->text();
    EXPECT_EQ(copied.count("\r\n"), int(ClinicalMeasureCount));
    EXPECT_EQ(copied.toStdString(), copyAllRows(t));
    EXPECT_NE(copied.indexOf("mean velocity (mm/s) " + QString::fromStdString(row[1]) + " "), -1);

    // Export xml: the titles and the numbers as numbers, the names as text.
    port.files = {QString::fromStdString(state().paths.dataFolder + "/noname.xml")};
    frame().runCommand(ExportXmlButton);
    const std::string xml = readFileBytes(state().paths.dataFolder + "/noname.xml");
    EXPECT_NE(xml.find("Name: Clinical Test"), std::string::npos);
    EXPECT_NE(xml.find("<ss:Data ss:Type=\"String\">mean velocity (mm/s)</ss:Data>"),
              std::string::npos);
    EXPECT_NE(xml.find("<ss:Data ss:Type=\"Number\">7.06</ss:Data>"), std::string::npos);
    EXPECT_TRUE(port.messages.isEmpty()) << port.messages.join('|').toStdString();
}

TEST_F(ClinicalView, OneAttemptHasAMeanButNoSd) {
    addWalk(0.1);
    frame().runCommand(CmdClinicalMeasures);
    const TableContent t = shown();
    ASSERT_EQ(t.columns.size(), 4u);
    for (const auto& row : t.rows) {
        // The mean of one value is that value (written with decimals for the sample count).
        if (row[1] == "n/a")
            EXPECT_EQ(row[2], "n/a") << row[0];
        else
            EXPECT_DOUBLE_EQ(std::stod(row[2]), std::stod(row[1])) << row[0];
        EXPECT_EQ(row[3], "n/a") << row[0];
    }
    EXPECT_EQ(t.rows[0][2], "500.00");
}

TEST_F(ClinicalView, PrintsTheMeasureNamesWithUnitsOverTwoPages) {
    if (!fs::exists("/usr/bin/pdftotext")) GTEST_SKIP() << "poppler-utils is not installed";
    addWalk(0.05);
    addWalk(0.15);
    frame().runCommand(CmdClinicalMeasures);
    const std::string pdf = home("clinical.pdf");
    frame().printing().setPrinterChooser([pdf](QPrinter& printer) {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(QString::fromStdString(pdf));
        return true;
    });
    frame().runCommand(CmdPrint);
    // 29 measures: 24 rows on the first page, the rest on the second.
    EXPECT_EQ(frame().printing().lastPageCount(), 2);
    const std::string text = runProcess({"/usr/bin/pdftotext", "-layout", pdf, "-"}).out;
    EXPECT_NE(text.find("CLINICAL MEASURES REPORT"), std::string::npos);
    EXPECT_NE(text.find("Page: 2/2"), std::string::npos);
    EXPECT_NE(text.find("Clinical Test"), std::string::npos);
    for (const char* name :
         {"mean velocity (mm/s)", "95 % ellipse area (mm2)", "Prieto frequency (Hz)"})
        EXPECT_NE(text.find(name), std::string::npos) << name;
    EXPECT_NE(text.find("7.06"), std::string::npos);
}

TEST_F(ClinicalView, OfferedOnlyForStanceDataSetsAndNotDuringATest) {
    addWalk(0.1);
    MeasurementStore& s = state().store;
    for (const int32_t mode : {TestModeTargetHitting, TestModeUnused, TestModeDriving}) {
        s.settings.testMode = mode;
        EXPECT_FALSE(isCommandEnabled(CmdClinicalMeasures, s)) << mode;
        frame().runCommand(CmdClinicalMeasures);
        EXPECT_NE(frame().view()->mode(), ViewMode::ClinicalMeasures) << mode;
    }
    s.settings.testMode = TestModeStance;
    EXPECT_TRUE(isCommandEnabled(CmdClinicalMeasures, s));
    s.testRunning = 1;
    for (const int32_t id : {CmdClinicalMeasures, CmdClinicalSetup, CmdClinicalFiles})
        EXPECT_FALSE(isCommandEnabled(id, s)) << id;
    s.testRunning = 0;
    s.attemptCount = 0;
    EXPECT_FALSE(isCommandEnabled(CmdClinicalMeasures, s)) << "nothing recorded";
}

TEST_F(ClinicalView, SetupIsKeptAndTheViewFollowsIt) {
    addJitter();
    frame().runCommand(CmdClinicalMeasures);
    const std::string filtered = shown().rows[Velocity][1];
    EXPECT_TRUE(state().clinical.lowPassOn);
    EXPECT_FALSE(state().clinical.drawEllipse);

    port.dialogScript = [](QDialog& d) {
        auto& setup = dynamic_cast<ClinicalSetupDialog&>(d);
        EXPECT_TRUE(setup.lowPassBox()->isChecked());
        EXPECT_DOUBLE_EQ(setup.cutoffBox()->value(), 10.0);
        setup.lowPassBox()->setChecked(false);
        setup.cutoffBox()->setValue(4.5);
        setup.ellipseBox()->setChecked(true);
        return int(QDialog::Accepted);
    };
    frame().runCommand(CmdClinicalSetup);
    const std::string raw = shown().rows[Velocity][1];
    EXPECT_GT(std::stod(raw), std::stod(filtered) * 2) << "the jitter counts without the filter";
    EXPECT_EQ(profile->value("Clinical/lowPass").toBool(), false);
    EXPECT_DOUBLE_EQ(profile->value("Clinical/lowPassHz").toDouble(), 4.5);
    EXPECT_EQ(profile->value("Clinical/ellipse").toBool(), true);

    // Cancelled: nothing changes.
    port.dialogScript = [](QDialog& d) {
        dynamic_cast<ClinicalSetupDialog&>(d).lowPassBox()->setChecked(true);
        return int(QDialog::Rejected);
    };
    frame().runCommand(CmdClinicalSetup);
    EXPECT_FALSE(state().clinical.lowPassOn);
    EXPECT_EQ(shown().rows[Velocity][1], raw);

    restart();
    EXPECT_FALSE(state().clinical.lowPassOn);
    EXPECT_DOUBLE_EQ(state().clinical.lowPassHz, 4.5);
    EXPECT_TRUE(state().clinical.drawEllipse);
    // A cut-off outside the offered range, written by hand, gives the default.
    profile->setValue("Clinical/lowPassHz", 400.0);
    restart();
    EXPECT_DOUBLE_EQ(state().clinical.lowPassHz, DefaultLowPassHz);
}

TEST_F(ClinicalView, FilesGiveTheCommandLinesCsvByteForByte) {
    MeasurementStore& s = state().store;
    addWalk(0.05);
    addJitter();
    const std::string a = home("DATA/a.kplat"), b = home("DATA/b.kplat");
    ASSERT_TRUE(saveMeasurementFile(a, s));
    addWalk(0.2);
    ASSERT_TRUE(saveMeasurementFile(b, s));
    s.attemptCount = 1;  // the data set on screen
    state().clinical.lowPassHz = 6.5;

    const std::string out = home("measures.csv");
    port.fileLists = {QStringList{QString::fromStdString(a), QString::fromStdString(b)}};
    port.files = {QString::fromStdString(out)};
    frame().runCommand(CmdClinicalFiles);
    ASSERT_TRUE(port.messages.isEmpty()) << port.messages.join('|').toStdString();
    EXPECT_EQ(port.requests.back().filter, "CSV Files (*.csv)|*.csv||");
    EXPECT_TRUE(port.requests.back().save);
    const auto cli =
        runProcess({KENVOPLAT_CLI, "measures", a, b, "--format", "csv", "--lowpass", "6.5"},
                   {"XDG_RUNTIME_DIR=" + dir.path()});
    ASSERT_EQ(cli.exitCode, 0) << cli.err;
    const std::string csv = readFileBytes(out);
    EXPECT_EQ(csv, cli.out);
    EXPECT_EQ(std::count(csv.begin(), csv.end(), '\n'), 1 + 2 + 3);
    EXPECT_EQ(s.attemptCount, 1);

    // Cancelled in the progress dialog: not even asked where to write.
    frame().clinical().setProgressObserver([](QProgressDialog& p, int done) {
        if (done == 1) p.findChild<QPushButton*>()->click();
    });
    const auto asked = port.requests.size();
    port.fileLists = {QStringList{QString::fromStdString(a), QString::fromStdString(b)}};
    frame().runCommand(CmdClinicalFiles);
    EXPECT_EQ(port.requests.size(), asked + 1) << "only the files were chosen";
    frame().clinical().setProgressObserver({});

    // A file that cannot be read is named and nothing is written.
    const std::string bad = home("DATA/bad.kplat");
    writeFileBytes(bad, "not a measurement");
    fs::remove(out);
    port.fileLists = {QStringList{QString::fromStdString(a), QString::fromStdString(bad)}};
    frame().runCommand(CmdClinicalFiles);
    ASSERT_EQ(port.messages.size(), 1);
    EXPECT_FALSE(fs::exists(out));
}

}  // namespace
}  // namespace kenvo::test
