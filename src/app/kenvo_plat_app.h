#pragma once

#include <QPointer>
#include <QStringList>
#include <cstdint>
#include <memory>

#include "app_paths.h"
#include "kenvo_plat_doc.h"

class QSettings;

namespace kenvo {

struct AppState;
class AppRegister;
class SubjectsDialog;
class CMainFrame;
class DeviceBus;
class Dispatcher;
class OperatorPort;
class PlatformLink;
class PointerSteering;
class SessionRecovery;
class SteerableSource;
class SubjectRecording;
class TerminationSignals;
class StanceController;
class SensoryController;

// The application: owns the data set, the settings, the platform link and the main window,
// starts them in order and saves the configuration when the window closes.
class CKenvoPlatApp {
  public:
    CKenvoPlatApp(OperatorPort& port, QSettings& profile, PathSources sources);
    ~CKenvoPlatApp();
    CKenvoPlatApp(const CKenvoPlatApp&) = delete;
    CKenvoPlatApp& operator=(const CKenvoPlatApp&) = delete;

    // Start-up: the window, the folders, the random seed, the configuration, the numeric
    // locale, the data folder, a new document; then shows the window when `show`.
    void start(bool show = true);
    // Writes the configuration; runs once, when the window has agreed to close.
    void shutdown();
    // The end nobody is asked about (a logout, a kill request): stops the tests and the link,
    // writes unsaved attempts as the recovery copy that the next start offers, writes the
    // configuration. Returns the exit status: 0, or 1 when unsaved attempts could not be kept.
    // Does nothing (0) once the program has shut down.
    int terminate();
    // From now on SIGTERM and SIGINT run terminate() and quit the event loop with its status.
    void exitOnTerminationSignals();

    AppState& state() { return *state_; }
    CMainFrame& frame() { return *frame_; }
    CKenvoPlatDoc& document() { return document_; }
    PlatformLink& link() { return *link_; }
    Dispatcher& dispatcher() { return *dispatcher_; }
    // The stance test, replay and sensor check commands; null before start().
    StanceController* stanceController() { return stance_.get(); }
    // The sensory balance test and its guide; null before start().
    SensoryController* sensoryController() { return sensory_.get(); }
    // The mouse steering of the simulated subject; null before start().
    PointerSteering* pointerSteering() { return steering_; }
    // "Play a recording..." of the simulated subject; null before start().
    SubjectRecording* subjectRecording() { return recording_; }
    // The subject of the simulated platforms the program builds.
    SteerableSource& simulatedSubject() { return *subject_; }

    // Talks to `bus` instead of the chosen platform (tests, demonstrations). Refused while a
    // link is open.
    bool useDeviceBus(std::unique_ptr<DeviceBus> bus);

    // The application's own commands; false for an id it does not handle.
    bool handleCommand(int id);

    // Automatic or a simulated model; remembered between runs. Refused while a link is open.
    bool setPlatformChoice(int32_t choice);
    int32_t platformChoice() const { return platformChoice_; }

    // The subject register (null before start()), and the Subjects window while it exists.
    AppRegister* subjectRegister() { return register_.get(); }
    SubjectsDialog* subjectsDialog();

    // Problems of start-up told to the operator once the window shows (empty when none).
    const QStringList& startupProblems() const { return startupProblems_; }

  private:
    void buildLink();
    void saveSettings();
    void subjectInfo();
    void subjects();
    void connectRegister();
    void graphSetup();
    void about();

    OperatorPort& port_;
    QSettings& profile_;
    PathSources sources_;
    std::unique_ptr<AppState> state_;
    int32_t platformChoice_;
    std::shared_ptr<SteerableSource> subject_;  // the simulated platforms' subject
    std::unique_ptr<DeviceBus> bus_;
    std::unique_ptr<Dispatcher> dispatcher_;
    std::unique_ptr<PlatformLink> link_;
    CKenvoPlatDoc document_;
    std::unique_ptr<CMainFrame> frame_;
    std::unique_ptr<StanceController> stance_;
    std::unique_ptr<SensoryController> sensory_;
    PointerSteering* steering_ = nullptr;   // a child of the view
    SubjectRecording* recording_ = nullptr;  // a child of the frame
    std::unique_ptr<SessionRecovery> recovery_;
    std::unique_ptr<AppRegister> register_;
    QPointer<SubjectsDialog> subjects_;
    std::unique_ptr<TerminationSignals> signals_;
    QStringList startupProblems_;
    bool shutDown_ = false;
};

}  // namespace kenvo
