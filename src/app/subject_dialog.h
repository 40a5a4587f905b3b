#pragma once

#include <QDialog>

#include "model/subject_record.h"
#include "model/subject_validation.h"

class QLineEdit;
class QRadioButton;

namespace kenvo {

class OperatorPort;

// The subject's name, sex, height, weight and three comments. OK checks the boxes in the
// dialog's order and keeps the dialog open on the first failure with the focus on that box;
// only a fully valid form changes the record.
class CSubjectDlg final : public QDialog {
    Q_OBJECT

  public:
    CSubjectDlg(SubjectRecord& record, OperatorPort& port, QWidget* parent = nullptr);

    // The control of a field, for focus and for tests that fill the form.
    QWidget* field(SubjectField f) const;
    QLineEdit* edit(SubjectField f) const;
    QRadioButton* maleButton() const { return male_; }

    void accept() override;

  private:
    SubjectForm form() const;

    SubjectRecord& record_;
    OperatorPort& port_;
    QLineEdit* name_;
    QRadioButton* female_;
    QRadioButton* male_;
    QLineEdit* height_;
    QLineEdit* weight_;
    QLineEdit* comment1_;
    QLineEdit* comment2_;
    QLineEdit* comment3_;
};

}  // namespace kenvo
