#include "subject_dialog.h"

#include <QButtonGroup>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QRadioButton>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>

#include "dialog_text.h"
#include "operator_port.h"

namespace kenvo {

CSubjectDlg::CSubjectDlg(SubjectRecord& record, OperatorPort& port, QWidget* parent)
    : QDialog(parent), record_(record), port_(port) {
    setWindowTitle("Subject dialog");
    auto* form = new QFormLayout;
    form->setFieldGrowthPolicy(QFormLayout::AllNonFixedFieldsGrow);
    form->setLabelAlignment(Qt::AlignRight | Qt::AlignVCenter);

    const SubjectForm values = subjectFormFrom(record);
    auto lineEdit = [this](const std::string& text, int width) {
        auto* e = new QLineEdit(fromFileText(text), this);
        e->setMinimumWidth(width);
        return e;
    };
    name_ = lineEdit(values.name, 260);
    form->addRow("&Name", name_);

    female_ = new QRadioButton("&female", this);
    male_ = new QRadioButton("&male", this);
    auto* sexGroup = new QButtonGroup(this);
    sexGroup->addButton(female_, 0);
    sexGroup->addButton(male_, 1);
    (values.sex == 1 ? male_ : female_)->setChecked(true);
    auto* sexRow = new QHBoxLayout;
    sexRow->addWidget(female_);
    sexRow->addWidget(male_);
    sexRow->addStretch();
    form->addRow("Sex", sexRow);

    // Digits only, as the boxes hold whole numbers; the range is checked on OK.
    auto* digits = new QRegularExpressionValidator(QRegularExpression("[0-9]{0,9}"), this);
    height_ = lineEdit(values.height, 60);
    weight_ = lineEdit(values.weight, 60);
    for (QLineEdit* e : {height_, weight_}) {
        e->setValidator(digits);
        e->setMaximumWidth(80);
    }
    form->addRow("&Height", height_);
    form->addRow("&Weight", weight_);

    comment1_ = lineEdit(values.comment1, 260);
    comment2_ = lineEdit(values.comment2, 260);
    comment3_ = lineEdit(values.comment3, 260);
    form->addRow("Comment &1", comment1_);
    form->addRow("Comment &2", comment2_);
    form->addRow("Comment &3", comment3_);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &CSubjectDlg::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &CSubjectDlg::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addSpacing(6);
    layout->addWidget(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

QLineEdit* CSubjectDlg::edit(SubjectField f) const {
    switch (f) {
        case SubjectField::Name:
            return name_;
        case SubjectField::Height:
            return height_;
        case SubjectField::Weight:
            return weight_;
        case SubjectField::Comment1:
            return comment1_;
        case SubjectField::Comment2:
            return comment2_;
        case SubjectField::Comment3:
            return comment3_;
        default:
            return nullptr;
    }
}

QWidget* CSubjectDlg::field(SubjectField f) const {
    if (f == SubjectField::Sex) return male_->isChecked() ? male_ : female_;
    return edit(f);
}

SubjectForm CSubjectDlg::form() const {
    SubjectForm f;
    f.name = toFileText(name_->text());
    f.sex = male_->isChecked() ? 1 : 0;
    f.height = height_->text().toStdString();
    f.weight = weight_->text().toStdString();
    f.comment1 = toFileText(comment1_->text());
    f.comment2 = toFileText(comment2_->text());
    f.comment3 = toFileText(comment3_->text());
    return f;
}

void CSubjectDlg::accept() {
    const SubjectValidation result = validateSubjectForm(form());
    if (!result.ok) {
        port_.message(QString::fromStdString(result.message));
        if (QWidget* w = field(result.focus)) {
            w->setFocus(Qt::OtherFocusReason);
            if (auto* e = qobject_cast<QLineEdit*>(w)) e->selectAll();
        }
        return;
    }
    record_ = result.record;
    QDialog::accept();
}

}  // namespace kenvo
