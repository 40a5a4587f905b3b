#include "driving_dialogs.h"

#include <QButtonGroup>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QVBoxLayout>
#include <cstdio>

#include "model/subject_validation.h"
#include "operator_port.h"

namespace kenvo {

namespace {

QLineEdit* numberEdit(QWidget* parent, const QString& name, const QString& text) {
    auto* edit = new QLineEdit(text, parent);
    edit->setObjectName(name);
    edit->setAlignment(Qt::AlignRight);
    return edit;
}

// Reads an integer edit within min..max; on a bad value tells the operator and selects it.
bool readInteger(QLineEdit* edit, int32_t min, int32_t max, int32_t& value, OperatorPort& port) {
    std::string failure;
    if (!parseIntegerBox(edit->text().toStdString(), value))
        failure = integerMessage();
    else if (value < min || value > max)
        failure = integerRangeMessage(min, max);
    if (failure.empty()) return true;
    port.message(QString::fromStdString(failure));
    edit->setFocus(Qt::OtherFocusReason);
    edit->selectAll();
    return false;
}

}  // namespace

CDrivingDlg::CDrivingDlg(TestSettings& settings, OperatorPort& port, QWidget* parent)
    : QDialog(parent),
      settings_(settings),
      port_(port),
      time_(numberEdit(this, "drivingTime", QString::number(settings.drivingTime))),
      velocity_(numberEdit(this, "drivingVelocity", QString::number(settings.drivingVelocity))) {
    setWindowTitle("Driving Setup");
    auto* layout = new QVBoxLayout(this);
    const char* endTexts[] = {" end with time", "end with button stop"};
    auto* endGroup = new QButtonGroup(this);
    for (int k = 0; k < 2; ++k) {
        end_[static_cast<std::size_t>(k)] = new QRadioButton(endTexts[k], this);
        endGroup->addButton(end_[static_cast<std::size_t>(k)], k);
        layout->addWidget(end_[static_cast<std::size_t>(k)]);
        connect(end_[static_cast<std::size_t>(k)], &QRadioButton::clicked, this, &CDrivingDlg::updateTimeEdit);
    }
    end_[settings.drivingEndMode == 1 ? 1 : 0]->setChecked(true);
    auto* form = new QFormLayout;
    form->addRow("Test time (s)", time_);
    layout->addLayout(form);

    auto* box = new QGroupBox("Driving test - Direction", this);
    auto* boxLayout = new QVBoxLayout(box);
    const char* directionTexts[] = {" UP - DOWN", "DOWN - UP", "LEFT - RIGHT", "RIGHT - LEFT"};
    for (int k = 0; k < 4; ++k) {
        direction_[static_cast<std::size_t>(k)] = new QRadioButton(directionTexts[k], box);
        boxLayout->addWidget(direction_[static_cast<std::size_t>(k)]);
    }
    const int32_t d = settings.drivingDirection;
    direction_[static_cast<std::size_t>(d >= 0 && d < 4 ? d : 0)]->setChecked(true);
    layout->addWidget(box);
    auto* velocityForm = new QFormLayout;
    velocityForm->addRow("Driving velocity", velocity_);
    layout->addLayout(velocityForm);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &CDrivingDlg::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &CDrivingDlg::reject);
    updateTimeEdit();
}

void CDrivingDlg::updateTimeEdit() { time_->setEnabled(!end_[1]->isChecked()); }

void CDrivingDlg::accept() {
    int32_t seconds = settings_.drivingTime, velocity = 0;
    if (time_->isEnabled() && !readInteger(time_, 0, 300, seconds, port_)) return;
    if (!readInteger(velocity_, 0, 10, velocity, port_)) return;
    settings_.drivingEndMode = end_[1]->isChecked() ? 1 : 0;
    settings_.drivingTime = seconds;
    settings_.drivingVelocity = velocity;
    for (int k = 0; k < 4; ++k)
        if (direction_[static_cast<std::size_t>(k)]->isChecked()) settings_.drivingDirection = k;
    QDialog::accept();
}

namespace {
struct ParameterRow {
    const char* label;
    int32_t TrackParameters::*field;
    int32_t min, max;
};
constexpr ParameterRow ParameterRows[7] = {
    {"alfa", &TrackParameters::alfa, 1, 89},   {"a", &TrackParameters::a, 10, 1000},
    {"b", &TrackParameters::b, 10, 500},       {"v", &TrackParameters::v, 1, 20},
    {"rnd rozsah", &TrackParameters::rnd, 1, 1000}, {"otocka", &TrackParameters::otocka, 0, 100},
    {"klzak", &TrackParameters::klzak, 1, 50},
};
}  // namespace

CPerf_DriveDlg::CPerf_DriveDlg(TrackParameters& parameters, float& filterFrequency,
                               OperatorPort& port, QWidget* parent)
    : QDialog(parent), parameters_(parameters), filterFrequency_(filterFrequency), port_(port) {
    setWindowTitle("Perform dialog");
    auto* form = new QFormLayout(this);
    for (std::size_t k = 0; k < edits_.size(); ++k) {
        const ParameterRow& row = ParameterRows[k];
        edits_[k] = numberEdit(this, row.label, QString::number(parameters.*row.field));
        if (row.field == &TrackParameters::klzak) {
            auto* line = new QHBoxLayout;
            line->addWidget(edits_[k]);
            line->addWidget(new QLabel("2x", this));
            form->addRow(row.label, line);
        } else {
            form->addRow(row.label, edits_[k]);
        }
    }
    char text[64];
    std::snprintf(text, sizeof text, "%.1f", static_cast<double>(filterFrequency));
    filter_ = numberEdit(this, "filterFrequency", QString::fromLatin1(text));
    form->addRow("Filter frequnecy analysis", filter_);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    form->addRow(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &CPerf_DriveDlg::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &CPerf_DriveDlg::reject);
}

void CPerf_DriveDlg::accept() {
    TrackParameters read = parameters_;
    for (std::size_t k = 0; k < edits_.size(); ++k) {
        const ParameterRow& row = ParameterRows[k];
        if (!readInteger(edits_[k], row.min, row.max, read.*row.field, port_)) return;
    }
    float frequency = 0.0f;
    const QByteArray text = filter_->text().toLatin1();
    if (std::sscanf(text.constData(), "%f", &frequency) != 1) {
        port_.message("Please enter a number.");
        filter_->setFocus(Qt::OtherFocusReason);
        filter_->selectAll();
        return;
    }
    parameters_ = read;
    filterFrequency_ = frequency;
    QDialog::accept();
}

}  // namespace kenvo
