#include "stance_controller.h"

#include "app_state.h"
#include "bar_setup.h"
#include "check_dialog.h"
#include "command_ids.h"
#include "driving_controller.h"
#include "evaluation_controller.h"
#include "target_controller.h"
#include "graphs/display_geometry.h"
#include "graphs/header_band.h"
#include "graphs/replay_step.h"
#include "kenvo_plat_view.h"
#include "main_frame.h"
#include "operator_port.h"
#include "platform/dispatcher.h"
#include "platform/platform_link.h"
#include "stance_dialog.h"

namespace kenvo {

namespace {
constexpr int32_t DrivingTickMs = 55;
}  // namespace

StancePanels stancePanels() { return StancePanels{panel::CopPlane, panel::TimeGraph}; }

StanceController::StanceController(AppState& state, CMainFrame& frame, PlatformLink& link,
                                   Dispatcher& dispatcher, OperatorPort& port)
    : WindowProcedurePort(frame, port, link),
      state_(state),
      dispatcher_(dispatcher),
      display_(frame.view()->display()),
      stance_(std::make_unique<StanceProcedure>(state.store, state.settings, link, display_, *this)),
      replay_(state.store, state.settings, display_, *this) {
    connect(&testTimer_, &QTimer::timeout, this, [this] { onViewTimer(TimerTest); });
    connect(&replayTimer_, &QTimer::timeout, this, [this] { onViewTimer(TimerReplay); });
    // Timer 5 counts the COP picture down like the others; connected before the driving
    // controller's scroll step, so the countdown comes first as on every timer message.
    connect(&drivingTimer_, &QTimer::timeout, this, [this] { onViewTimer(TimerDriving); });
    connect(&frame_, &CMainFrame::barComboChanged, this, &StanceController::onComboChanged);
    // Whatever takes the view, the status bar stops speaking of the test that had it.
    connect(frame_.view(), &CKenvoPlatView::blanked, this, &StanceController::refreshStatus);
    connect(frame_.view(), &CKenvoPlatView::modeChanged, this, [this] { refreshStatus(); });
    // The replay timer runs as long as the view exists; it moves only a running replay.
    replayTimer_.start(StanceProcedure::TickMs);
    // The stance and replay views are drawn here; every other mode as the view drew it before.
    frame_.view()->setRenderer([this, before = frame_.view()->renderer()](Surface& surface, const ViewContext& c) {
        if (c.mode == ViewMode::StanceTest || c.mode == ViewMode::RealSimulation) render(surface, c);
        else before(surface, c);
    });
    // The driving test runs on timer 5 and draws mode 11.
    driving_ = std::make_unique<DrivingController>(state, frame, link, dispatcher, port, display_,
                                                   drivingTimer_);
    // The target test shares timer 1 and draws mode 9.
    target_ = std::make_unique<TargetController>(state, frame, link, port, display_, testTimer_);
}

StanceController::~StanceController() = default;

void StanceController::setLink(PlatformLink& link) {
    link_ = &link;
    stance_ = std::make_unique<StanceProcedure>(state_.store, state_.settings, link, display_, *this);
    stance_->setRecoveryPath(recoveryPath_);
    stance_->setAttemptCompleted(attemptCompleted_);
    driving_->setLink(link);
    target_->setLink(link);
}

void StanceController::setRecoveryPath(const std::string& path) {
    recoveryPath_ = path;
    stance_->setRecoveryPath(path);
    driving_->setRecoveryPath(path);
    target_->setRecoveryPath(path);
}

void StanceController::setAttemptCompleted(std::function<void(int32_t)> handler) {
    attemptCompleted_ = std::move(handler);
    stance_->setAttemptCompleted(attemptCompleted_);
}

QTimer& StanceController::viewTimer(int32_t id) {
    if (id == TimerTest) return testTimer_;
    if (id == TimerReplay) return replayTimer_;
    return drivingTimer_;
}

int32_t StanceController::viewMode() const {
    return static_cast<int32_t>(frame_.view()->mode());
}

bool StanceController::handleCommand(int id) {
    const bool handled = runCommand(id);
    refreshStatus();
    return handled;
}

bool StanceController::runCommand(int id) {
    const int32_t mode = viewMode();
    const bool stanceView = mode == ProcedureStanceView;
    const bool replayView = mode == ProcedureReplayView;
    if (driving_->handleCommand(id) || target_->handleCommand(id)) return true;
    switch (id) {
        case CmdStanceTest:
            stanceTest();
            return true;
        case CmdContinueStance:
            stance_->continueTest();
            return true;
        case CmdRealSimulation:
            replay_.enter();
            return true;
        case CmdCheck:
            check();
            return true;
        case StanceStartButton:
            if (!stanceView) return false;
            if (stance_->start()) frame_.view()->setFocus(Qt::OtherFocusReason);
            return true;
        case StanceExitButton:
            if (!stanceView) return false;
            stance_->exit();
            return true;
        case StanceCenterButton:
            if (!stanceView) return false;
            stance_->center();
            return true;
        case ReplayCopButton:
            if (!stanceView && !replayView) return false;
            copPicture(CopPictureOne);
            return true;
        case ReplayCopAllButton:
            if (!replayView) return false;
            copPicture(CopPictureAll);
            return true;
        default:
            if (replayView && replay_.button(id)) return true;
            return false;
    }
}

void StanceController::stanceTest() {
    int32_t seconds = state_.settings.test.stanceTime;
    CStanceDlg dialog(seconds, port_, &frame_);
    if (port_.runDialog(dialog) != QDialog::Accepted) return;
    state_.settings.test.stanceTime = seconds;
    stance_->newTest();
}

void StanceController::check() {
    // A probe: is a platform there, and how many load cells has it? The control outlives the
    // arming, as the dispatcher keeps pointing at the last one it was given.
    checkProbe_.mode.store(AcquisitionSensorSums, std::memory_order_relaxed);
    if (!link_->arm(checkProbe_)) {
        message(MessageCommunicationError);
        return;
    }
    link_->stopLink();
    PlatformCalibration& calibration = state_.settings.calibration;
    if (dispatcher_.fourSensor() != 0) {
        CCheckDlg dialog(*link_, calibration, port_, &frame_);
        port_.runDialog(dialog);
    } else {
        CCheckDlg3 dialog(*link_, calibration, port_, &frame_);
        port_.runDialog(dialog);
    }
}

void StanceController::onViewTimer(int32_t id) {
    const int32_t mode = viewMode();
    if (countDownCopPicture(display_, frame_.view()->printJobActive())) {
        // The picture is only on screen while the stance or replay view shows the COP plane;
        // in any other view its rectangle belongs to something else and must not be wiped.
        if (mode == ProcedureStanceView || mode == ProcedureReplayView)
            frame_.view()->drawIncrement([this](Surface& s) {
                removeCopPicture(context(), s, panel::CopPlane, display_.traceLength);
            });
        else
            display_.copPictureKind = CopPictureNone;
    }
    if (id == TimerTest) {
        const int32_t recorded = stance_->recordedSamples();
        if (mode == ProcedureStanceView)
            frame_.view()->drawIncrement(
                [this, recorded](Surface& s) { stanceTick(context(), s, stancePanels(), recorded); });
        else
            display_.shownSamples = recorded;
        if (stance_->afterTick()) lastCompleted_ = state_.store.attemptCount - 1;
    } else if (id == TimerReplay && mode == ProcedureReplayView) {
        if (display_.replayStep != 0)
            frame_.view()->drawIncrement([this](Surface& s) {
                replayStep(context(), s, panel::CopPlane, panel::TimeGraph);
            });
    }
    refreshStatus();
}

void StanceController::refreshStatus() {
    // An attempt completed in an earlier run of the test is not news to the next one.
    if (!stance_->live()) lastCompleted_ = -1;
    const int32_t mode = viewMode();
    TestProgress progress;
    if (mode == ProcedureStanceView)
        progress = stanceProgress();
    else if (mode == ProcedureDrivingView)
        progress = driving_->progress();
    else if (mode == ProcedureTargetView)
        progress = target_->progress();
    progress.legend = mode == ProcedureStanceView || mode == ProcedureReplayView;
    frame_.testStatus().show(progress);
}

TestProgress StanceController::stanceProgress() {
    TestProgress p;
    if (!stance_->live()) return p;
    const int32_t recording = stance_->recordingAttempt();
    if (recording >= 0) {
        lastCompleted_ = -1;
        p.phase = TestProgress::Phase::Recording;
        p.attempt = recording;
        // From the samples the platform has delivered, so it cannot run ahead of the recording.
        p.samplesLeft = stance_->samplesLeft();
        return p;
    }
    // A note (a countdown to the next attempt) outranks the news of the last one.
    if (waitingNote_) p.note = waitingNote_();
    if (lastCompleted_ >= 0 && p.note.isEmpty()) {
        p.phase = TestProgress::Phase::Recorded;
        p.attempt = lastCompleted_;
    } else {
        p.phase = TestProgress::Phase::Waiting;
    }
    return p;
}

void StanceController::shutdown() {
    if (stance_->live()) stance_->stop();
    driving_->shutdown();
    target_->shutdown();
    replayTimer_.stop();
}

void StanceController::copPicture(CopPictureKind kind) {
    frame_.view()->drawIncrement(
        [this, kind](Surface& s) { showCopPicture(context(), s, panel::CopPlane, kind); });
}

void StanceController::onComboChanged(int id) {
    if (id != BarAttemptCombo || viewMode() != ProcedureReplayView) return;
    replay_.selectAttempt(frame_.barComboSelection(id));
}

StanceContext StanceController::context() {
    StanceContext c{state_.settings.graph, state_.store, display_};
    c.recordingAttempt = stance_->recordingAttempt();
    c.overload = dispatcher_.overload() != 0;
    const QSize size = frame_.view()->layoutSize();
    c.client = Rect{0, 0, size.width(), size.height()};
    c.clinical = &state_.clinical;
    return c;
}

void StanceController::render(Surface& surface, const ViewContext& c) {
    SurfaceState keep(surface);
    surface.fillSolid(c.area, colour::White);
    // The stance and replay views head their panels with the subject and the attempt number.
    if (state_.store.dataPresent)
        drawHeaderBand(surface, panel::HeaderUpper, panel::HeaderLower,
                       {&state_.store.subject, HeaderContent::Attempt, display_.selectedAttempt, nullptr, false});
    repaintStanceView(context(), surface, stancePanels(), c.mode == ViewMode::RealSimulation);
}

// ProcedurePort

void StanceController::startTimer(int32_t id, int32_t periodMs) {
    viewTimer(id).start(id == TimerDriving ? DrivingTickMs : periodMs);
}

void StanceController::stopTimer(int32_t id) { viewTimer(id).stop(); }

void StanceController::switchBar(int32_t templateId) {
    frame_.applyBarSetup(templateId == ReplayBarTemplate ? CmdRealSimulation : CmdContinueStance);
}

}  // namespace kenvo
