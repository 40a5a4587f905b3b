#pragma once

#include <QDate>
#include <QDialog>
#include <QString>
#include <functional>
#include <string>

#include "register/register_records.h"

class QLineEdit;
class QPlainTextEdit;
class QRadioButton;

namespace kenvo {

class OperatorPort;

// The register form's boxes as the operator left them.
struct RegisterSubjectForm {
    QString name;
    QString code;
    QString birthDate;  // YYYY-MM-DD or empty
    bool male = false;
    QString height;  // empty: not known
    QString weight;
    QString notes;
};

enum class RegisterField { None, Name, Code, BirthDate, Height, Weight };

struct RegisterFormCheck {
    bool ok = false;
    RegisterField field = RegisterField::None;  // the box to correct when !ok
    QString message;
    RegisterSubject subject;  // the checked values when ok (id and session count untouched)
};

// Checks the form in the order of its boxes: a name the measurement files can hold, a patient
// code on one line, a real birth date no later than `today` (or none), height 0..250 and weight
// 0..500 as whole numbers (empty for 0). `base` supplies the id.
RegisterFormCheck checkRegisterSubjectForm(const RegisterSubjectForm& form,
                                           const RegisterSubject& base, const QDate& today);

// Adds or edits a register subject. OK checks the form, then hands the subject to `save`
// (the register, which refuses a patient code another subject has); a refusal is shown and
// the dialog stays open with the box to correct focused.
class SubjectFormDialog final : public QDialog {
    Q_OBJECT

  public:
    using Save = std::function<bool(RegisterSubject&, std::string& error)>;
    SubjectFormDialog(const RegisterSubject& subject, OperatorPort& port, Save save,
                      QWidget* parent = nullptr);

    QLineEdit* edit(RegisterField field) const;
    QRadioButton* maleButton() const { return male_; }
    QPlainTextEdit* notesEdit() const { return notes_; }
    // The subject as saved, once the dialog was accepted.
    const RegisterSubject& subject() const { return subject_; }

    void accept() override;

  private:
    RegisterSubjectForm form() const;

    RegisterSubject subject_;
    OperatorPort& port_;
    Save save_;
    QLineEdit* name_;
    QLineEdit* code_;
    QLineEdit* birthDate_;
    QRadioButton* female_;
    QRadioButton* male_;
    QLineEdit* height_;
    QLineEdit* weight_;
    QPlainTextEdit* notes_;
};

}  // namespace kenvo
