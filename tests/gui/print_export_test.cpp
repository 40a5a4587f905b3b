// Printing, the clipboard, the spreadsheet export and the batch analysis from the window.
#include <QClipboard>
#include <QGuiApplication>
#include <QPrinter>
#include <QProcess>
#include <QProgressDialog>
#include <QPushButton>
#include <filesystem>
#include <sstream>

#include "analysis/clipboard_text.h"
#include "app_fixture.h"
#include "clipboard_export.h"
#include "command_ids.h"
#include "evaluation_controller.h"
#include "files/measurement_file.h"
#include "graphs/cop_pictures.h"
#include "procedures/procedure_port.h"
#include "print_controller.h"
#include "stance_controller.h"
#include "support/process.h"
#include "sway_list.h"

namespace kenvo::test {
namespace {

namespace fs = std::filesystem;

int pdfPages(const std::string& pdf) {
    const auto r = runProcess({"/usr/bin/pdfinfo", pdf});
    const auto at = r.out.find("Pages:");
    return at == std::string::npos ? -1 : std::stoi(r.out.substr(at + 6));
}

class PrintExport : public AppFixture {
  protected:
    void SetUp() override {
        AppFixture::SetUp();
        frame().exports().setFileOpener([this](const QString& p) { opened << p; });
    }
    SwayList& list() { return frame().evaluation().list(); }
    CKenvoPlatView& view() { return *frame().view(); }
    // A data set of `count` short attempts, the subject named.
    void dataSet(int count) {
        addAttempts(state().store, count, 300);
        state().store.attemptSeconds = 3;
        state().store.subject.name = "Print Test";
        state().store.calibration.scaleX = 260.0f;  // so the tables hold numbers other than 0
        state().store.calibration.scaleY = 160.0f;
    }
    // Prints to a PDF and reports what the job saw when it began.
    std::string printToPdf(const std::string& name, bool* activeDuringJob = nullptr) {
        const std::string pdf = home(name);
        frame().printing().setPrinterChooser([&, pdf](QPrinter& printer) {
            if (activeDuringJob) *activeDuringJob = view().printJobActive();
            printer.setOutputFormat(QPrinter::PdfFormat);
            printer.setOutputFileName(QString::fromStdString(pdf));
            return true;
        });
        frame().runCommand(CmdPrint);
        return pdf;
    }
    QStringList opened;
};

TEST_F(PrintExport, SummaryOfTwentyFiveAttemptsPrintsTwoPagesAsTheCommandLineDoes) {
    if (!fs::exists("/usr/bin/pdfinfo")) GTEST_SKIP() << "poppler-utils is not installed";
    dataSet(25);
    const std::string file = home("DATA/print.kplat");
    ASSERT_TRUE(saveMeasurementFile(file, state().store));
    frame().runCommand(CmdSummary);
    const std::string pdf = printToPdf("summary.pdf");
    EXPECT_EQ(frame().printing().lastPageCount(), 2);
    EXPECT_EQ(pdfPages(pdf), 2);
    const auto cli = runProcess({KENVOPLAT_CLI, "print", "summary", file, "-o", home("cli.pdf")},
                                {"XDG_RUNTIME_DIR=" + dir.path()});
    ASSERT_EQ(cli.exitCode, 0) << cli.err;
    EXPECT_EQ(pdfPages(home("cli.pdf")), pdfPages(pdf));
    const std::string text = runProcess({"/usr/bin/pdftotext", "-layout", pdf, "-"}).out;
    EXPECT_NE(text.find("DIGITAL SUMMARY REPORT"), std::string::npos);
    EXPECT_NE(text.find("Page: 2/2"), std::string::npos);
    EXPECT_NE(text.find("Print Test"), std::string::npos);
    EXPECT_FALSE(view().printJobActive());

    // Every other mode prints too: the graph pages on one page.
    for (int command : {CmdGraphReport, CmdDifusAnalysis, CmdAttempt, CmdDrivingSummary}) {
        frame().runCommand(command);
        const std::string other = printToPdf("mode" + std::to_string(command) + ".pdf");
        EXPECT_GE(pdfPages(other), 1) << command;
    }
    EXPECT_TRUE(port.messages.isEmpty()) << port.messages.join('|').toStdString();
}

TEST_F(PrintExport, ACopPictureOnScreenOutlastsThePrintJob) {
    dataSet(2);
    DisplayState& d = view().display();
    d.copPictureKind = 1;
    d.copCountdown = 50;  // one tick from removal
    bool active = false;
    bool removedDuringJob = true;
    frame().printing().setPrinterChooser([&](QPrinter& printer) {
        active = view().printJobActive();
        // The view's replay timer ticks while the job is open.
        app->stanceController()->onViewTimer(TimerReplay);
        removedDuringJob = d.copPictureKind == 0;
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(QString::fromStdString(home("cop.pdf")));
        return true;
    });
    frame().runCommand(CmdPrint);
    EXPECT_TRUE(active);
    EXPECT_FALSE(removedDuringJob);
    EXPECT_EQ(d.copPictureKind, 1);
    EXPECT_EQ(d.copCountdown, 50);
    EXPECT_FALSE(view().printJobActive());
    app->stanceController()->onViewTimer(TimerReplay);
    EXPECT_EQ(d.copPictureKind, 0) << "the countdown resumes";
}

TEST_F(PrintExport, PrintingLeavesTheScreensDrawingStateAsItWas) {
    dataSet(2);
    // The graph report: a click after the job still lands on the sample under the pointer.
    frame().runCommand(CmdGraphReport);
    const double screenScale = view().display().reportXScale;
    ASSERT_GT(screenScale, 0.0);
    printToPdf("report.pdf");
    EXPECT_EQ(view().display().reportXScale, screenScale);

    // The replay with a COP picture up: its countdown goes on from where it was.
    view().setMode(ViewMode::RealSimulation);
    DisplayState& d = view().display();
    d.copPictureKind = CopPictureOne;
    d.copCountdown = 150;
    printToPdf("replay.pdf");
    EXPECT_EQ(d.copCountdown, 150);
    EXPECT_EQ(d.copPictureKind, CopPictureOne);
    EXPECT_TRUE(port.messages.isEmpty()) << port.messages.join('|').toStdString();
}

TEST_F(PrintExport, PreviewDrawsTheSamePagesAndWithoutAPrinterThePdfIsChosen) {
    dataSet(30);
    frame().runCommand(CmdSummary);
    bool activeInPreview = false;
    port.dialogScript = [&](QDialog& dialog) {
        activeInPreview = view().printJobActive();
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(QString::fromStdString(home("preview.pdf")));
        // What the preview widget asks for when it lays out its pages.
        EXPECT_TRUE(QMetaObject::invokeMethod(&dialog, "paintRequested", Q_ARG(QPrinter*, &printer)));
        return int(QDialog::Accepted);
    };
    frame().runCommand(CmdPrintPreview);
    EXPECT_TRUE(activeInPreview);
    EXPECT_EQ(frame().printing().lastPageCount(), 2);
    EXPECT_FALSE(view().printJobActive());
}

TEST_F(PrintExport, CopyNeedsASelectionAndCopiesRowsInOrder) {
    dataSet(4);
    frame().runCommand(CmdSummary);
    QGuiApplication::clipboard()->setText("before");
    frame().runCommand(32811);
    EXPECT_EQ(port.messages.value(0), NoItemsSelectedMessage);
    EXPECT_EQ(QGuiApplication::clipboard()->text(), "before");

    list().selectionModel()->select(list().model()->index(3, 0),
                                    QItemSelectionModel::Select | QItemSelectionModel::Rows);
    list().selectionModel()->select(list().model()->index(1, 0),
                                    QItemSelectionModel::Select | QItemSelectionModel::Rows);
    frame().runCommand(32811);
    const QStringList rows = QGuiApplication::clipboard()->text().split("\r\n");
    ASSERT_EQ(rows.size(), 3);  // two rows and the empty rest after the last "\r\n"
    EXPECT_TRUE(rows[0].startsWith("2 ")) << rows[0].toStdString();
    EXPECT_TRUE(rows[1].startsWith("4 ")) << rows[1].toStdString();
    EXPECT_TRUE(rows[2].isEmpty());

    frame().runCommand(32810);
    EXPECT_EQ(QGuiApplication::clipboard()->text().count("\r\n"), 4);
    // Outside the tables the buttons are not there: nothing happens.
    frame().runCommand(CmdGraphReport);
    QGuiApplication::clipboard()->setText("kept");
    frame().runCommand(32810);
    EXPECT_EQ(QGuiApplication::clipboard()->text(), "kept");
}

// Runs under xvfb-run with the xcb platform (see CMakeLists.txt); skipped elsewhere.
using XClipboard = AppFixture;

TEST_F(XClipboard, SummaryRowsAsOtherProgramsPasteThem) {
    if (QGuiApplication::platformName() != "xcb") GTEST_SKIP() << "needs an X display (xcb)";
    addAttempts(state().store, 3, 300);
    frame().runCommand(CmdSummary);
    SwayList& list = frame().evaluation().list();
    list.selectRow(0);
    frame().runCommand(32811);
    std::string expected;
    for (int c = 0; c < 6; ++c) expected += list.item(0, c)->text().toStdString() + " ";
    expected += "\r\n";

    // The program owns the selection: it must keep answering while xclip reads.
    QProcess xclip;
    xclip.start("xclip", {"-o", "-selection", "clipboard"});
    ASSERT_TRUE(xclip.waitForStarted(5000));
    for (int i = 0; i < 500 && xclip.state() != QProcess::NotRunning; ++i) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        xclip.waitForFinished(10);
    }
    ASSERT_EQ(xclip.exitCode(), 0) << xclip.readAllStandardError().toStdString();
    EXPECT_EQ(xclip.readAllStandardOutput().toStdString(), expected);
}

TEST_F(PrintExport, ExportXmlWritesNonameAndOpensIt) {
    dataSet(3);
    frame().runCommand(CmdSummary);
    const std::string path = state().paths.dataFolder + "/noname.xml";
    port.files = {QString::fromStdString(path)};
    frame().runCommand(32812);
    ASSERT_EQ(opened, QStringList{QString::fromStdString(path)});
    const std::string xml = readFileBytes(path);
    EXPECT_NE(xml.find("Name: Print Test"), std::string::npos);
    EXPECT_NE(xml.find("<ss:Data ss:Type=\"Number\">1</ss:Data>"), std::string::npos);
    // The spreadsheet program reads the table's numbers back.
    if (fs::exists("/usr/bin/soffice")) {
        const auto calc = runProcess({"/usr/bin/soffice", "--headless", "--convert-to", "csv", "--outdir",
                                      home("calc"), path}, {"HOME=" + dir.path()}, 120);
        ASSERT_EQ(calc.exitCode, 0) << calc.err;
        std::istringstream csv(readFileBytes(home("calc/noname.csv")));
        std::vector<std::vector<std::string>> rows;
        for (std::string line; std::getline(csv, line);) {
            std::vector<std::string> cells;
            std::istringstream cellsIn(line);
            for (std::string cell; std::getline(cellsIn, cell, ',');) cells.push_back(cell);
            rows.push_back(cells);
        }
        // The title cells hold line breaks, so only the last lines are known: the three rows.
        ASSERT_GE(rows.size(), 9u);
        for (int r = 0; r < 3; ++r)
            for (int c = 0; c < 6; ++c)
                EXPECT_DOUBLE_EQ(std::stod(rows[rows.size() - 3 + size_t(r)].at(size_t(c))),
                                 list().item(r, c)->text().trimmed().replace(',', '.').toDouble())
                    << r << "," << c;
    }
    // A noname.xml that cannot be replaced (a folder with a file in it, which even root cannot
    // rename over): told in plain words, nothing opened.
    fs::remove(path);
    fs::create_directories(path + "/inside");
    port.files = {QString::fromStdString(path)};
    port.answers = {Answer::Yes};  // replace what is there
    frame().runCommand(32812);
    EXPECT_EQ(port.messages.value(0), "The table could not be exported.");
    EXPECT_EQ(opened.size(), 1);
    EXPECT_TRUE(fs::is_directory(path));
}

TEST_F(PrintExport, BatchAnalysesFilesInItsOwnStoreAndCanBeCancelled) {
    // Two files of 2 and 3 attempts and one that is no measurement file.
    MeasurementStore& s = state().store;
    dataSet(2);
    const std::string a = home("DATA/a.kplat"), b = home("DATA/b.kplat"), bad = home("DATA/bad.kplat");
    ASSERT_TRUE(saveMeasurementFile(a, s));
    addAttempts(s, 1, 300);
    ASSERT_TRUE(saveMeasurementFile(b, s));
    writeFileBytes(bad, "not a measurement");
    s.attemptCount = 1;  // the data set on screen
    s.subject.name = "On screen";

    port.fileLists = {QStringList{QString::fromStdString(a), QString::fromStdString(bad),
                                  QString::fromStdString(b)}};
    const std::string path = state().paths.dataFolder + "/analysis.xml";
    port.files = {QString::fromStdString(path)};
    frame().runCommand(CmdBatchAnalysis);
    ASSERT_EQ(opened, QStringList{QString::fromStdString(path)});
    EXPECT_EQ(port.requests.front().filter, "KenvoPlat Files (*.kplat)|*.kplat||");
    const std::string xml = readFileBytes(path);
    std::size_t rows = 0;
    for (auto at = xml.find("Print Test"); at != std::string::npos; at = xml.find("Print Test", at + 1)) ++rows;
    EXPECT_EQ(rows, 2u) << "the name heads the first row of each file";
    ASSERT_EQ(port.messages.size(), 1);
    EXPECT_NE(port.messages[0].indexOf("bad.kplat"), -1);
    EXPECT_EQ(s.attemptCount, 1);
    EXPECT_EQ(s.subject.name, "On screen");

    // Cancelled in the progress dialog: nothing is written over the earlier analysis.
    const std::string before = readFileBytes(path);
    frame().exports().setProgressObserver([](QProgressDialog& p, int done) {
        if (done == 1) p.findChild<QPushButton*>()->click();  // the operator's Cancel
    });
    port.fileLists = {QStringList{QString::fromStdString(a), QString::fromStdString(b)}};
    frame().runCommand(CmdBatchAnalysis);
    EXPECT_EQ(readFileBytes(path), before);
    EXPECT_EQ(opened.size(), 1);
    // Cancelling the file dialog changes nothing either.
    port.fileLists = {std::nullopt};
    frame().runCommand(CmdBatchAnalysis);
    EXPECT_EQ(opened.size(), 1);

    // While a test runs the batch does not start.
    s.testRunning = 1;
    frame().exports().batchAnalysis();
    s.testRunning = 0;
    EXPECT_EQ(port.messages.size(), 2);
}

}  // namespace
}  // namespace kenvo::test
