#include "sensory_setup_dialog.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QSpinBox>

namespace kenvo {

SensorySetupDialog::SensorySetupDialog(SensoryPlan& plan, QWidget* parent)
    : QDialog(parent), plan_(plan), trials_(new QSpinBox(this)), seconds_(new QSpinBox(this)) {
    setWindowTitle("Sensory balance test");
    trials_->setObjectName("sensoryTrials");
    trials_->setRange(MinSensoryTrials, MaxSensoryTrials);
    trials_->setValue(plan.trialsPerCondition);
    seconds_->setObjectName("sensorySeconds");
    seconds_->setRange(MinSensoryTrialSeconds, MaxSensoryTrialSeconds);
    seconds_->setValue(plan.trialSeconds);
    seconds_->setSuffix(" s");
    auto* form = new QFormLayout(this);
    auto* about = new QLabel(
        "Four conditions in this order: eyes open and eyes closed on the firm plate, then eyes "
        "open and eyes closed on the foam pad. The guide tells you what to do before each "
        "trial.",
        this);
    about->setWordWrap(true);
    form->addRow(about);
    form->addRow("Trials per condition", trials_);
    form->addRow("Duration of a trial", seconds_);
    auto* note = new QLabel(QStringLiteral("The reference values were measured in trials of %1 s.")
                                .arg(DefaultSensoryTrialSeconds),
                            this);
    note->setWordWrap(true);
    form->addRow(note);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    form->addRow(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &SensorySetupDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &SensorySetupDialog::reject);
    setMinimumWidth(360);
}

void SensorySetupDialog::accept() {
    plan_.trialsPerCondition = trials_->value();
    plan_.trialSeconds = seconds_->value();
    QDialog::accept();
}

}  // namespace kenvo
