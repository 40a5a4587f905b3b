#include "stance_dialog.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>

#include "model/subject_validation.h"
#include "operator_port.h"

namespace kenvo {

CStanceDlg::CStanceDlg(int32_t& stanceTime, OperatorPort& port, QWidget* parent)
    : QDialog(parent), stanceTime_(stanceTime), port_(port), edit_(new QLineEdit(this)) {
    setWindowTitle("Stance test");
    edit_->setObjectName("stanceTime");
    edit_->setText(QString::number(stanceTime));
    edit_->setAlignment(Qt::AlignRight);
    auto* form = new QFormLayout(this);
    form->addRow("Saving Time (s)", edit_);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    form->addRow(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &CStanceDlg::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &CStanceDlg::reject);
}

void CStanceDlg::accept() {
    int32_t value = 0;
    std::string failure;
    if (!parseIntegerBox(edit_->text().toStdString(), value))
        failure = integerMessage();
    else if (value < 0 || value > MaxSeconds)
        failure = integerRangeMessage(0, MaxSeconds);
    if (!failure.empty()) {
        port_.message(QString::fromStdString(failure));
        edit_->setFocus(Qt::OtherFocusReason);
        edit_->selectAll();
        return;
    }
    stanceTime_ = value;
    QDialog::accept();
}

}  // namespace kenvo
