#include "subject_form_dialog.h"

#include <QButtonGroup>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>

#include "files/code_page.h"
#include "model/subject_validation.h"
#include "operator_port.h"

namespace kenvo {

namespace {

RegisterFormCheck refuse(RegisterField field, const QString& message) {
    RegisterFormCheck check;
    check.field = field;
    check.message = message;
    return check;
}

// The characters of `text` that Windows-1250 lacks, each once.
QString foreignCharacters(const QString& text) {
    QString foreign;
    for (const QString& ch : text.split(QString(), Qt::SkipEmptyParts)) {
        const std::string utf8 = ch.toStdString();
        if (cp1250ToUtf8(utf8ToCp1250(utf8)) != utf8 && !foreign.contains(ch)) foreign += ch;
    }
    return foreign;
}

// A whole number within [0, max]; an empty box is 0.
bool wholeNumber(const QString& text, int max, int& value) {
    if (text.trimmed().isEmpty()) {
        value = 0;
        return true;
    }
    int32_t parsed = 0;
    if (!parseIntegerBox(text.toStdString(), parsed) || parsed < 0 || parsed > max) return false;
    value = parsed;
    return true;
}

}  // namespace

RegisterFormCheck checkRegisterSubjectForm(const RegisterSubjectForm& form,
                                           const RegisterSubject& base, const QDate& today) {
    RegisterSubject s = base;
    const QString name = form.name.simplified();
    if (name.isEmpty())
        return refuse(RegisterField::Name, QStringLiteral("Enter the subject's name."));
    if (const QString foreign = foreignCharacters(name); !foreign.isEmpty())
        return refuse(RegisterField::Name,
                      QStringLiteral("The measurement files cannot hold these characters of the "
                                     "name: %1")
                          .arg(foreign));
    s.name = name.toStdString();

    const QString code = form.code.trimmed();
    if (code.contains(QLatin1Char('\n')) || code.contains(QLatin1Char('\t')))
        return refuse(RegisterField::Code,
                      QStringLiteral("The patient code must be one line without tabs."));
    s.code = code.toStdString();

    const QString birth = form.birthDate.trimmed();
    if (!birth.isEmpty()) {
        const QDate date = QDate::fromString(birth, QStringLiteral("yyyy-MM-dd"));
        if (!date.isValid() || birth.size() != 10)
            return refuse(RegisterField::BirthDate,
                          QStringLiteral("Enter the birth date as YYYY-MM-DD (for example "
                                         "1956-04-23), or leave it empty."));
        if (date > today)
            return refuse(RegisterField::BirthDate,
                          QStringLiteral("The birth date %1 lies in the future.").arg(birth));
        if (date.year() < 1900)
            return refuse(RegisterField::BirthDate,
                          QStringLiteral("The birth date %1 is before 1900.").arg(birth));
    }
    s.birthDate = birth.toStdString();
    s.sex = form.male ? 'M' : 'F';

    if (!wholeNumber(form.height, MaxSubjectHeight, s.heightCm))
        return refuse(RegisterField::Height,
                      QStringLiteral("Height in cm: %1")
                          .arg(QString::fromStdString(integerRangeMessage(0, MaxSubjectHeight))));
    if (!wholeNumber(form.weight, MaxSubjectWeight, s.weightKg))
        return refuse(RegisterField::Weight,
                      QStringLiteral("Weight in kg: %1")
                          .arg(QString::fromStdString(integerRangeMessage(0, MaxSubjectWeight))));
    s.notes = form.notes.trimmed().toStdString();

    RegisterFormCheck check;
    check.ok = true;
    check.subject = s;
    return check;
}

SubjectFormDialog::SubjectFormDialog(const RegisterSubject& subject, OperatorPort& port, Save save,
                                     QWidget* parent)
    : QDialog(parent), subject_(subject), port_(port), save_(std::move(save)) {
    setObjectName("subjectFormDialog");
    setWindowTitle(subject.id == 0 ? "Add a subject" : "Edit the subject");
    auto* form = new QFormLayout;
    form->setLabelAlignment(Qt::AlignRight | Qt::AlignVCenter);
    auto lineEdit = [this](const std::string& text, int width) {
        auto* e = new QLineEdit(QString::fromStdString(text), this);
        e->setMinimumWidth(width);
        return e;
    };
    name_ = lineEdit(subject.name, 260);
    code_ = lineEdit(subject.code, 120);
    birthDate_ = lineEdit(subject.birthDate, 120);
    birthDate_->setPlaceholderText("YYYY-MM-DD");
    form->addRow("&Name", name_);
    form->addRow("Patient &code", code_);
    form->addRow("&Birth date", birthDate_);

    female_ = new QRadioButton("&female", this);
    male_ = new QRadioButton("&male", this);
    auto* sexGroup = new QButtonGroup(this);
    sexGroup->addButton(female_);
    sexGroup->addButton(male_);
    (subject.sex == 'M' ? male_ : female_)->setChecked(true);
    auto* sexRow = new QHBoxLayout;
    sexRow->addWidget(female_);
    sexRow->addWidget(male_);
    sexRow->addStretch();
    form->addRow("Sex", sexRow);

    auto* digits = new QRegularExpressionValidator(QRegularExpression("[0-9]{0,3}"), this);
    height_ = lineEdit(subject.heightCm > 0 ? std::to_string(subject.heightCm) : "", 60);
    weight_ = lineEdit(subject.weightKg > 0 ? std::to_string(subject.weightKg) : "", 60);
    for (QLineEdit* e : {height_, weight_}) {
        e->setValidator(digits);
        e->setMaximumWidth(80);
    }
    form->addRow("&Height (cm)", height_);
    form->addRow("&Weight (kg)", weight_);
    notes_ = new QPlainTextEdit(QString::fromStdString(subject.notes), this);
    notes_->setMinimumHeight(70);
    form->addRow("N&otes", notes_);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &SubjectFormDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &SubjectFormDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttons);
}

QLineEdit* SubjectFormDialog::edit(RegisterField field) const {
    switch (field) {
        case RegisterField::Name:
            return name_;
        case RegisterField::Code:
            return code_;
        case RegisterField::BirthDate:
            return birthDate_;
        case RegisterField::Height:
            return height_;
        case RegisterField::Weight:
            return weight_;
        case RegisterField::None:
            break;
    }
    return nullptr;
}

RegisterSubjectForm SubjectFormDialog::form() const {
    return {name_->text(),   code_->text(),   birthDate_->text(),   male_->isChecked(),
            height_->text(), weight_->text(), notes_->toPlainText()};
}

void SubjectFormDialog::accept() {
    const RegisterFormCheck check =
        checkRegisterSubjectForm(form(), subject_, QDate::currentDate());
    auto focus = [this](RegisterField field) {
        if (QLineEdit* e = edit(field)) {
            e->setFocus(Qt::OtherFocusReason);
            e->selectAll();
        }
    };
    if (!check.ok) {
        port_.message(check.message);
        focus(check.field);
        return;
    }
    RegisterSubject saved = check.subject;
    std::string error;
    if (save_ && !save_(saved, error)) {
        port_.message(QString::fromStdString(error));
        focus(RegisterField::Code);
        return;
    }
    subject_ = saved;
    QDialog::accept();
}

}  // namespace kenvo
