#include "check_dialog.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "procedures/procedure_port.h"
#include "operator_port.h"
#include "platform/platform_link.h"

namespace kenvo {

namespace {
constexpr int FieldChars = 6;
}

CCheckDlg::CCheckDlg(PlatformLink& link, PlatformCalibration& calibration, OperatorPort& port,
                     QWidget* parent)
    : CCheckDlg(link, calibration, port, true, parent) {}

CCheckDlg::CCheckDlg(PlatformLink& link, PlatformCalibration& calibration, OperatorPort& port,
                     bool fourSensor, QWidget* parent)
    : QDialog(parent),
      port_(port),
      session_(std::make_unique<SensorCheckSession>(link, calibration, fourSensor)) {
    setWindowTitle("Actual sensor reading");
    setObjectName(fourSensor ? "CCheckDlg" : "CCheckDlg3");
    build();
    if (!session_->open()) {
        // The dialog stays open without readings, so the operator sees what is wrong; with no
        // readings there is nothing to zero.
        port_.message(MessageCommunicationError);
        zero_->setEnabled(false);
    }
    connect(&timer_, &QTimer::timeout, this, &CCheckDlg::onTimer);
    timer_.start(SensorCheckSession::RefreshMs);
}

CCheckDlg::~CCheckDlg() = default;

void CCheckDlg::build() {
    auto* grid = new QGridLayout;
    auto addField = [this, grid](int id, int row, int column) {
        auto* edit = new QLineEdit(this);
        edit->setObjectName(QString::number(id));
        edit->setReadOnly(true);
        edit->setMaxLength(FieldChars);
        edit->setAlignment(Qt::AlignRight);
        edit->setMinimumWidth(70);
        fields_.insert(id, edit);
        grid->addWidget(edit, row, column);
    };
    auto addSensor = [&](const char* label, int countId, int percentId, int row, int column) {
        auto* title = new QLabel(label, this);
        title->setAlignment(Qt::AlignCenter);
        grid->addWidget(title, row, column, 1, 2);
        grid->addWidget(new QLabel("#", this), row + 1, column, Qt::AlignCenter);
        grid->addWidget(new QLabel("%", this), row + 1, column + 1, Qt::AlignCenter);
        addField(countId, row + 2, column);
        addField(percentId, row + 2, column + 1);
    };
    const bool four = session_->fourSensor();
    addSensor("FRONT LEFT", FrontLeftCount, FrontLeftPercent, 0, 0);
    addSensor("FRONT RIGHT", FrontRightCount, FrontRightPercent, 0, 3);
    if (four) {
        addSensor("REAR LEFT", RearLeftCount, RearLeftPercent, 7, 0);
        addSensor("REAR RIGHT", RearRightCount, RearRightPercent, 7, 3);
    } else {
        // The single rear sensor sits centrally below the two front ones.
        addSensor("REAR LEFT", RearLeftCount, RearLeftPercent, 7, 1);
    }
    grid->setColumnMinimumWidth(2, 30);

    auto* sums = new QGridLayout;
    const struct {
        const char* label;
        int id;
    } totals[] = {{"SUM", Sum}, {"X (mm)", CopX}, {"Y (mm)", CopY}};
    int column = 0;
    for (const auto& t : totals) {
        sums->addWidget(new QLabel(t.label, this), 0, column, Qt::AlignCenter);
        auto* edit = new QLineEdit(this);
        edit->setObjectName(QString::number(t.id));
        edit->setReadOnly(true);
        edit->setMaxLength(FieldChars);
        edit->setAlignment(Qt::AlignRight);
        fields_.insert(t.id, edit);
        sums->addWidget(edit, 1, column++);
    }

    zero_ = new QPushButton("Zero", this);
    zero_->setObjectName(QString::number(ZeroButton));
    zeroEnd_ = new QPushButton("ZeroEnd", this);
    zeroEnd_->setObjectName(QString::number(ZeroEndButton));
    zeroEnd_->hide();
    connect(zero_, &QPushButton::clicked, this, &CCheckDlg::onZero);
    connect(zeroEnd_, &QPushButton::clicked, this, &CCheckDlg::onZeroEnd);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->addButton(zero_, QDialogButtonBox::ActionRole);
    ok_ = buttons->button(QDialogButtonBox::Ok);
    connect(buttons, &QDialogButtonBox::accepted, this, &CCheckDlg::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &CCheckDlg::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addSpacing(12);
    layout->addLayout(sums);
    layout->addSpacing(12);
    layout->addWidget(zeroEnd_);
    layout->addWidget(buttons);
}

void CCheckDlg::onTimer() {
    switch (session_->refresh()) {
        case SensorCheckSession::Refresh::Reading:
            showReading(session_->reading());
            break;
        case SensorCheckSession::Refresh::ZeroEnded:
            onZeroEnd();
            break;
        case SensorCheckSession::Refresh::Lost:
            timer_.stop();
            port_.message(MessagePlatformLost);
            reject();
            break;
        case SensorCheckSession::Refresh::Zeroing:
        case SensorCheckSession::Refresh::Idle:
            break;
    }
}

void CCheckDlg::showReading(const SensorReading& r) {
    const int counts[4] = {FrontLeftCount, FrontRightCount, RearLeftCount, RearRightCount};
    const int percents[4] = {FrontLeftPercent, FrontRightPercent, RearLeftPercent, RearRightPercent};
    const int sensors = session_->fourSensor() ? 4 : 3;
    for (int k = 0; k < sensors; ++k) {
        fields_[counts[k]]->setText(QString::number(r.mean[k]));
        fields_[percents[k]]->setText(QString::fromStdString(formatPercent(r.percent[k])));
    }
    fields_[Sum]->setText(QString::number(r.sum));
    fields_[CopX]->setText(QString::fromStdString(formatCopMm(r.xMm)));
    fields_[CopY]->setText(QString::fromStdString(formatCopMm(r.yMm)));
}

void CCheckDlg::onZero() {
    session_->zero();
    // The disabled Zero button would hand the focus, and with it Enter, to Cancel, which
    // throws the new zero away: Enter keeps it instead.
    ok_->setDefault(true);
    ok_->setFocus();
    zero_->setEnabled(false);
}

void CCheckDlg::onZeroEnd() {
    zero_->setEnabled(true);
    session_->zeroEnd();
    if (acceptWhenZeroed_) accept();
}

void CCheckDlg::accept() {
    // OK while the zero is being measured keeps that zero: the dialog closes when it is in.
    if (session_->zeroing()) {
        acceptWhenZeroed_ = true;
        return;
    }
    timer_.stop();
    session_->accept();
    QDialog::accept();
}

void CCheckDlg::reject() {
    timer_.stop();
    session_->cancel();
    QDialog::reject();
}

CCheckDlg3::CCheckDlg3(PlatformLink& link, PlatformCalibration& calibration, OperatorPort& port,
                       QWidget* parent)
    : CCheckDlg(link, calibration, port, false, parent) {}

}  // namespace kenvo
