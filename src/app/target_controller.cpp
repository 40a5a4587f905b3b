#include "target_controller.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>
#include <cstdlib>

#include "app_state.h"
#include "command_ids.h"
#include "evaluation_controller.h"
#include "main_frame.h"
#include "procedures/stance_procedure.h"
#include "model/subject_validation.h"
#include "operator_port.h"
#include "platform/platform_link.h"

namespace kenvo {

namespace {
struct SetupRow {
    const char* label;
    int32_t TestSettings::*field;
    int32_t min, max;
};
constexpr SetupRow SetupRows[3] = {
    {"Number of stimuli to follow:", &TestSettings::stimuliCount, 1, 500},
    {"Object size:", &TestSettings::objectSize, 10, 200},
    {"Target size:", &TestSettings::targetSize, 10, 300},
};
}  // namespace

CTargetDlg::CTargetDlg(TestSettings& settings, OperatorPort& port, QWidget* parent)
    : QDialog(parent), settings_(settings), port_(port) {
    setWindowTitle("Target Hiting Setup");
    auto* form = new QFormLayout(this);
    for (std::size_t k = 0; k < edits_.size(); ++k) {
        edits_[k] = new QLineEdit(QString::number(settings.*SetupRows[k].field), this);
        edits_[k]->setAlignment(Qt::AlignRight);
        form->addRow(SetupRows[k].label, edits_[k]);
    }
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    form->addRow(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &CTargetDlg::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &CTargetDlg::reject);
}

void CTargetDlg::accept() {
    TestSettings read = settings_;
    for (std::size_t k = 0; k < edits_.size(); ++k) {
        const SetupRow& row = SetupRows[k];
        int32_t value = 0;
        std::string failure;
        if (!parseIntegerBox(edits_[k]->text().toStdString(), value))
            failure = integerMessage();
        else if (value < row.min || value > row.max)
            failure = integerRangeMessage(row.min, row.max);
        if (!failure.empty()) {
            port_.message(QString::fromStdString(failure));
            edits_[k]->setFocus(Qt::OtherFocusReason);
            edits_[k]->selectAll();
            return;
        }
        read.*row.field = value;
    }
    settings_ = read;
    QDialog::accept();
}

TargetController::TargetController(AppState& state, CMainFrame& frame, PlatformLink& link,
                                   OperatorPort& port, DisplayState& display, QTimer& timer)
    : WindowProcedurePort(frame, port, link),
      state_(state),
      display_(display),
      timer_(timer),
      procedure_(std::make_unique<TargetProcedure>(state.store, state.settings, link, display,
                                                   targetState_, *this, relay_, std::rand)) {
    connect(&timer_, &QTimer::timeout, this, &TargetController::onTimer);
    // The target view is drawn here; every other mode as the view drew it before.
    frame_.view()->setRenderer([this, before = frame_.view()->renderer()](Surface& s, const ViewContext& c) {
        if (c.mode == ViewMode::TargetTest) procedure_->paint(s);
        else before(s, c);
    });
}

TargetController::~TargetController() = default;

void TargetController::setLink(PlatformLink& link) {
    link_ = &link;
    procedure_.reset();
    procedure_ = std::make_unique<TargetProcedure>(state_.store, state_.settings, link, display_,
                                                   targetState_, *this, relay_, std::rand);
    procedure_->setRecoveryPath(recoveryPath_);
}

void TargetController::setRecoveryPath(const std::string& path) {
    recoveryPath_ = path;
    procedure_->setRecoveryPath(path);
}

bool TargetController::targetView() const { return frame_.view()->mode() == ViewMode::TargetTest; }

bool TargetController::handleCommand(int id) {
    switch (id) {
        case CmdTargetTest:
            targetTest();
            return true;
        case StanceStartButton:
            if (!targetView()) return false;
            procedure_->relayout(client());
            if (procedure_->start()) frame_.view()->setFocus(Qt::OtherFocusReason);
            return true;
        case StanceExitButton:
            if (!targetView()) return false;
            procedure_->exit();
            return true;
        case StanceCenterButton:
            if (!targetView()) return false;
            procedure_->center();
            return true;
        default:
            return false;
    }
}

void TargetController::targetTest() {
    // Unsaved data are offered for saving before the set-up dialog; a refused or failed save
    // stops here, and after the question the data count as dealt with even if set-up is
    // cancelled.
    if (!offerSave()) return;
    state_.store.dataSaved = 1;
    TestSettings edited = state_.settings.test;
    CTargetDlg dialog(edited, port_, &frame_);
    if (port_.runDialog(dialog) != QDialog::Accepted) return;
    state_.settings.test = edited;
    procedure_->newTest(client());
}

Rect TargetController::client() const {
    const QSize size = frame_.view()->size();
    return Rect{0, 0, size.width(), size.height()};
}

void TargetController::onTimer() {
    if (!procedure_->live() || !targetView()) return;
    procedure_->relayout(client());
    const int32_t before = state_.store.attemptCount;
    frame_.view()->drawIncrement([this](Surface& s) { procedure_->frame(s); });
    // The next target follows at once, so each completed one passes through the message area.
    if (state_.store.attemptCount > before)
        frame_.testStatus().announce(attemptRecordedText(state_.store.attemptCount - 1));
    if (procedure_->afterFrame()) frame_.runCommand(CmdTargetSummary);
}

TestProgress TargetController::progress() {
    TestProgress p;
    if (!procedure_->live() || !procedure_->armed()) return p;
    if (procedure_->control().recording.load(std::memory_order_acquire) == 0) {
        p.phase = TestProgress::Phase::Waiting;
        return p;
    }
    p.phase = TestProgress::Phase::Recording;
    p.attempt = state_.store.attemptCount;
    return p;
}

void TargetController::shutdown() {
    if (procedure_->live()) procedure_->halt();
}

// ProcedurePort

void TargetController::startTimer(int32_t id, int32_t periodMs) {
    if (id == TimerTest) timer_.start(periodMs);
}

void TargetController::stopTimer(int32_t id) {
    if (id == TimerTest) timer_.stop();
}

void TargetController::switchBar(int32_t) { frame_.applyBarSetup(CmdContinueStance); }

}  // namespace kenvo
