#include "kenvo_plat_app.h"

#include <QAction>
#include <QCoreApplication>
#include <QFile>
#include <QSettings>
#include <QStatusBar>
#include <clocale>
#include <cstdlib>
#include <filesystem>

#include "about_dialog.h"
#include "app_register.h"
#include "app_state.h"
#include "command_ids.h"
#include "enabling_rules.h"
#include "export_file.h"
#include "files/configuration_file.h"
#include "graph_setup_dialog.h"
#include "kenvo_plat_view.h"
#include "main_frame.h"
#include "operator_port.h"
#include "platform/cop_source.h"
#include "platform/device_bus.h"
#include "platform/dispatcher.h"
#include "platform/platform_link.h"
#include "platform_choice.h"
#include "pointer_steering.h"
#include "print_controller.h"
#include "sensory_controller.h"
#include "sensory_report_commands.h"
#include "session_recovery.h"
#include "stance_controller.h"
#include "subject_dialog.h"
#include "subject_history_panel.h"
#include "subject_recording.h"
#include "subjects_dialog.h"
#include "termination_signals.h"
#include "window_placement.h"

namespace kenvo {

CKenvoPlatApp::CKenvoPlatApp(OperatorPort& port, QSettings& profile, PathSources sources)
    : port_(port),
      profile_(profile),
      sources_(std::move(sources)),
      state_(std::make_unique<AppState>()),
      platformChoice_(loadPlatformChoice(profile)),
      subject_(std::make_shared<SteerableSource>()) {
    dispatcher_ = std::make_unique<Dispatcher>(state_->store.liveTrace);
    buildLink();
}

CKenvoPlatApp::~CKenvoPlatApp() {
    signals_.reset();
    delete subjects_.data();
    // The reader thread stops before anything it reads goes (a recording the subject plays).
    if (link_) link_->stopLink();
    // The window goes first: its widgets refer to the state.
    sensory_.reset();
    stance_.reset();
    frame_.reset();
    link_.reset();
}

void CKenvoPlatApp::buildLink() {
    link_.reset();
    bus_ = makeDeviceBus(platformChoice_, subject_);
    link_ = std::make_unique<PlatformLink>(*bus_, *dispatcher_, state_->settings.test,
                                           state_->settings.calibration);
    if (stance_) stance_->setLink(*link_);
}

bool CKenvoPlatApp::useDeviceBus(std::unique_ptr<DeviceBus> bus) {
    if (link_->linkActive() || !bus) return false;
    link_.reset();
    bus_ = std::move(bus);
    link_ = std::make_unique<PlatformLink>(*bus_, *dispatcher_, state_->settings.test,
                                           state_->settings.calibration);
    if (stance_) stance_->setLink(*link_);
    return true;
}

bool CKenvoPlatApp::setPlatformChoice(int32_t choice) {
    if (link_->linkActive()) {
        if (frame_) frame_->setPlatformChoice(platformChoice_);
        return false;
    }
    platformChoice_ = choice;
    savePlatformChoice(profile_, choice);
    buildLink();
    if (frame_) frame_->setPlatformChoice(platformChoice_);
    return true;
}

void CKenvoPlatApp::start(bool show) {
    // The main window with its view; the recent-file list comes from the profile.
    frame_ = std::make_unique<CMainFrame>(*state_, port_, profile_);
    frame_->setApplicationHandler([this](int id) { return handleCommand(id); });
    frame_->setShutdownHandler([this] { shutdown(); });
    frame_->setPlatformChoiceHandler([this](int32_t choice) { setPlatformChoice(choice); });
    frame_->setPlatformChoice(platformChoice_);
    stance_ = std::make_unique<StanceController>(*state_, *frame_, *link_, *dispatcher_, port_);
    sensory_ =
        std::make_unique<SensoryController>(*state_, *frame_, port_, profile_, *stance_, subject_);
    steering_ = new PointerSteering(subject_, *frame_->view(), *state_, *stance_, profile_,
                                    *frame_->mouseSteeringAction());
    // Every start finds the simulated subject on the plate.
    subject_->setStanding(true);
    QObject::connect(frame_->subjectOnPlateAction(), &QAction::toggled, frame_.get(),
                     [subject = subject_](bool on) { subject->setStanding(on); });

    AppState& s = *state_;
    s.paths = resolveAppPaths(sources_);
    recording_ = new SubjectRecording(subject_, port_, *frame_->playRecordingAction(),
                                      s.paths.dataFolder, frame_.get());
    // Seeded with 0 so the target sequences are the same on every start; the tests reseed.
    std::srand(0);

    // The configuration folder of a per-user set-up may not exist yet.
    std::error_code ignored;
    std::filesystem::create_directories(std::filesystem::path(s.paths.configPath).parent_path(),
                                        ignored);
    const FileResult config =
        loadConfiguration(s.paths.configPath, s.settings, s.store.attemptSeconds);
    if (!config)
        port_.message(QString::fromStdString(config.message),
                      QString::fromStdString(config.reason));

    std::setlocale(LC_NUMERIC, "");

    const std::string folderProblem = ensureDataFolder(s.paths.dataFolder);
    if (!folderProblem.empty()) startupProblems_ << QString::fromStdString(folderProblem);

    // A run that ended by a crash or a kill left its attempts beside the data folder. Another
    // program running on the same folder owns them, and this one then keeps no copy.
    recovery_ = std::make_unique<SessionRecovery>(s.paths.dataFolder);
    recovery_->offerRestore(s, port_);
    stance_->setRecoveryPath(recovery_->copyPath());
    if (!recovery_->ownsCopy()) frame_->statusBar()->showMessage(SecondInstanceNotice);

    // The subject register of the data folder; the program works on without it.
    register_ = std::make_unique<AppRegister>(port_, s.paths.dataFolder);
    if (folderProblem.empty())
        register_->openAtStart(frame_.get());
    else
        register_->startWithout(QString::fromStdString(folderProblem));
    connectRegister();
    // The report and the results view name the subject as the register knows them.
    frame_->sensoryReport().setDetailsSource([this] {
        return register_->detailsFor(state_->store.subject, state_->store.attemptCount);
    });

    document_.onNewDocument();
    frame_->setDocumentTitle(document_.title());
    frame_->view()->redraw();
    if (!show) return;
    frame_->show();
    for (const QString& problem : startupProblems_) port_.notice(problem);
}

void CKenvoPlatApp::shutdown() {
    if (shutDown_) return;
    shutDown_ = true;
    if (sensory_) sensory_->shutdown();
    if (stance_) stance_->shutdown();
    link_->stopLink();
    if (recovery_) recovery_->endNormally();
    saveSettings();
}

int CKenvoPlatApp::terminate() {
    if (shutDown_) return 0;
    shutDown_ = true;
    // The order of a normal end: the tests and the link stop before anything is written.
    if (sensory_) sensory_->shutdown();
    if (stance_) stance_->shutdown();
    link_->stopLink();
    int status = 0;
    if (state_->store.dataSaved == 0 && recovery_) {
        const FileResult kept = recovery_->keepForNextStart(state_->store, state_->sensory);
        if (!kept) {
            port_.notice(QStringLiteral("The unsaved attempts could not be kept: %1")
                             .arg(QString::fromStdString(kept.reason)));
            status = 1;
        }
    } else if (recovery_) {
        recovery_->endNormally();
    }
    saveSettings();
    return status;
}

void CKenvoPlatApp::exitOnTerminationSignals() {
    signals_ =
        std::make_unique<TerminationSignals>([this] { QCoreApplication::exit(terminate()); });
}

void CKenvoPlatApp::saveSettings() {
    if (frame_) saveWindowPlacement(profile_, frame_->placement());
    const FileResult saved =
        saveConfiguration(state_->paths.configPath, state_->settings, state_->store.attemptSeconds);
    if (!saved)
        port_.notice(QStringLiteral("The settings could not be saved: %1")
                         .arg(QString::fromStdString(saved.reason)));
}

bool CKenvoPlatApp::handleCommand(int id) {
    // While the sensory test runs, the stance bar's Start and Exit are its guide's.
    if (sensory_ && sensory_->handleCommand(id)) return true;
    if (stance_ && stance_->handleCommand(id)) return true;
    switch (id) {
        case CmdSubjectInfo:
            subjectInfo();
            return true;
        case CmdSubjects:
            subjects();
            return true;
        case CmdGraphSetup:
            graphSetup();
            return true;
        case CmdAbout:
            about();
            return true;
        case CmdExit:
            frame_->close();
            return true;
        default:
            return false;
    }
}

void CKenvoPlatApp::subjectInfo() {
    CSubjectDlg dialog(state_->store.subject, port_, frame_.get());
    port_.runDialog(dialog);
    // The header shows the subject, whether or not it changed.
    frame_->view()->redraw();
}

void CKenvoPlatApp::connectRegister() {
    auto tell = [this](const QString& problem) {
        if (problem.isEmpty()) return;
        frame_->statusBar()->showMessage(problem, 15000);
        port_.notice(problem);
    };
    frame_->files().setSavedHandler([this, tell](const QString& path) {
        showWrittenPath(frame_.get(), QStringLiteral("Saved to %1"), path);
        tell(register_->fileSaved(QFile::encodeName(path).toStdString(), state_->store,
                                  state_->sensory));
        if (subjects_) subjects_->refresh();
    });
    frame_->files().setLoadedHandler([this, tell](const QString& path) {
        tell(register_->fileLoaded(QFile::encodeName(path).toStdString(), state_->store.subject));
    });
}

SubjectsDialog* CKenvoPlatApp::subjectsDialog() {
    return subjects_.data();
}

void CKenvoPlatApp::subjects() {
    // Without a register the command says why and offers the rebuild again.
    if (!register_->available() && !register_->offerRebuild(frame_.get())) return;
    if (!subjects_) {
        SubjectsWindowHooks hooks;
        hooks.openFile = [this](const QString& path) {
            if (!isCommandEnabled(CmdOpen, state_->store)) return false;
            const bool opened = frame_->files().openFile(path);
            frame_->updateCommandStates();
            return opened;
        };
        hooks.offerSave = [this] { return frame_->files().offerSave(true); };
        hooks.subjectChanged = [this] {
            frame_->view()->redraw();
            frame_->updateCaption();
        };
        subjects_ =
            new SubjectsDialog(*register_, state_->store, port_, std::move(hooks), frame_.get());
        subjects_->history()->setPrinter(
            [this](int32_t pages, const std::function<void(Surface&, int32_t)>& draw) {
                return frame_->printing().printPages(pages, draw);
            });
    }
    subjects_->refresh();
    subjects_->show();
    subjects_->raise();
    subjects_->activateWindow();
}

void CKenvoPlatApp::graphSetup() {
    CSetypGDlg dialog(state_->settings.graph, port_, frame_.get());
    port_.runDialog(dialog);
}

void CKenvoPlatApp::about() {
    AboutDialog dialog(frame_.get());
    port_.runDialog(dialog);
}

}  // namespace kenvo
