// The sensory test's results in the window: the results view, the report setup, the report
// exported as PDF and printed from the results view. The data sets are made here, each
// condition swaying with its own amplitude, so the quotients are known in advance.
#include <QFile>
#include <QImage>
#include <QLineEdit>
#include <QPrinter>
#include <QStatusBar>
#include <algorithm>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "app_fixture.h"
#include "enabling_rules.h"
#include "graphs/recording_surface.h"
#include "print_controller.h"
#include "render/report_setup_store.h"
#include "report_setup_dialog.h"
#include "reports/clinical_report.h"
#include "sensory_report_commands.h"
#include "support/process.h"

namespace kenvo::test {
namespace {

namespace fs = std::filesystem;
using C = SensoryCondition;

constexpr int Samples = 1000;                  // 10 s, shorter than the reference trials
constexpr int32_t FirstStart = 1'700'000'000;  // 14 November 2023

bool contains(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

int pdfPages(const std::string& pdf) {
    const auto r = runProcess({"/usr/bin/pdfinfo", pdf});
    const auto at = r.out.find("Pages:");
    return at == std::string::npos ? -1 : std::stoi(r.out.substr(at + 6));
}

// The page's text, one space between words.
std::string pdfText(const std::string& pdf) {
    std::string out;
    for (const char c : runProcess({"/usr/bin/pdftotext", pdf, "-"}).out) {
        const bool space = c == ' ' || c == '\n' || c == '\f' || c == '\t';
        if (!space)
            out += c;
        else if (!out.empty() && out.back() != ' ')
            out += ' ';
    }
    return out;
}

// Every word of the page, sorted: the printer and the PDF writer place the same text at
// slightly different resolutions, which may change the order pdftotext reads it in.
std::vector<std::string> pdfWords(const std::string& pdf) {
    std::vector<std::string> words;
    std::istringstream in(pdfText(pdf));
    for (std::string word; in >> word;) words.push_back(word);
    std::sort(words.begin(), words.end());
    return words;
}

// Where pdftotext finds the first word of the page (its left and top edge in points).
std::pair<double, double> firstWordAt(const std::string& pdf) {
    const std::string box = runProcess({"/usr/bin/pdftotext", "-bbox", pdf, "-"}).out;
    const auto word = box.find("<word ");
    if (word == std::string::npos) return {-1, -1};
    auto attribute = [&](const char* name) {
        const auto at = box.find(name, word);
        return at == std::string::npos ? -1.0 : std::stod(box.substr(at + std::strlen(name)));
    };
    return {attribute("xMin=\""), attribute("yMin=\"")};
}

class SensoryResultsView : public AppFixture {
  protected:
    void SetUp() override {
        AppFixture::SetUp();
        if (!fs::exists("/usr/bin/pdfinfo") || !fs::exists("/usr/bin/pdftotext"))
            GTEST_SKIP() << "poppler-utils is not installed";
        state().store.calibration.scaleX = 100.0f;
        state().store.calibration.scaleY = 100.0f;
        state().store.subject.name = "Ana Novak";
        details.name = "Ana Novak";
        details.patientCode = "P-0042";
        details.birthDate = "1977-03-02";  // 46 on the day: the Young group
        frame().sensoryReport().setDetailsSource([this] { return details; });
    }

    // One attempt of a slow elliptic sway of `amplitude` mm (ML) and half that AP; a condition
    // when one is given. The same shape at every amplitude: the quotients of the areas are
    // the squares of the amplitudes' quotients, of the velocities the quotients themselves.
    void addTrial(std::optional<C> condition, double amplitude) {
        MeasurementStore& s = state().store;
        const int a = s.attemptCount;
        CopSample* samples = s.samples(a);
        for (int i = 0; i < Samples; ++i) {
            const double t = i / 100.0;
            const double x = amplitude * std::sin(2.0 * M_PI * 0.4 * t);
            const double y = 0.5 * amplitude * std::cos(2.0 * M_PI * 0.4 * t);
            samples[i] = CopSample{float(x / 100.0), float(y / 100.0), 72};
        }
        s.length[size_t(a)] = Samples;
        s.startTime[size_t(a)] = FirstStart + 100 * a;
        ++s.attemptCount;
        s.attemptSeconds = Samples / 100;
        s.settings.testMode = TestModeStance;
        s.dataPresent = 1;
        if (condition) state().sensory.setCondition(s, a, *condition);
    }
    // The four conditions at amplitudes 2, 3, 4 and 5 mm.
    void fourConditions() {
        addTrial(C::EoFirm, 2.0);
        addTrial(C::EcFirm, 3.0);
        addTrial(C::EoFoam, 4.0);
        addTrial(C::EcFoam, 5.0);
    }

    // The view as drawn for the window's present size.
    RecordingSurface drawnView() {
        RecordingSurface surface;
        CKenvoPlatView& view = *frame().view();
        view.renderer()(surface,
                        ViewContext{view.mode(), state(), Rect{0, 0, view.width(), view.height()}});
        return surface;
    }
    static std::vector<std::string> texts(const RecordingSurface& surface) {
        std::vector<std::string> out;
        for (const auto& op : surface.ops())
            if (op.kind == RecordingSurface::Kind::Text) out.push_back(op.text);
        return out;
    }
    static std::string allText(const RecordingSurface& surface) {
        std::string out;
        for (const std::string& t : texts(surface)) out += t + "\n";
        return out;
    }
    // The texts on the line of `label`, left to right, without the label.
    static std::vector<std::string> rowOf(const RecordingSurface& surface,
                                          const std::string& label) {
        std::optional<int32_t> top;
        for (const auto& op : surface.ops())
            if (op.kind == RecordingSurface::Kind::Text && op.text == label) top = op.rect.top;
        std::vector<std::pair<int32_t, std::string>> cells;
        for (const auto& op : surface.ops())
            if (top && op.kind == RecordingSurface::Kind::Text && op.rect.top == *top &&
                op.text != label)
                cells.emplace_back(op.rect.left, op.text);
        std::sort(cells.begin(), cells.end());
        std::vector<std::string> out;
        for (const auto& cell : cells) out.push_back(cell.second);
        return out;
    }
    void toPdfPrinter(const std::string& pdf) {
        frame().printing().setPrinterChooser([pdf](QPrinter& printer) {
            printer.setOutputFormat(QPrinter::PdfFormat);
            printer.setOutputFileName(QString::fromStdString(pdf));
            return true;
        });
    }

    Sidecar details;
};

TEST_F(SensoryResultsView, ShowsEveryConditionItsTrialsAndTheQuotients) {
    fourConditions();
    addTrial(C::EoFirm, 2.0);  // a second eyes-open trial on the firm plate
    frame().resize(800, 560);
    frame().show();
    QCoreApplication::processEvents();
    frame().runCommand(CmdSensoryResults);
    ASSERT_EQ(frame().view()->mode(), ViewMode::SensoryResults);

    const RecordingSurface surface = drawnView();
    const std::vector<std::string> shown = texts(surface);
    const std::string all = allText(surface);
    for (const char* title :
         {"Eyes open, firm", "Eyes closed, firm", "Eyes open, foam", "Eyes closed, foam"})
        EXPECT_EQ(std::count(shown.begin(), shown.end(), title), 1) << title;
    EXPECT_TRUE(contains(all, "Ana Novak")) << all;
    EXPECT_TRUE(contains(all, "Age 46 on the day: reference group Young")) << all;
    // The attempts each condition's medians were taken over, counted from 1, in its column.
    EXPECT_EQ(rowOf(surface, "Trials used (attempt no.)"),
              (std::vector<std::string>{"1, 5", "2", "3", "4"}));
    for (const char* label :
         {"95 % ellipse area (mm²)", "Mean velocity (mm/s)", "Velocity AP (mm/s)",
          "Velocity ML (mm/s)", "RMS AP (mm)", "RMS ML (mm)", "Mean frequency (Hz)"})
        EXPECT_EQ(std::count(shown.begin(), shown.end(), label), 1) << label;
    // Area, velocity and mean frequency have reference values, each in every condition.
    EXPECT_EQ(std::count(shown.begin(), shown.end(), "   reference P5–P95"), 3);
    // Area 9/4 and velocity 3/2 on the firm plate, 25/16 and 5/4 on foam; foam over firm
    // 16/4 with eyes open and 25/9 with eyes closed: a swapped condition changes them.
    EXPECT_TRUE(contains(all, "firm area 2.25, velocity 1.50; foam area 1.56, velocity 1.25"))
        << all;
    EXPECT_TRUE(contains(all, "eyes open 4.00, eyes closed 2.78")) << all;
    EXPECT_TRUE(contains(all, "shorter than the reference trials")) << all;
    EXPECT_TRUE(contains(all, "low-passed at 10 Hz")) << all;

    // Each band is written out and coloured as the report colours it.
    int bands = 0;
    for (const auto& op : surface.ops()) {
        if (op.kind != RecordingSurface::Kind::Text) continue;
        for (const ReportBand band : {ReportBand::Within, ReportBand::Below, ReportBand::Above})
            if (op.text == reportBandWords(band)) {
                ++bands;
                EXPECT_EQ(op.colour, reportBandColour(band)) << op.text;
            }
    }
    EXPECT_EQ(bands, 3 * 4);
    // Everything lies inside the view of an 800 x 560 window.
    const int width = frame().view()->width(), height = frame().view()->height();
    for (const auto& op : surface.ops()) {
        if (op.kind != RecordingSurface::Kind::Text) continue;
        EXPECT_LE(op.rect.right, width) << op.text;
        EXPECT_LE(op.rect.bottom, height) << op.text;
    }
}

TEST_F(SensoryResultsView, WithoutABirthDateTheViewSaysWhyAndComparesNothing) {
    details.birthDate.reset();
    fourConditions();
    frame().runCommand(CmdSensoryResults);
    const std::string all = allText(drawnView());
    EXPECT_TRUE(contains(all, "No reference values: age unknown")) << all;
    EXPECT_FALSE(contains(all, "reference P5")) << all;
    EXPECT_FALSE(contains(all, "within range")) << all;
    // The medians and quotients do not need the reference group.
    EXPECT_TRUE(contains(all, "firm area 2.25")) << all;
}

TEST_F(SensoryResultsView, OfferedForStanceDataSetsWithConditionsAndNotDuringATest) {
    MeasurementStore& s = state().store;
    auto enabled = [&](int id) {
        frame().updateCommandStates();
        return frame().action(id)->isEnabled();
    };
    EXPECT_FALSE(enabled(CmdSensoryResults)) << "nothing recorded";
    EXPECT_FALSE(enabled(CmdExportReport)) << "nothing recorded";
    addTrial(std::nullopt, 2.0);
    EXPECT_FALSE(enabled(CmdSensoryResults)) << "no conditions";
    EXPECT_TRUE(enabled(CmdExportReport)) << "a plain stance data set has its report";
    frame().runCommand(CmdSensoryResults);
    EXPECT_NE(frame().view()->mode(), ViewMode::SensoryResults);

    addTrial(C::EcFirm, 3.0);
    EXPECT_TRUE(enabled(CmdSensoryResults));
    s.testRunning = 1;
    for (const int id : {CmdSensoryResults, CmdExportReport, CmdReportSetup})
        EXPECT_FALSE(enabled(id)) << id;
    s.testRunning = 0;
    s.settings.testMode = TestModeTargetHitting;
    EXPECT_FALSE(enabled(CmdSensoryResults)) << "a target data set";
    EXPECT_FALSE(enabled(CmdExportReport)) << "a target data set";
}

TEST_F(SensoryResultsView, ReportSetupKeepsTheNameAndACopyOfTheLogo) {
    const std::string picture = home("clinic-logo.png");
    QImage logo(40, 20, QImage::Format_RGB32);
    logo.fill(Qt::darkBlue);
    ASSERT_TRUE(logo.save(QString::fromStdString(picture)));
    auto answerSetup = [this](const QString& name, std::function<void(ReportSetupDialog&)> act,
                              bool ok) {
        port.dialogScript = [=](QDialog& d) {
            auto& setup = dynamic_cast<ReportSetupDialog&>(d);
            setup.findChild<QLineEdit*>("clinicName")->setText(name);
            act(setup);
            return int(ok ? QDialog::Accepted : QDialog::Rejected);
        };
        frame().runCommand(CmdReportSetup);
    };

    port.files.push_back(QString::fromStdString(picture));
    answerSetup(
        "  Balance Clinic Ljubljana ", [](ReportSetupDialog& d) { d.chooseLogo(); }, true);
    StoredReportSetup stored = readReportSetup(*profile);
    EXPECT_EQ(stored.clinicName, "Balance Clinic Ljubljana");
    ASSERT_FALSE(stored.logoPath.empty());
    EXPECT_NE(stored.logoPath, picture);
    // A copy in the settings folder: the report keeps its logo when the original goes.
    fs::remove(picture);
    EXPECT_EQ(fs::path(stored.logoPath).parent_path(),
              fs::path(profile->fileName().toStdString()).parent_path());
    RasterImage copy;
    std::string error;
    ASSERT_TRUE(loadLogo(stored.logoPath, copy, error)) << error;
    EXPECT_EQ(copy.width, 40);
    EXPECT_EQ(copy.height, 20);

    // Cancel keeps all as it was; Remove logo forgets the logo and keeps the name.
    answerSetup(
        "Another", [](ReportSetupDialog& d) { d.removeLogo(); }, false);
    EXPECT_EQ(readReportSetup(*profile).clinicName, "Balance Clinic Ljubljana");
    EXPECT_EQ(readReportSetup(*profile).logoPath, stored.logoPath);
    answerSetup(
        "Balance Clinic Ljubljana", [](ReportSetupDialog& d) { d.removeLogo(); }, true);
    stored = readReportSetup(*profile);
    EXPECT_EQ(stored.clinicName, "Balance Clinic Ljubljana");
    EXPECT_TRUE(stored.logoPath.empty());
    EXPECT_TRUE(port.messages.isEmpty()) << port.messages.join("; ").toStdString();
}

TEST_F(SensoryResultsView, ExportWritesOnePageAndAsksBeforeReplacingAFile) {
    std::string error;
    ASSERT_TRUE(storeReportSetup(*profile, "Balance Clinic Ljubljana", "", false, error)) << error;
    fourConditions();
    const std::string pdf = home("report.pdf");
    port.files.push_back(QString::fromStdString(pdf));
    frame().runCommand(CmdExportReport);
    ASSERT_EQ(port.requests.size(), 1u);
    // Without a measurement file the report is proposed in the data folder, after the subject.
    EXPECT_EQ(port.requests[0].proposedName, "Ana_Novak_report.pdf");
    EXPECT_EQ(port.requests[0].folder.toStdString(), fs::path(state().paths.dataFolder).string());
    EXPECT_TRUE(port.requests[0].callerConfirmsOverwrite);
    ASSERT_TRUE(fs::exists(pdf));
    EXPECT_EQ(pdfPages(pdf), 1);
    // The page names the patient: private to the user, as the register's files are.
    EXPECT_EQ(fs::status(pdf).permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write);
    const std::string text = pdfText(pdf);
    for (const char* part :
         {"Balance Clinic Ljubljana", "Ana Novak", "P-0042", "Eyes open, firm surface",
          "Eyes closed, firm surface", "Eyes open, foam", "Eyes closed, foam", "Santos"})
        EXPECT_TRUE(contains(text, part)) << part << "\n" << text;
    EXPECT_TRUE(frame().statusBar()->currentMessage().contains(QString::fromStdString(pdf)));

    // An existing file is replaced only when the operator says so.
    { std::ofstream(pdf, std::ios::trunc) << "keep me"; }
    port.files.push_back(QString::fromStdString(pdf));
    port.answers.push_back(Answer::No);
    frame().runCommand(CmdExportReport);
    ASSERT_EQ(port.questions.size(), 1);
    EXPECT_TRUE(port.questions[0].contains("already exists"));
    EXPECT_EQ(fs::file_size(pdf), 7u);
    port.files.push_back(QString::fromStdString(pdf));
    port.answers.push_back(Answer::Yes);
    frame().runCommand(CmdExportReport);
    EXPECT_EQ(pdfPages(pdf), 1);
}

TEST_F(SensoryResultsView, AStanceDataSetWithoutConditionsGetsThePageWithoutReferenceValues) {
    addTrial(std::nullopt, 2.0);
    addTrial(std::nullopt, 2.5);
    const std::string pdf = home("stance.pdf");
    port.files.push_back(QString::fromStdString(pdf));
    frame().runCommand(CmdExportReport);
    ASSERT_EQ(pdfPages(pdf), 1);
    const std::string text = pdfText(pdf);
    EXPECT_TRUE(contains(text, "Ana Novak")) << text;
    EXPECT_FALSE(contains(text, "Eyes closed")) << text;
    EXPECT_FALSE(contains(text, "within range")) << text;
}

TEST_F(SensoryResultsView, PrintAndPreviewOfTheResultsViewPrintTheExportedPage) {
    std::string error;
    ASSERT_TRUE(storeReportSetup(*profile, "Balance Clinic Ljubljana", "", false, error)) << error;
    fourConditions();
    frame().runCommand(CmdSensoryResults);
    const std::string exported = home("exported.pdf"), printed = home("printed.pdf");
    port.files.push_back(QString::fromStdString(exported));
    frame().runCommand(CmdExportReport);
    toPdfPrinter(printed);
    frame().runCommand(CmdPrint);
    EXPECT_EQ(frame().printing().lastPageCount(), 1);
    EXPECT_EQ(pdfPages(printed), 1);
    const std::string text = pdfText(printed);
    EXPECT_TRUE(contains(text, "Balance Clinic Ljubljana")) << text;
    EXPECT_EQ(pdfWords(printed), pdfWords(exported));
    // In the same place on the paper: the printer is given the page's own margins.
    const auto [printedX, printedY] = firstWordAt(printed);
    const auto [exportedX, exportedY] = firstWordAt(exported);
    EXPECT_GT(exportedX, 0.0);
    EXPECT_NEAR(printedX, exportedX, 1.5);
    EXPECT_NEAR(printedY, exportedY, 1.5);

    port.dialogScript = [&](QDialog& dialog) {
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(QString::fromStdString(home("preview.pdf")));
        EXPECT_TRUE(
            QMetaObject::invokeMethod(&dialog, "paintRequested", Q_ARG(QPrinter*, &printer)));
        return int(QDialog::Accepted);
    };
    frame().runCommand(CmdPrintPreview);
    EXPECT_EQ(frame().printing().lastPageCount(), 1);
    EXPECT_EQ(pdfWords(home("preview.pdf")), pdfWords(exported));
}

}  // namespace
}  // namespace kenvo::test
