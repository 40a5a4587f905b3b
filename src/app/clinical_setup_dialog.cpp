#include "clinical_setup_dialog.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QVBoxLayout>

namespace kenvo {

ClinicalSetupDialog::ClinicalSetupDialog(const ClinicalViewOptions& options, QWidget* parent)
    : QDialog(parent),
      lowPass_(new QCheckBox(QStringLiteral("&Low-pass filter the attempts"), this)),
      cutoff_(new QDoubleSpinBox(this)),
      ellipse_(new QCheckBox(QStringLiteral("Draw the 95 % &ellipse in the COP pictures"), this)) {
    setObjectName(QStringLiteral("clinicalSetupDialog"));
    setWindowTitle(QStringLiteral("Clinical measures setup"));
    cutoff_->setRange(MinLowPassHz, MaxLowPassHz);
    cutoff_->setDecimals(1);
    cutoff_->setSingleStep(0.5);
    cutoff_->setSuffix(QStringLiteral(" Hz"));
    lowPass_->setChecked(options.lowPassOn);
    cutoff_->setValue(options.lowPassHz);
    cutoff_->setEnabled(options.lowPassOn);
    ellipse_->setChecked(options.drawEllipse);
    connect(lowPass_, &QCheckBox::toggled, cutoff_, &QWidget::setEnabled);

    auto* form = new QFormLayout;
    form->addRow(lowPass_);
    form->addRow(QStringLiteral("&Cut-off:"), cutoff_);
    form->addRow(ellipse_);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttons);
}

ClinicalViewOptions ClinicalSetupDialog::options() const {
    return ClinicalViewOptions{lowPass_->isChecked(), cutoff_->value(), ellipse_->isChecked()};
}

}  // namespace kenvo
