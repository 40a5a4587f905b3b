// kenvoplat-screenshots: renders the main window and the main dialogs to PNG files for the
// documentation. Runs on any Qt platform (xvfb, offscreen) with a throw-away home folder.
#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QElapsedTimer>
#include <QSettings>
#include <QTemporaryDir>
#include <QTimer>
#include <cstdio>

#include "about_dialog.h"
#include "check_dialog.h"
#include "measurement/stance_procedure.h"
#include "platform/simulated_bus.h"
#include "stance_controller.h"
#include "app_state.h"
#include "graph_setup_dialog.h"
#include "kenvo_plat_app.h"
#include "kenvo_plat_view.h"
#include "main_frame.h"
#include "operator_port.h"
#include "subject_dialog.h"

namespace {

// Never waits: the screenshots need no answers.
class SilentPort final : public kenvo::OperatorPort {
  public:
    void message(const QString&, const QString&) override {}
    kenvo::Answer ask(const QString&, bool) override { return kenvo::Answer::No; }
    std::optional<QString> chooseFile(const kenvo::FileRequest&) override { return {}; }
    int runDialog(QDialog&) override { return QDialog::Rejected; }
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

}  // namespace

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    if (argc < 2) {
        std::fputs("Usage: kenvoplat-screenshots OUTPUT-FOLDER\n", stderr);
        return 2;
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

    bool ok = save(app.frame(), out + "/main_window.png");
    kenvo::CSetypGDlg graph(app.state().settings.graph, port, &app.frame());
    ok = save(graph, out + "/graph_setup.png") && ok;
    graph.hide();
    kenvo::CSubjectDlg subject(app.state().store.subject, port, &app.frame());
    ok = save(subject, out + "/subject_dialog.png") && ok;
    subject.hide();
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
    return ok ? 0 : 1;
}
