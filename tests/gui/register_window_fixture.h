#pragma once

// The program with its subject register, for the tests of the register in the window.
#include <QDialog>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <cstdint>
#include <stdexcept>
#include <string>

#include "app_fixture.h"
#include "app_register.h"
#include "command_ids.h"
#include "register/subject_register.h"
#include "subject_form_dialog.h"
#include "subjects_dialog.h"

namespace kenvo::test {

// 2026-01-05 09:00 UTC, and a month in seconds.
inline constexpr int32_t FirstVisit = 1767603600;
inline constexpr int32_t Month = 30 * 86400;

class RegisterWindow : public AppFixture {
  protected:
    QString path(const std::string& name) { return QString::fromStdString(home(name)); }
    SubjectRegister& reg() {
        SubjectRegister* r = app->subjectRegister()->get();
        EXPECT_NE(r, nullptr);
        return *r;
    }
    // A register subject made directly in the register.
    RegisterSubject addSubject(const std::string& name, const std::string& code, char sex = 'F',
                               const std::string& birth = "") {
        RegisterSubject s;
        s.name = name;
        s.code = code;
        s.sex = sex;
        s.birthDate = birth;
        s.heightCm = 168;
        s.weightKg = 61;
        std::string error;
        EXPECT_TRUE(reg().saveSubject(s, error)) << error;
        return s;
    }
    // A stance data set of `attempts` attempts whose first one started at `start`, unsaved.
    void record(int attempts, int32_t start) {
        MeasurementStore& store = state().store;
        store.attemptCount = 0;
        store.settings.testMode = TestModeStance;
        store.attemptSeconds = 10;
        addAttempts(store, attempts, 600);
        for (int a = 0; a < attempts; ++a) store.startTime[std::size_t(a)] = start + a * 20;
    }
    bool save(const std::string& name) {
        port.files = {path(name)};
        frame().runCommand(CmdSave);
        return state().store.dataSaved == 1;
    }
    // `visits` stance sessions of `subject`, a month apart from FirstVisit, each saved as
    // DATA/vN.kplat through "New test for this subject".
    void saveVisits(SubjectsDialog& dialog, const RegisterSubject& subject, int visits) {
        dialog.chooseSubject(subject.id);
        dialog.newTestForSubject();
        for (int visit = 0; visit < visits; ++visit) {
            record(2, FirstVisit + visit * Month);
            ASSERT_TRUE(save("DATA/v" + std::to_string(visit) + ".kplat"));
        }
    }
    SubjectsDialog& subjects() {
        frame().runCommand(CmdSubjects);
        SubjectsDialog* d = app->subjectsDialog();
        if (!d) throw std::runtime_error("the Subjects window did not open");
        return *d;
    }
    // Fills the subject form the next dialog shows and presses OK.
    void answerForm(RegisterSubjectForm form) {
        port.dialogScript = [form](QDialog& d) {
            auto& dialog = dynamic_cast<SubjectFormDialog&>(d);
            dialog.edit(RegisterField::Name)->setText(form.name);
            dialog.edit(RegisterField::Code)->setText(form.code);
            dialog.edit(RegisterField::BirthDate)->setText(form.birthDate);
            dialog.maleButton()->setChecked(form.male);
            dialog.edit(RegisterField::Height)->setText(form.height);
            dialog.edit(RegisterField::Weight)->setText(form.weight);
            dialog.notesEdit()->setPlainText(form.notes);
            dialog.accept();
            return dialog.result();
        };
    }
};

}  // namespace kenvo::test
