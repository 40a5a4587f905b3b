// kenvoplat-screenshots: renders the main window and the main dialogs to PNG files for the
// documentation. Runs on any Qt platform (xvfb, offscreen) with a throw-away home folder.
// "--check FILE..." instead checks that pictures are not blank (scripts/screenshots.sh).
#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QElapsedTimer>
#include <QHash>
#include <QImage>
#include <QPrinter>
#include <QSettings>
#include <QSpinBox>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>
#include <cmath>
#include <cstdio>

#include <QTabWidget>
#include <utility>
#include "about_dialog.h"
#include "app_register.h"
#include "app_state.h"
#include "check_dialog.h"
#include "command_ids.h"
#include "driving_controller.h"
#include "files/cop_import.h"
#include "graph_setup_dialog.h"
#include "kenvo_plat_app.h"
#include "kenvo_plat_view.h"
#include "main_frame.h"
#include "model/cop_sample.h"
#include "model/fixed_point.h"
#include "operator_port.h"
#include "platform/simulated_bus.h"
#include "print_controller.h"
#include "procedures/stance_procedure.h"
#include "protocol_dialog.h"
#include "register/subject_register.h"
#include "render/report_setup_store.h"
#include "report_setup_dialog.h"
#include "sensory_controller.h"
#include "sensory_guide.h"
#include "sensory_report_commands.h"
#include "sensory_setup_dialog.h"
#include "stance_controller.h"
#include "subject_dialog.h"
#include "subject_history_panel.h"
#include "subjects_dialog.h"
#include "target_controller.h"

#include "screenshot_clinical.h"
#include "screenshot_support.h"

namespace {

using kenvo::screenshots::runFor;
using kenvo::screenshots::save;
using kenvo::screenshots::SilentPort;

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
    for (int k = 0; k < 5; ++k)
        app.state().store.targetLocation[static_cast<std::size_t>(k)] = (k * 3) % 4;
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
    // The same test on a large screen: the window at 1600 x 1000, an attempt of 10 s recording.
    state.settings.test.stanceTime = 10;
    app.frame().runCommand(32808);
    app.frame().resize(1600, 1000);
    app.frame().runCommand(kenvo::StanceStartButton);
    runFor(4000);
    ok = save(app.frame(), out + "/stance_test_large.png") && ok;
    ok = kenvo::screenshots::fillsTheView(out + "/stance_test_large.png", app.frame(),
                                          *app.frame().view()) &&
         ok;
    app.frame().runCommand(kenvo::StanceExitButton);
    app.frame().resize(800, 560);
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
    app.frame().resize(1600, 1000);
    ok = save(app.frame(), out + "/summary_table_large.png") && ok;
    app.frame().resize(800, 600);
    app.frame().runCommand(32798);  // Graph report, the cursors moved in from the ends
    for (int i = 0; i < 600; ++i) app.frame().runCommand(32817);
    for (int i = 0; i < 900; ++i) app.frame().runCommand(32814);
    ok = save(app.frame(), out + "/graph_report.png") && ok;
    app.frame().resize(1600, 1000);
    ok = save(app.frame(), out + "/graph_report_large.png") && ok;
    ok = kenvo::screenshots::fillsTheView(out + "/graph_report_large.png", app.frame(),
                                          *app.frame().view()) &&
         ok;
    app.frame().resize(800, 600);
    // The same report zoomed to the cursors, its value axes fitted to the sway shown.
    app.frame().runCommand(32813);  // Zoom
    app.frame().runCommand(kenvo::CmdFitY);
    ok = save(app.frame(), out + "/graph_report_fit_y.png") && ok;
    app.frame().runCommand(kenvo::CmdFitY);
    app.frame().runCommand(kenvo::CmdWholeAttempt);
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
    ok = kenvo::screenshots::sensoryResultsPictures(app, port, profile, out) && ok;
    ok = kenvo::screenshots::registerPictures(app, port, out) && ok;

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
