#pragma once

#include <QObject>
#include <QTimer>
#include <functional>
#include <memory>

#include "graphs/cop_pictures.h"
#include "graphs/display_state.h"
#include "graphs/stance_view.h"
#include "procedures/procedure_port.h"
#include "procedures/replay_procedure.h"
#include "procedures/stance_procedure.h"
#include "test_status.h"
#include "window_procedure_port.h"

namespace kenvo {

struct AppState;
class CMainFrame;
class Dispatcher;
class OperatorPort;
class PlatformLink;
class DrivingController;
class TargetController;
struct ViewContext;

// Internal commands of the view's timer dispatcher.
enum TimerCommand : int32_t {
    CmdTestTick = 32790,
    CmdReplayTick = 32791,
    CmdRemoveCopPicture = 32792,
};

// The stance test, the replay and the sensor check in the window: their commands, the view's
// timers 1, 3 and 5, the drawing of the stance and replay views, and the port through which
// the procedures reach the operator, the bar and the view.
class StanceController final : public QObject, public WindowProcedurePort {
    Q_OBJECT

  public:
    StanceController(AppState& state, CMainFrame& frame, PlatformLink& link,
                     Dispatcher& dispatcher, OperatorPort& port);
    ~StanceController() override;

    // The link was rebuilt for another platform choice (never while a test runs).
    void setLink(PlatformLink& link);
    // Where each completed attempt is copied (empty: nowhere).
    void setRecoveryPath(const std::string& path);
    // Told of each completed stance attempt (the sensory test's guide); kept across links.
    void setAttemptCompleted(std::function<void(int32_t)> handler);
    // Said in the status bar instead of "Ready - press Start" while it returns words (the
    // sensory test's countdown); empty: none.
    void setWaitingNote(std::function<QString()> note) { waitingNote_ = std::move(note); }

    // The commands handled here; false for other ids.
    bool handleCommand(int id);
    // One message of view timer `id` (the dispatcher; the QTimers call it).
    void onViewTimer(int32_t id);
    // Stops a running test without saving (the window is closing).
    void shutdown();

    DisplayState& display() { return display_; }
    StanceProcedure& stance() { return *stance_; }
    DrivingController& driving() { return *driving_; }
    TargetController& target() { return *target_; }
    QTimer& viewTimer(int32_t id);

    // The timers and bars of this test (the rest of the port is the window's)
    void startTimer(int32_t id, int32_t periodMs) override;
    void stopTimer(int32_t id) override;
    void switchBar(int32_t templateId) override;

  private:
    bool runCommand(int id);
    void render(Surface& surface, const ViewContext& context);
    StanceContext context();
    void stanceTest();
    void check();
    void copPicture(CopPictureKind kind);
    void onComboChanged(int id);
    int32_t viewMode() const;
    // The status bar follows the test on screen: after every command and timer message.
    void refreshStatus();
    TestProgress stanceProgress();

    AppState& state_;
    Dispatcher& dispatcher_;
    DisplayState& display_;  // the view's: the tests, the replay and the evaluation share it
    std::unique_ptr<StanceProcedure> stance_;
    ReplayProcedure replay_;
    AcquisitionControl checkProbe_;  // the Check command's own
    std::string recoveryPath_;
    std::function<void(int32_t)> attemptCompleted_;
    std::function<QString()> waitingNote_;
    int32_t lastCompleted_ = -1;  // the attempt completed since the last Start, -1 for none
    QTimer testTimer_, replayTimer_, drivingTimer_;
    std::unique_ptr<DrivingController> driving_;
    std::unique_ptr<TargetController> target_;
};

// The stance view's two panels.
StancePanels stancePanels();

}  // namespace kenvo
