// kenvoplat-screenshots: renders the main window and the main dialogs to PNG files for the
// documentation. Runs on any Qt platform (xvfb, offscreen) with a throw-away home folder.
// "--check FILE..." instead checks that pictures are not blank (scripts/screenshots.sh).
#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QHash>
#include <QImage>
#include <QElapsedTimer>
#include <QPrinter>
#include <QSpinBox>
#include <QSettings>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>
#include <cmath>
#include <cstdio>

#include "about_dialog.h"
#include "check_dialog.h"
#include "procedures/stance_procedure.h"
#include "platform/simulated_bus.h"
#include "driving_controller.h"
#include "target_controller.h"
#include "stance_controller.h"
#include "app_state.h"
#include "graph_setup_dialog.h"
#include "kenvo_plat_app.h"
#include "kenvo_plat_view.h"
#include "main_frame.h"
#include "protocol_dialog.h"
#include "sensory_controller.h"
#include "sensory_guide.h"
#include "sensory_setup_dialog.h"
#include "model/cop_sample.h"
#include "model/fixed_point.h"
#include "operator_port.h"
#include "print_controller.h"
#include "render/report_setup_store.h"
#include "report_setup_dialog.h"
#include "sensory_report_commands.h"
#include "command_ids.h"
#include "subject_dialog.h"
#include "app_register.h"
#include "files/cop_import.h"
#include "register/subject_register.h"
#include "subject_history_panel.h"
#include "subjects_dialog.h"
#include <QTabWidget>
#include <utility>

namespace {

// Never waits: the screenshots need no answers.
class SilentPort final : public kenvo::OperatorPort {
  public:
    void message(const QString&, const QString&) override {}
    kenvo::Answer ask(const QString&, bool) override { return kenvo::Answer::No; }
    // The file of the next Save, when one is set; the chooser is never shown.
    std::optional<QString> chooseFile(const kenvo::FileRequest&) override {
        return std::exchange(nextFile, std::nullopt);
    }
    std::optional<QString> nextFile;
    int runDialog(QDialog& dialog) override {
        // The sensory test's set-up: one trial per condition of 10 s, so the guide's later
        // steps are reached quickly.
        if (auto* setup = dynamic_cast<kenvo::SensorySetupDialog*>(&dialog)) {
            setup->trialsBox()->setValue(1);
            setup->secondsBox()->setValue(10);
            setup->accept();
            return QDialog::Accepted;
        }
        return QDialog::Rejected;
    }
    void notice(const QString&) override {}
};

void runFor(int ms) {
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < ms) QApplication::processEvents(QEventLoop::AllEvents, 20);
}

bool save(QWidget& widget, const QString& path) {
    widget.show();
    for (int i = 0; i < 20; ++i) QApplication::processEvents();
    const bool ok = widget.grab().save(path);
    std::printf("%s %s\n", ok ? "wrote" : "FAILED", path.toLocal8Bit().constData());
    return ok;
}

// A picture counts as blank when it does not load or when almost all of it (all but 0.2 % of
// the pixels) is one colour: a window that failed to draw, an empty page.
bool notBlank(const QString& path) {
    const QImage image = QImage(path).convertToFormat(QImage::Format_RGB32);
    if (image.isNull() || image.width() < 16 || image.height() < 16) {
        std::printf("BLANK %s (does not load or is tiny)\n", path.toLocal8Bit().constData());
        return false;
    }
    QHash<QRgb, qint64> counts;
    for (int y = 0; y < image.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x) ++counts[line[x]];
    }
    qint64 dominant = 0;
    for (const qint64 n : counts) dominant = std::max(dominant, n);
    const qint64 pixels = qint64(image.width()) * image.height();
    const bool ok = counts.size() >= 2 && (pixels - dominant) * 500 >= pixels;
    std::printf("%s %s (%lld colours, %.2f %% not background)\n", ok ? "ok" : "BLANK",
                path.toLocal8Bit().constData(), static_cast<long long>(counts.size()),
                100.0 * static_cast<double>(pixels - dominant) / static_cast<double>(pixels));
    return ok;
}

// A sample sensory test: three trials of 60 s per condition of slow sway with a faster tremor,
// each condition a little larger than the one before, eyes closed on foam beyond the reference
// range: the results view, and the report setup with a clinic's name and logo.
bool sensoryResultsPictures(kenvo::CKenvoPlatApp& app, SilentPort& port, QSettings& profile,
                            const QString& out) {
    using namespace kenvo;
    MeasurementStore& store = app.state().store;
    app.frame().runCommand(CmdBlankView);
    store.settings.testMode = TestModeStance;
    store.attemptSeconds = 60;
    store.attemptCount = 0;
    store.calibration.scaleX = 260.0f;
    store.calibration.scaleY = 160.0f;
    app.state().sensory.clear();
    struct Sway {
        SensoryCondition condition;
        double slow, fast;  // mm of the slow sway's shape, of the tremor's
    };
    const Sway sways[] = {{SensoryCondition::EoFirm, 1.2, 1.8},
                          {SensoryCondition::EcFirm, 1.45, 2.3},
                          {SensoryCondition::EoFoam, 3.0, 5.0},
                          {SensoryCondition::EcFoam, 4.8, 7.0}};
    constexpr double TwoPi = 2.0 * M_PI;
    for (const Sway& sway : sways)
        for (int trial = 0; trial < 3; ++trial) {
            const int a = store.attemptCount;
            const double k = 1.0 + 0.04 * (trial - 1), seed = trial;
            CopSample* samples = store.samples(a);
            for (int i = 0; i < 6000; ++i) {
                const double t = i / 100.0;
                const double x = k * sway.slow *
                                     (3.0 * std::sin(TwoPi * 0.11 * t + seed) +
                                      1.2 * std::sin(TwoPi * 0.43 * t + 1 + seed)) +
                                 sway.fast * (0.35 * std::sin(TwoPi * 1.3 * t + seed) +
                                              0.25 * std::sin(TwoPi * 2.3 * t));
                const double y = k * sway.slow *
                                     (4.0 * std::sin(TwoPi * 0.09 * t + 0.5 * seed) +
                                      1.5 * std::sin(TwoPi * 0.31 * t)) +
                                 sway.fast * (0.4 * std::sin(TwoPi * 1.1 * t + 1) +
                                              0.3 * std::sin(TwoPi * 1.9 * t + seed));
                samples[i] = CopSample{onFixedPointGrid(float(x / store.calibration.scaleX)),
                                       onFixedPointGrid(float(y / store.calibration.scaleY)), 72};
            }
            store.length[size_t(a)] = 6000;
            store.startTime[size_t(a)] = 1'760'000'000 + 90 * a;  // October 2025
            store.attemptCount = a + 1;
            app.state().sensory.setCondition(store, a, sway.condition);
        }
    store.dataPresent = 1;
    Sidecar details;
    details.name = "Jana Novakova";
    details.patientCode = "KP-2025-0147";
    details.birthDate = "1984-06-21";  // 41 on the day: the Young group
    app.frame().sensoryReport().setDetailsSource([details] { return details; });

    app.frame().resize(800, 560);
    app.frame().runCommand(CmdSensoryResults);
    bool ok = save(app.frame(), out + "/sensory_results.png");

    // The report setup with a logo of the clinic's colours, drawn here.
    QImage logo(240, 80, QImage::Format_RGB32);
    logo.fill(QColor(30, 80, 150));
    for (int y = 20; y < 60; ++y)
        for (int x = 20; x < 60; ++x) logo.setPixel(x, y, qRgb(255, 255, 255));
    const QString logoFile = QDir(out).filePath("sample_logo.png");
    logo.save(logoFile);
    std::string error;
    storeReportSetup(profile, "Balance Clinic, Ljubljana", logoFile.toStdString(), false, error);
    QFile::remove(logoFile);
    const StoredReportSetup stored = readReportSetup(profile);
    ReportSetupDialog dialog(QString::fromStdString(stored.clinicName),
                             QString::fromStdString(stored.logoPath), QDir::homePath(), port,
                             &app.frame());
    ok = save(dialog, out + "/report_setup.png") && ok;
    dialog.hide();
    return ok;
}

// A subject in the register with six stance sessions over half a year, saved through the
// window's Save as the program would after "New test for this subject", and a few others: the
// Subjects window on her sessions, then on the history of her mean velocity.
bool registerPictures(kenvo::CKenvoPlatApp& app, SilentPort& port, const QString& out) {
    using namespace kenvo;
    SubjectRegister* reg = app.subjectRegister()->get();
    if (!reg) {
        std::printf("FAILED the register did not open\n");
        return false;
    }
    auto add = [reg](const char* name, const char* code, char sex, const char* birth, int h,
                     int w, const char* notes) {
        RegisterSubject s{0, code, name, birth, sex, h, w, notes, 0};
        std::string error;
        reg->saveSubject(s, error);
        return s;
    };
    const RegisterSubject jana = add("Jana Nov\u00e1kov\u00e1", "P-0042", 'F', "1956-04-23", 168, 61,
                                     "Right hip replacement, 2026-01");
    const RegisterSubject jan = add("Jan Nov\u00e1k", "P-0043", 'M', "1951-11-02", 181, 84, "");
    add("Eva Mal\u00e1", "P-0051", 'F', "1962-07-19", 159, 55, "");
    add("Petr Dvo\u0159\u00e1k", "P-0060", 'M', "1948-02-28", 175, 90, "");
    add("Marie Svobodov\u00e1", "", 'F', "", 0, 0, "");

    app.frame().runCommand(CmdSubjects);
    SubjectsDialog* dialog = app.subjectsDialog();
    if (!dialog) return false;
    MeasurementStore& store = app.state().store;
    // Three 20 s attempts per visit, the sway narrowing as the months of training go by.
    auto visit = [&](const RegisterSubject& who, int number, int64_t start, double amplitude) {
        dialog->chooseSubject(who.id);
        dialog->newTestForSubject();
        for (int a = 0; a < 3; ++a) {
            std::vector<CopPoint> points;
            const double seed = 0.4 * number + a;
            const double amp = amplitude * (1.0 + 0.12 * a);
            for (int i = 0; i < 2000; ++i) {
                const double t = i / 100.0;
                points.push_back({amp * (0.6 * std::sin(0.9 * t + seed) + 0.3 * std::sin(2.3 * t) +
                                         0.1 * std::sin(7.1 * t + 2 * seed)),
                                  1.5 + amp * (0.7 * std::sin(0.5 * t + 1) +
                                               0.25 * std::sin(1.7 * t + seed) +
                                               0.05 * std::sin(9.3 * t))});
            }
            importCopAttempt(store, a, points, 0, start + a * 60);
        }
        finishCopImport(store, 3, 0);
        store.dataSaved = 0;
        port.nextFile = QString::fromStdString(app.state().paths.dataFolder) +
                        QStringLiteral("/%1-%2.kplat").arg(QString::fromStdString(who.code)).arg(number);
        app.frame().runCommand(CmdSave);
    };
    const int64_t january = 1768208400;  // 2026-01-12 09:00 UTC
    const double amplitudes[] = {7.5, 6.8, 6.9, 5.6, 5.0, 4.6};
    const int days[] = {0, 27, 61, 96, 124, 166};
    for (int v = 0; v < 6; ++v) visit(jana, v + 1, january + days[v] * 86400LL + v * 1500, amplitudes[v]);
    visit(jan, 1, january + 40 * 86400LL, 5.5);
    visit(jan, 2, january + 90 * 86400LL, 5.9);

    dialog->resize(900, 680);
    dialog->refresh();
    dialog->chooseSubject(jana.id);
    dialog->tabs()->setCurrentIndex(0);
    bool ok = save(*dialog, out + "/subjects_window.png");
    dialog->tabs()->setCurrentIndex(1);
    dialog->history()->setMeasure(ClinicalMeasure::Velocity);
    ok = save(*dialog, out + "/subject_history.png") && ok;
    // Its printed page, as a PDF the script turns into a picture.
    const QString pdf = out + "/print_history.pdf";
    app.frame().printing().setPrinterChooser([pdf](QPrinter& printer) {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(pdf);
        return true;
    });
    ok = dialog->history()->print() && ok;
    dialog->hide();
    return ok;
}

}  // namespace

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    if (argc < 2) {
        std::fputs("Usage: kenvoplat-screenshots OUTPUT-FOLDER | --check PICTURE...\n", stderr);
        return 2;
    }
    if (QString(argv[1]) == "--check") {
        bool ok = argc > 2;
        for (int i = 2; i < argc; ++i) ok = notBlank(QString::fromLocal8Bit(argv[i])) && ok;
        return ok ? 0 : 1;
    }
    const QString out = QString::fromLocal8Bit(argv[1]);
    QDir().mkpath(out);
    QTemporaryDir home;
    QSettings profile(home.filePath("profile.ini"), QSettings::IniFormat);
    SilentPort port;
    kenvo::PathSources sources;
    sources.homeOverride = home.path().toStdString();
    kenvo::CKenvoPlatApp app(port, profile, sources);
    app.start(true);
    app.state().store.subject.name = "Jana Nov\xe1kov\xe1";  // Windows-1250, as files hold it
    app.state().store.subject.height = 168;
    app.state().store.subject.weight = 61;
    app.frame().view()->redraw();

    // Each picture is one save(); views that draw a data set come from kenvoplat-cli (see
    // scripts/screenshots.sh), so a new window or dialog picture is one more block here.
    bool ok = save(app.frame(), out + "/main_window.png");
    kenvo::CSetypGDlg graph(app.state().settings.graph, port, &app.frame());
    ok = save(graph, out + "/graph_setup.png") && ok;
    graph.hide();
    kenvo::CSubjectDlg subject(app.state().store.subject, port, &app.frame());
    ok = save(subject, out + "/subject_dialog.png") && ok;
    subject.hide();
    // A protocol of five targets in the editor, the third selected.
    app.state().protocol = {"Balance clinic A", 5};
    for (int k = 0; k < 5; ++k) app.state().store.targetLocation[static_cast<std::size_t>(k)] = (k * 3) % 4;
    kenvo::CProtocolDlg protocol(app.state().protocol, app.state().store.targetLocation,
                                 app.state().paths.programFolder, port, &app.frame());
    protocol.list()->selectRow(2);
    ok = save(protocol, out + "/protocol_editor.png") && ok;
    protocol.hide();
    kenvo::AboutDialog about(&app.frame());
    ok = save(about, out + "/about.png") && ok;
    about.hide();
    // A stance test on a simulated platform: two attempts of 3 s, a third under way.
    auto bus = std::make_unique<kenvo::SimulatedBus>();
    bus->add({0, 70.0, nullptr, 5});
    app.useDeviceBus(std::move(bus));
    kenvo::AppState& state = app.state();
    for (int k = 0; k < 4; ++k) state.settings.calibration.zeroOffset[k] = 50;
    state.settings.test.stanceTime = 3;
    app.frame().runCommand(32808);
    for (int a = 0; a < 3; ++a) {
        app.frame().runCommand(kenvo::StanceStartButton);
        runFor(a < 2 ? 3300 : 1800);
    }
    ok = save(app.frame(), out + "/stance_test.png") && ok;
    runFor(1500);
    app.frame().runCommand(kenvo::StanceExitButton);
    // A driving test at velocity 10, recording: the track, the marker and the deviation line.
    state.settings.test.drivingEndMode = 1;
    state.settings.test.drivingVelocity = 10;
    state.settings.test.drivingDirection = 0;  // up-down
    {
        kenvo::DrivingController& driving = app.stanceController()->driving();
        const QSize size = app.frame().view()->size();
        driving.procedure().newTest(kenvo::Rect{0, 0, size.width(), size.height()});
        app.frame().runCommand(kenvo::DrivingStartButton);
        runFor(3500);
        ok = save(app.frame(), out + "/driving_test.png") && ok;
        app.frame().runCommand(kenvo::DrivingExitButton);
    }
    // A target hitting test under way: the cup, the subject's disc and the status line.
    state.settings.test.stimuliCount = 5;
    state.settings.test.objectSize = 30;
    state.settings.test.targetSize = 90;
    {
        kenvo::TargetController& target = app.stanceController()->target();
        const QSize size = app.frame().view()->size();
        target.procedure().newTest(kenvo::Rect{0, 0, size.width(), size.height()});
        app.frame().runCommand(kenvo::StanceStartButton);
        runFor(1500);
        ok = save(app.frame(), out + "/target_test.png") && ok;
        app.frame().runCommand(kenvo::StanceExitButton);
    }
    {
        kenvo::CCheckDlg check(app.link(), state.settings.calibration, port, &app.frame());
        check.show();
        runFor(600);
        ok = save(check, out + "/sensor_check.png") && ok;
        check.reject();
    }
    app.frame().runCommand(32774);
    app.frame().runCommand(kenvo::ReplayForward);
    runFor(1800);
    ok = save(app.frame(), out + "/replay.png") && ok;

    // Two recorded attempts of 10 s, so the bar's combos show their entries.
    app.state().store.attemptCount = 2;
    app.state().store.attemptSeconds = 10;
    app.frame().applyBarSetup(32776);
    ok = save(app.frame(), out + "/interval_bar.png") && ok;

    // The evaluation views over three attempts of 30 s of slow, uneven sway.
    kenvo::MeasurementStore& store = app.state().store;
    store.attemptSeconds = 30;
    store.attemptCount = 3;
    store.dataPresent = 1;
    store.calibration.scaleX = 260.0f;  // mm per unit of fraction, a 4-cell plate
    store.calibration.scaleY = 160.0f;
    for (int a = 0; a < 3; ++a) {
        kenvo::CopSample* samples = store.samples(a);
        for (int i = 0; i < 3000; ++i) {
            const double t = i / 100.0;
            const float x = float(0.02 * std::sin(0.9 * t + a) + 0.008 * std::sin(5.3 * t));
            const float y = float(0.03 * std::cos(0.6 * t) + 0.01 * std::sin(3.1 * t + a));
            samples[i] =
                kenvo::CopSample{kenvo::onFixedPointGrid(x), kenvo::onFixedPointGrid(y), 72};
        }
        store.length[size_t(a)] = 3000;
    }
    app.frame().resize(800, 600);
    app.frame().runCommand(32794);
    app.frame().runCommand(32775);  // Summary
    ok = save(app.frame(), out + "/summary_table.png") && ok;
    app.frame().runCommand(32798);  // Graph report, the cursors moved in from the ends
    for (int i = 0; i < 600; ++i) app.frame().runCommand(32817);
    for (int i = 0; i < 900; ++i) app.frame().runCommand(32814);
    ok = save(app.frame(), out + "/graph_report.png") && ok;
    app.frame().runCommand(32795);  // Difus analysis, the marker at 1 s, then RESULT
    for (int i = 0; i < 100; ++i) app.frame().runCommand(32817);
    app.frame().runCommand(1059);
    ok = save(app.frame(), out + "/diffusion_result.png") && ok;

    // The clinical measures of the three attempts, and their first printed page as a PDF the
    // script turns into a picture. They are offered for a stance data set.
    store.settings.testMode = kenvo::TestModeStance;
    app.frame().runCommand(kenvo::CmdClinicalMeasures);
    ok = save(app.frame(), out + "/clinical_measures.png") && ok;
    const QString pdf = out + "/print_clinical.pdf";
    app.frame().printing().setPrinterChooser([pdf](QPrinter& printer) {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(pdf);
        return true;
    });
    app.frame().runCommand(kenvo::CmdPrint);
    // The graph report again with the 95 % ellipse of the zoomed range between the cursors.
    app.state().clinical.drawEllipse = true;
    app.frame().runCommand(32794);
    app.frame().runCommand(32798);
    for (int i = 0; i < 600; ++i) app.frame().runCommand(32817);
    for (int i = 0; i < 900; ++i) app.frame().runCommand(32814);
    app.frame().runCommand(32813);  // Zoom
    ok = save(app.frame(), out + "/graph_report_ellipse.png") && ok;
    ok = sensoryResultsPictures(app, port, profile, out) && ok;
    ok = registerPictures(app, port, out) && ok;

    // The sensory balance test's guide on the program's own simulated subject: the first trial
    // recorded, the second skipped, the instruction before the first trial on foam, then that
    // trial recording.
    app.frame().runCommand(32794);
    // As on a screen wide enough for the window to grow by the guide's width.
    app.frame().resize(800 + kenvo::SensoryGuide::GuideWidth + 12, 600);
    app.setPlatformChoice(0);
    app.frame().runCommand(kenvo::CmdSensoryTest);
    kenvo::SensoryController& sensory = *app.sensoryController();
    sensory.start();
    QElapsedTimer trial;
    trial.start();
    while (app.state().store.attemptCount < 1 && trial.elapsed() < 20000) runFor(100);
    sensory.skip();
    runFor(1000);
    ok = save(app.frame(), out + "/sensory_guide.png") && ok;
    sensory.start();
    runFor(5600);
    ok = save(app.frame(), out + "/sensory_recording.png") && ok;
    sensory.stop();
    return ok ? 0 : 1;
}
