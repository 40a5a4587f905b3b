#include "sensory_controller.h"

#include <QDialog>
#include <QDockWidget>
#include <QPushButton>
#include <QScreen>
#include <QSettings>
#include <QShortcut>
#include <QStatusBar>

#include "app_state.h"
#include "command_ids.h"
#include "files/sidecar.h"
#include "kenvo_plat_view.h"
#include "main_frame.h"
#include "operator_port.h"
#include "platform/cop_source.h"
#include "sensory_guide.h"
#include "sensory_setup_dialog.h"
#include "stance_controller.h"

namespace kenvo {

namespace {
constexpr int GuideTickMs = 100;
constexpr qint64 CountdownMs = SensoryCountdownSeconds * 1000;
}  // namespace

SensoryController::SensoryController(AppState& state, CMainFrame& frame, OperatorPort& port,
                                     QSettings& profile, StanceController& stance,
                                     std::shared_ptr<SteerableSource> subject)
    : state_(state),
      frame_(frame),
      port_(port),
      profile_(profile),
      stance_(stance),
      subject_(std::move(subject)),
      dock_(new QDockWidget("Sensory balance test", &frame)),
      guide_(new SensoryGuide(dock_)),
      enter_(new QShortcut(QKeySequence(Qt::Key_Return), &frame)),
      keypadEnter_(new QShortcut(QKeySequence(Qt::Key_Enter), &frame)) {
    // The clinic's usual plan; the guide holds it within the limits whatever the profile says.
    plan_ = SensoryProtocol({profile_.value("Sensory/trials", DefaultSensoryTrials).toInt(),
                             profile_.value("Sensory/seconds", DefaultSensoryTrialSeconds).toInt()})
                .plan();
    dock_->setObjectName("sensoryGuideDock");
    // Closing the guide would leave the test without its buttons; Stop ends it instead.
    dock_->setFeatures(QDockWidget::DockWidgetMovable | QDockWidget::DockWidgetFloatable);
    dock_->setWidget(guide_);
    frame.addDockWidget(Qt::RightDockWidgetArea, dock_);
    dock_->hide();
    for (QShortcut* key : {enter_, keypadEnter_}) {
        key->setEnabled(false);
        connect(key, &QShortcut::activated, this, &SensoryController::start);
    }
    connect(guide_, &SensoryGuide::startClicked, this, &SensoryController::start);
    connect(guide_, &SensoryGuide::repeatClicked, this, &SensoryController::repeat);
    connect(guide_, &SensoryGuide::skipClicked, this, &SensoryController::skip);
    connect(guide_, &SensoryGuide::stopClicked, this, &SensoryController::stop);
    connect(&tick_, &QTimer::timeout, this, &SensoryController::onTick);
    stance_.setAttemptCompleted([this](int32_t attempt) { onAttemptCompleted(attempt); });
    // The status bar counts down with the guide instead of asking for Start.
    stance_.setWaitingNote([this] {
        if (!active_ || !protocol_ || protocol_->step() != SensoryStep::Countdown) return QString();
        return QStringLiteral("Recording starts in %1 s").arg(countdownText());
    });
}

SensoryController::~SensoryController() {
    stance_.setAttemptCompleted({});
    stance_.setWaitingNote({});
}

bool SensoryController::handleCommand(int id) {
    if (id == CmdSensoryTest) {
        begin();
        return true;
    }
    if (!active_) return false;
    if (id == StanceStartButton) {
        start();
        return true;
    }
    if (id == StanceExitButton) {
        stop();
        return true;
    }
    return false;
}

void SensoryController::begin() {
    SensoryPlan plan = plan_;
    SensorySetupDialog setup(plan, &frame_);
    if (port_.runDialog(setup) != QDialog::Accepted) return;
    plan_ = plan;
    profile_.setValue("Sensory/trials", plan_.trialsPerCondition);
    profile_.setValue("Sensory/seconds", plan_.trialSeconds);
    // The stance test's own start: unsaved data offered for saving, a new stance data set
    // whose attempts last one trial, the platform armed and the live view shown.
    if (!stance_.stance().newTest(plan_.trialSeconds)) return;
    state_.sensory.clear();
    protocol_.emplace(plan_);
    active_ = true;
    hideBarStart();
    showGuide();
    for (QShortcut* key : {enter_, keypadEnter_}) key->setEnabled(true);
    tick_.start(GuideTickMs);
    refresh();
}

void SensoryController::start() {
    if (!active_) return;
    if (protocol_->step() == SensoryStep::Finished) {
        end(true);
        return;
    }
    if (!protocol_->start()) return;
    // The simulated subject settles into the trial's sway during the countdown.
    subject_->setCondition(protocol_->trial().condition);
    countdown_.start();
    refresh();
}

void SensoryController::repeat() {
    if (!active_) return;
    const bool recording = protocol_->step() == SensoryStep::Recording;
    if (!protocol_->repeat()) return;
    if (recording) stance_.stance().abandonAttempt();
    keepDiscardedMarks();
    writeRecoverySidecar();
    hideBarStart();
    refresh();
}

void SensoryController::skip() {
    if (!active_) return;
    const bool recording = protocol_->step() == SensoryStep::Recording;
    if (!protocol_->skip()) return;
    if (recording) stance_.stance().abandonAttempt();
    if (protocol_->step() == SensoryStep::Finished) subject_->setCondition(std::nullopt);
    hideBarStart();
    refresh();
}

void SensoryController::stop() {
    if (!active_) return;
    protocol_->stop();
    end(true);
}

void SensoryController::shutdown() {
    if (active_) end(false);
}

void SensoryController::onTick() {
    if (!active_) return;
    // The stance test ended on its own (the platform was unplugged): it has saved what it had.
    if (!stance_.stance().live()) {
        protocol_->stop();
        end(false);
        return;
    }
    if (protocol_->step() == SensoryStep::Countdown && countdown_.elapsed() >= CountdownMs) {
        protocol_->countdownDone();
        if (!stance_.stance().start()) {
            // The data set is full; the stance test has said so. What was recorded stays.
            protocol_->stop();
        }
        hideBarStart();
    }
    refresh();
}

void SensoryController::onAttemptCompleted(int32_t attempt) {
    if (!active_ || !protocol_->attemptRecorded(attempt)) return;
    state_.sensory.setCondition(state_.store, attempt,
                                protocol_->attempts().back().trial.condition);
    writeRecoverySidecar();
    hideBarStart();
    if (protocol_->step() == SensoryStep::Finished) subject_->setCondition(std::nullopt);
    refresh();
}

void SensoryController::end(bool exitTest) {
    active_ = false;
    tick_.stop();
    for (QShortcut* key : {enter_, keypadEnter_}) key->setEnabled(false);
    subject_->setCondition(std::nullopt);
    hideGuide();
    // The stance test's Exit: the link stops, Save is offered, the view is blanked.
    if (exitTest && stance_.stance().live()) stance_.stance().exit();
}

void SensoryController::showGuide() {
    // The stance view's panels have a fixed size: the window grows by the guide's width so
    // they stay whole, as far as the screen allows (else the guide can be floated).
    widthAdded_ = 0;
    if (!frame_.isMaximized() && !frame_.isFullScreen() && dock_->isFloating() == false) {
        int wanted = frame_.width() + SensoryGuide::GuideWidth + 12;
        if (const QScreen* screen = frame_.screen())
            wanted = std::min(wanted, screen->availableGeometry().width());
        widthAdded_ = std::max(0, wanted - frame_.width());
        frame_.resize(frame_.width() + widthAdded_, frame_.height());
    }
    dock_->show();
}

void SensoryController::hideGuide() {
    dock_->hide();
    if (widthAdded_ > 0) frame_.resize(frame_.width() - widthAdded_, frame_.height());
    widthAdded_ = 0;
}

void SensoryController::keepDiscardedMarks() {
    for (const RecordedTrial& a : protocol_->attempts())
        state_.sensory.setDiscarded(a.attempt, a.discarded);
}

void SensoryController::writeRecoverySidecar() {
    const std::string& path = stance_.stance().recoveryPath();
    if (path.empty()) return;
    Sidecar details;
    state_.sensory.toSidecar(state_.store, details);
    if (!details.conditions) return;
    std::string error;
    if (!writeSidecar(path, details, error))
        frame_.statusBar()->showMessage(
            QStringLiteral("The conditions could not be kept beside the recovery copy: %1")
                .arg(QString::fromStdString(error)),
            8000);
}

void SensoryController::hideBarStart() {
    // One Start only: the guide's, which counts down first.
    frame_.showBarControl(StanceStartButton, false);
}

QString SensoryController::countdownText() const {
    if (protocol_->step() != SensoryStep::Countdown) return {};
    const qint64 left = std::max<qint64>(0, CountdownMs - countdown_.elapsed());
    return QString::number((left + 999) / 1000);
}

void SensoryController::refresh() {
    if (protocol_) guide_->showStep(*protocol_, countdownText(), stance_.stance().samplesLeft());
}

}  // namespace kenvo
