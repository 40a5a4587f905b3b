#include "driving_controller.h"

#include "app_state.h"
#include "command_ids.h"
#include "driving_dialogs.h"
#include "evaluation_controller.h"
#include "graphs/driving_display.h"
#include "main_frame.h"
#include "operator_port.h"
#include "platform/dispatcher.h"
#include "platform/platform_link.h"
#include "test_status.h"

namespace kenvo {

DrivingController::DrivingController(AppState& state, CMainFrame& frame, PlatformLink& link,
                                     Dispatcher& dispatcher, OperatorPort& port,
                                     DisplayState& display, QTimer& timer)
    : WindowProcedurePort(frame, port, link),
      state_(state),
      dispatcher_(dispatcher),
      display_(display),
      timer_(timer),
      procedure_(std::make_unique<DrivingProcedure>(state.store, state.settings, link, dispatcher,
                                                    display, driving_, *this)) {
    connect(&timer_, &QTimer::timeout, this, &DrivingController::onTimer);
    // The driving view is drawn here; every other mode as the view drew it before.
    frame_.view()->setRenderer([this, before = frame_.view()->renderer()](Surface& s, const ViewContext& c) {
        if (c.mode != ViewMode::DrivingTest) {
            before(s, c);
            return;
        }
        renderBlankView(s, c);
        drawSquare(s);
    });
}

DrivingController::~DrivingController() = default;

void DrivingController::setLink(PlatformLink& link) {
    const TrackParameters kept = procedure_->trackParameters();
    link_ = &link;
    procedure_.reset();
    procedure_ = std::make_unique<DrivingProcedure>(state_.store, state_.settings, link, dispatcher_,
                                                    display_, driving_, *this);
    procedure_->trackParameters() = kept;
    procedure_->setRecoveryPath(recoveryPath_);
}

void DrivingController::setRecoveryPath(const std::string& path) {
    recoveryPath_ = path;
    procedure_->setRecoveryPath(path);
}

bool DrivingController::drivingView() const { return frame_.view()->mode() == ViewMode::DrivingTest; }

Rect DrivingController::client() const {
    const QSize size = frame_.view()->size();
    return Rect{0, 0, size.width(), size.height()};
}

bool DrivingController::handleCommand(int id) {
    switch (id) {
        case CmdDrivingTest:
            drivingTest();
            return true;
        case CmdContinueDriving:
            procedure_->continueTest(client());
            return true;
        case CmdPerformDialog:
            performDialog();
            return true;
        case DrivingStartButton:
            if (!drivingView()) return false;
            procedure_->relayout(client());
            if (procedure_->start()) frame_.view()->setFocus(Qt::OtherFocusReason);
            return true;
        case DrivingStopButton:
            if (!drivingView()) return false;
            stop();
            return true;
        case DrivingExitButton:
            if (!drivingView()) return false;
            procedure_->exit();
            return true;
        case DrivingCenterButton:
            if (!drivingView()) return false;
            procedure_->center();
            return true;
        default:
            return false;
    }
}

void DrivingController::drivingTest() {
    // As the target test: unsaved data are offered for saving before the set-up dialog.
    if (!offerSave()) return;
    state_.store.dataSaved = 1;
    TestSettings edited = state_.settings.test;
    CDrivingDlg dialog(edited, port_, &frame_);
    if (port_.runDialog(dialog) != QDialog::Accepted) return;
    state_.settings.test = edited;
    procedure_->newTest(client());
}

void DrivingController::stop() {
    const int32_t attempt = procedure_->stop();
    if (attempt < 0) return;
    // The test has ended into its summary, so the news passes through the message area.
    frame_.testStatus().announce(attemptRecordedText(attempt));
    frame_.evaluation().showDrivingSummary(attempt);
}

TestProgress DrivingController::progress() {
    TestProgress p;
    if (!procedure_->live()) return p;
    p.phase = TestProgress::Phase::Waiting;
    if (!procedure_->attemptUnderWay()) return p;
    p.attempt = state_.store.attemptCount;
    const AcquisitionControl& control = procedure_->control();
    if (control.recording.load(std::memory_order_acquire) == 0) {
        p.note = QStringLiteral("Recording starts once the track fills the square");
        return p;
    }
    p.phase = TestProgress::Phase::Recording;
    // A test ended by the Stop button has no set length, so no time left either.
    const int32_t length = control.length.load(std::memory_order_relaxed);
    if (length > 0) p.samplesLeft = length - control.sampleCount.load(std::memory_order_acquire);
    return p;
}

void DrivingController::performDialog() {
    TrackParameters edited = procedure_->trackParameters();
    float frequency = state_.settings.filterFrequency;
    CPerf_DriveDlg dialog(edited, frequency, port_, &frame_);
    if (port_.runDialog(dialog) != QDialog::Accepted) return;
    procedure_->trackParameters() = edited;
    state_.settings.filterFrequency = frequency;
    procedure_->regenerate();
}

void DrivingController::onTimer() {
    if (drivingView()) procedure_->relayout(client());
    // Stop is posted, so the summary list comes after this tick has finished.
    if (procedure_->tick()) QMetaObject::invokeMethod(this, [this] { if (procedure_->live()) stop(); }, Qt::QueuedConnection);
}

void DrivingController::shutdown() {
    if (procedure_->live()) procedure_->halt();
}

void DrivingController::drawSquare(Surface& s) {
    const DrivingFrame f = drivingFrame(state_.store, procedure_->control(), dispatcher_.overload() != 0);
    drawDrivingDisplay(s, procedure_->square(), driving_, f);
}

// ProcedurePort

void DrivingController::startTimer(int32_t id, int32_t periodMs) {
    if (id == TimerDriving) timer_.start(periodMs);
}

void DrivingController::stopTimer(int32_t id) {
    if (id == TimerDriving) timer_.stop();
}

void DrivingController::switchBar(int32_t) { frame_.applyBarSetup(CmdContinueDriving); }

void DrivingController::redrawDriving() {
    // The marker and the track's wide pen reach past the square, over the view around it, so
    // the whole view is drawn again into the backing image and copied to the screen in one
    // block: nothing of an earlier marker stays behind, and nothing flickers.
    if (drivingView()) frame_.view()->redraw();
}

}  // namespace kenvo
