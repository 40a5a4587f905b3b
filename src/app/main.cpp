// kenvoplat: the windowed measurement program.
#include <QAction>
#include <QApplication>
#include <QDir>
#include <QIcon>
#include <QSettings>
#include <QStandardPaths>
#include <cstdio>
#include <cstring>

#include "cue_sounds.h"
#include "kenvo_plat_app.h"
#include "main_frame.h"
#include "operator_port.h"
#include "stance_controller.h"
#include "target_controller.h"

namespace {

constexpr const char* Usage =
    "Usage: kenvoplat [--help | --version]\n"
    "\n"
    "The KenvoPlat balance platform program. It starts with an empty document; file names on\n"
    "the command line are not opened.\n"
    "\n"
    "Environment:\n"
    "  KENVOPLAT_HOME            folder for default.swpcfg and DATA (portable set-ups)\n"
    "  KENVOPLAT_SERIAL_DEVICES  extra serial devices, \"path=description;...\"\n";

}  // namespace

int main(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
            std::fputs(Usage, stdout);
            return 0;
        }
        if (std::strcmp(argv[i], "--version") == 0) {
            std::printf("kenvoplat %s\n", KENVOPLAT_VERSION);
            return 0;
        }
    }

    QApplication application(argc, argv);
    QApplication::setOrganizationName("Kenvotec");
    QApplication::setApplicationName("KenvoPlat");
    QApplication::setApplicationVersion(KENVOPLAT_VERSION);
    // The installed desktop entry and icon (kenvoplat.desktop, hicolor "kenvoplat").
    QGuiApplication::setDesktopFileName("kenvoplat");
    QApplication::setWindowIcon(QIcon::fromTheme("kenvoplat"));

    kenvo::PathSources sources;
    sources.homeOverride = qEnvironmentVariable("KENVOPLAT_HOME").toStdString();
    sources.programFolder = QCoreApplication::applicationDirPath().toStdString();
    sources.userConfigDir =
        (QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) + "/KenvoPlat")
            .toStdString();
    sources.userDataDir =
        (QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation) + "/KenvoPlat")
            .toStdString();

    QSettings profile;
    kenvo::QtOperatorPort port;
    // Before the application, so the target test can stop its cues while it shuts down.
    kenvo::CueSounds sounds;
    kenvo::CKenvoPlatApp app(port, profile, sources);

    // A logout or a kill request ends the program without a question: unsaved attempts go to
    // the recovery copy, which the next start offers. Caught before the start-up (which opens
    // the register and may scan), so a request meanwhile waits for the event loop instead of
    // killing the program before it could write anything.
    app.exitOnTerminationSignals();
    app.start(false);
    app.stanceController()->target().setSounds(&sounds);
    sounds.setEnabled(app.frame().soundsAction()->isChecked());
    QObject::connect(app.frame().soundsAction(), &QAction::toggled, &sounds, &kenvo::CueSounds::setEnabled);
    port.setParent(&app.frame());
    app.frame().show();
    for (const QString& problem : app.startupProblems()) port.notice(problem);
    return application.exec();
}
