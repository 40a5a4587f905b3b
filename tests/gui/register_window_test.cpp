// The subject register in the window: the caption, Subject > Subjects..., registering on
// Save, opening a session, "New test for this subject", an unusable register at start-up and
// the window and the command line registering into one register at once.
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPrinter>
#include <QRadioButton>
#include <QStatusBar>
#include <QTabWidget>
#include <QTableWidget>
#include <filesystem>
#include <fstream>

#include "app_register.h"
#include "command_ids.h"
#include "enabling_rules.h"
#include "file_commands.h"
#include "files/code_page.h"
#include "files/cop_import.h"
#include "files/measurement_file.h"
#include "files/sidecar.h"
#include "print_controller.h"
#include "register/subject_register.h"
#include "register_window_fixture.h"
#include "subject_form_dialog.h"
#include "subject_history_panel.h"
#include "subjects_dialog.h"
#include "support/process.h"
#include "support/temp_dir.h"
#include "window_caption.h"

namespace kenvo::test {
namespace {

namespace fs = std::filesystem;

TEST_F(RegisterWindow, CaptionNamesSubjectAndFileOnlyWhileADataSetIsPresent) {
    EXPECT_EQ(frame().windowTitle(), "Kenvotec - KenvoPlat");
    state().store.subject.name = utf8ToCp1250("Jana Nováková");
    frame().updateCommandStates();
    // A subject record alone is no data set.
    EXPECT_EQ(frame().windowTitle(), "Kenvotec - KenvoPlat");

    record(2, FirstVisit);
    frame().updateCommandStates();
    EXPECT_EQ(frame().windowTitle(), "Jana Nováková - Untitled - Kenvotec - KenvoPlat");
    ASSERT_TRUE(save("DATA/jana.kplat"));
    EXPECT_EQ(frame().windowTitle(), "Jana Nováková - jana.kplat - Kenvotec - KenvoPlat");

    // Continued with more attempts the data set is still the file's.
    addAttempts(state().store, 1, 100);
    frame().updateCommandStates();
    EXPECT_EQ(frame().windowTitle(), "Jana Nováková - jana.kplat - Kenvotec - KenvoPlat");
    // A new test is a new data set, not yet saved anywhere.
    record(1, FirstVisit + Month);
    frame().updateCommandStates();
    EXPECT_EQ(frame().windowTitle(), "Jana Nováková - Untitled - Kenvotec - KenvoPlat");

    // Opened again: the file's subject and name.
    port.answers = {Answer::No};
    port.files = {path("DATA/jana.kplat")};
    frame().runCommand(CmdOpen);
    EXPECT_EQ(frame().windowTitle(), "Jana Nováková - jana.kplat - Kenvotec - KenvoPlat");

    // Without a name the subject part is left out; a name on two lines stays on one.
    MeasurementStore store;
    store.dataPresent = 1;
    EXPECT_EQ(windowCaption("Kenvotec", store, {}), "Untitled - Kenvotec - KenvoPlat");
    store.subject.name = "  Two\r\nLines ";
    EXPECT_EQ(windowCaption("Kenvotec", store, "/x/y.kplat"),
              "Two Lines - y.kplat - Kenvotec - KenvoPlat");
}

TEST_F(RegisterWindow, NewTestForThisSubjectIsSavedWithCodeAndBirthDateInSidecarAndRegister) {
    const RegisterSubject jana = addSubject("Jana Nováková", "P-0042", 'F', "1956-04-23");
    addSubject("Jan Novák", "P-0043", 'M');
    SubjectsDialog& dialog = subjects();
    ASSERT_TRUE(dialog.chooseSubject(jana.id));
    state().store.subject.comment1 = "someone else's comment";
    ASSERT_TRUE(dialog.newTestForSubject());
    EXPECT_EQ(state().store.subject.name, utf8ToCp1250("Jana Nováková"));
    EXPECT_EQ(state().store.subject.sex, 0);
    EXPECT_EQ(state().store.subject.height, 168);
    EXPECT_EQ(state().store.subject.weight, 61);
    EXPECT_TRUE(state().store.subject.comment1.empty());

    record(3, FirstVisit);
    ASSERT_TRUE(save("DATA/visit1.kplat"));
    EXPECT_TRUE(port.notices.isEmpty()) << port.notices.join("\n").toStdString();
    const SidecarRead side = readSidecar(home("DATA/visit1.kplat"));
    ASSERT_EQ(side.state, SidecarState::Valid) << side.message;
    EXPECT_EQ(side.sidecar.patientCode, "P-0042");
    EXPECT_EQ(side.sidecar.birthDate, "1956-04-23");
    EXPECT_EQ(side.sidecar.subjectId, jana.id);
    EXPECT_EQ(side.sidecar.sex, 'F');

    const auto sessions = reg().sessions(jana.id);
    ASSERT_EQ(sessions.size(), 1u);
    EXPECT_EQ(sessions[0].attempts, 3);
    EXPECT_EQ(sessions[0].recordedAt, FirstVisit);
    EXPECT_EQ(sessions[0].test, "stance");
    EXPECT_TRUE(sessions[0].velocity.has_value());
    // The open window shows the new session at once.
    EXPECT_EQ(dialog.sessionsTable()->rowCount(), 1);
    EXPECT_EQ(dialog.sessionsTable()->item(0, 0)->text(), sessionTime(FirstVisit));

    // The next test of the same subject goes to her again; after the Subject dialog names
    // someone else, the register chooses by name and sex instead.
    record(2, FirstVisit + Month);
    ASSERT_TRUE(save("DATA/visit2.kplat"));
    EXPECT_EQ(reg().sessions(jana.id).size(), 2u);
    state().store.subject.name = "Karel Other";
    record(1, FirstVisit + 2 * Month);
    ASSERT_TRUE(save("DATA/other.kplat"));
    EXPECT_EQ(reg().sessions(jana.id).size(), 2u);
    EXPECT_EQ(readSidecar(home("DATA/other.kplat")).sidecar.patientCode, std::nullopt);
    EXPECT_EQ(reg().subjects("Karel").size(), 1u);
}

TEST_F(RegisterWindow, AProblemAfterTheSaveIsToldButNeverUndoesIt) {
    const RegisterSubject jana = addSubject("Jana Nováková", "P-0042");
    SubjectsDialog& dialog = subjects();
    dialog.chooseSubject(jana.id);
    dialog.newTestForSubject();
    record(2, FirstVisit);
    // A folder where the sidecar would go: the file is written, the details cannot be.
    fs::create_directories(home("DATA/blocked.kplat.json"));
    ASSERT_TRUE(save("DATA/blocked.kplat"));
    EXPECT_TRUE(fs::is_regular_file(home("DATA/blocked.kplat")));
    ASSERT_EQ(port.notices.size(), 1);
    EXPECT_TRUE(port.notices[0].contains("could not be written")) << port.notices[0].toStdString();
    EXPECT_EQ(frame().statusBar()->currentMessage(), port.notices[0]);
    EXPECT_EQ(reg().sessions(jana.id).size(), 1u);
    EXPECT_TRUE(port.messages.isEmpty());  // nothing waits for an answer
}

TEST_F(RegisterWindow, ASessionMatchingTwoSubjectsWaitsForReviewAndIsAssignedInTheWindow) {
    const RegisterSubject first = addSubject("Jan Novák", "", 'M');
    const RegisterSubject second = addSubject("Jan Novák", "", 'M');
    state().store.subject.name = utf8ToCp1250("Jan Novák");
    state().store.subject.sex = 1;
    record(2, FirstVisit);
    ASSERT_TRUE(save("DATA/which.kplat"));
    SubjectsDialog& dialog = subjects();
    ASSERT_EQ(dialog.reviewTable()->rowCount(), 1);
    EXPECT_EQ(dialog.tabs()->tabText(2), "Review (1)");
    const int64_t session = reg().reviewSessions().at(0).id;

    // Without a chosen subject the window asks for one and changes nothing.
    dialog.subjectsTable()->clearSelection();
    ASSERT_TRUE(dialog.chooseReviewSession(session));
    EXPECT_FALSE(dialog.assignReviewSession());
    EXPECT_EQ(reg().reviewSessions().size(), 1u);

    ASSERT_TRUE(dialog.chooseSubject(second.id));
    ASSERT_TRUE(dialog.chooseReviewSession(session));
    ASSERT_TRUE(dialog.assignReviewSession());
    EXPECT_TRUE(reg().reviewSessions().empty());
    EXPECT_EQ(dialog.reviewTable()->rowCount(), 0);
    EXPECT_EQ(reg().sessions(second.id).size(), 1u);
    EXPECT_TRUE(reg().sessions(first.id).empty());
    EXPECT_EQ(readSidecar(home("DATA/which.kplat")).sidecar.subjectId, second.id);
    EXPECT_EQ(dialog.sessionsTable()->rowCount(), 1);
}

TEST_F(RegisterWindow, SearchNarrowsTheListAsOneTypesByNameOrCode) {
    addSubject("Jana Nováková", "P-0042");
    addSubject("Jan Novák", "P-0043", 'M');
    addSubject("Eva Malá", "X-7");
    SubjectsDialog& dialog = subjects();
    QTableWidget* list = dialog.subjectsTable();
    EXPECT_EQ(list->rowCount(), 3);
    dialog.searchEdit()->setText("n");  // every keystroke filters
    EXPECT_EQ(list->rowCount(), 2);
    dialog.searchEdit()->setText("NOV");
    EXPECT_EQ(list->rowCount(), 2);
    dialog.searchEdit()->setText("Nováková");
    ASSERT_EQ(list->rowCount(), 1);
    EXPECT_EQ(list->item(0, 1)->text(), "Jana Nováková");
    dialog.searchEdit()->setText("x-7");
    ASSERT_EQ(list->rowCount(), 1);
    EXPECT_EQ(list->item(0, 0)->text(), "X-7");
    dialog.searchEdit()->setText("nobody");
    EXPECT_EQ(list->rowCount(), 0);
    dialog.searchEdit()->clear();
    EXPECT_EQ(list->rowCount(), 3);
}

TEST_F(RegisterWindow, AVeryLongListShowsItsFirstPartAndSaysHowToNarrowIt) {
    for (int i = 0; i < int(MaxListedSubjects) + 5; ++i) {
        RegisterSubject s;
        s.name = "Subject " + std::to_string(10000 + i);
        std::string error;
        ASSERT_TRUE(reg().saveSubject(s, error)) << error;
    }
    addSubject("Zdena Zelená", "Z-1");
    SubjectsDialog& dialog = subjects();
    EXPECT_EQ(dialog.subjectsTable()->rowCount(), int(MaxListedSubjects));
    auto* note = dialog.findChild<QLabel*>("subjectCount");
    ASSERT_NE(note, nullptr);
    EXPECT_TRUE(note->text().contains("type to narrow")) << note->text().toStdString();
    // Beyond the first part, the search still finds every subject.
    dialog.searchEdit()->setText("zelen");
    ASSERT_EQ(dialog.subjectsTable()->rowCount(), 1);
    EXPECT_EQ(note->text(), "1 subject");
}

TEST_F(RegisterWindow, AddingAndEditingASubjectChecksTheFormAndRefusesADuplicateCode) {
    SubjectsDialog& dialog = subjects();
    answerForm({"Jana Nováková", "P-0042", "1956-04-23", false, "168", "61", "Knee surgery 2024"});
    ASSERT_TRUE(dialog.addSubject());
    ASSERT_TRUE(dialog.chosenSubject().has_value());
    const auto jana = reg().subject(*dialog.chosenSubject());
    ASSERT_TRUE(jana.has_value());
    EXPECT_EQ(jana->code, "P-0042");
    EXPECT_EQ(jana->birthDate, "1956-04-23");
    EXPECT_EQ(jana->heightCm, 168);
    EXPECT_EQ(jana->notes, "Knee surgery 2024");
    // A subject without sessions keeps her details in a file of her own, for a rebuild.
    EXPECT_TRUE(fs::exists(home("DATA/subjects/" + std::to_string(jana->id) + ".json")));

    // Refused: each leaves the dialog open with a plain message and saves nothing.
    const std::vector<RegisterSubjectForm> refused = {
        {"", "P-1", "", true, "", "", ""},
        {"Jan Novák", "P-0042", "", true, "", "", ""},  // Jana's code
        {"Jan Novák", "P-1", "1990-02-30", true, "", "", ""},
        {"Jan Novák", "P-1", "23.4.1956", true, "", "", ""},
        {"Jan Novák", "P-1", "2999-01-01", true, "", "", ""},
        {"Jan Novák", "P-1", "", true, "251", "", ""},
        {"王 Novák", "P-1", "", true, "", "", ""},  // a name the files cannot hold
    };
    for (const RegisterSubjectForm& form : refused) {
        const auto before = port.messages.size();
        answerForm(form);
        EXPECT_FALSE(dialog.addSubject())
            << form.name.toStdString() << form.birthDate.toStdString();
        EXPECT_EQ(port.messages.size(), before + 1);
    }
    EXPECT_EQ(reg().subjects().size(), 1u);
    EXPECT_TRUE(port.messages[1].contains("P-0042") || port.details[1].contains("P-0042"))
        << port.messages[1].toStdString();

    // Edited: a man now, with no birth date and no height.
    ASSERT_TRUE(dialog.chooseSubject(jana->id));
    answerForm({"Jana Nováková-Malá", "P-0042", "", true, "", "70", ""});
    ASSERT_TRUE(dialog.editSubject());
    const auto edited = reg().subject(jana->id);
    EXPECT_EQ(edited->name, "Jana Nováková-Malá");
    EXPECT_EQ(edited->birthDate, "");
    EXPECT_EQ(edited->sex, 'M');
    EXPECT_EQ(edited->heightCm, 0);
    EXPECT_EQ(edited->weightKg, 70);
    EXPECT_EQ(dialog.subjectsTable()->item(0, 1)->text(), "Jana Nováková-Malá");
}

TEST(RegisterForm, BirthDatesAtTheEdgesOfTheCalendar) {
    const QDate today(2026, 12, 8);
    auto check = [&](const QString& birth) {
        return checkRegisterSubjectForm({"A", "", birth, false, "", "", ""}, {}, today);
    };
    EXPECT_TRUE(check("2024-02-29").ok);   // a leap day
    EXPECT_FALSE(check("2023-02-29").ok);  // none that year
    EXPECT_TRUE(check("2026-12-08").ok);   // born today
    EXPECT_FALSE(check("2026-12-09").ok);
    EXPECT_TRUE(check("1900-01-01").ok);
    EXPECT_FALSE(check("1899-12-31").ok);
    EXPECT_FALSE(check("1956-4-23").ok);
    EXPECT_EQ(check("1956-4-23").field, RegisterField::BirthDate);
    const RegisterFormCheck blank = check("  ");
    ASSERT_TRUE(blank.ok);
    EXPECT_EQ(blank.subject.birthDate, "");
    EXPECT_EQ(blank.subject.heightCm, 0);
    // Names with the Czech and Polish letters the files hold are fine.
    EXPECT_TRUE(
        checkRegisterSubjectForm({"Łucja Řeháková", "", "", false, "250", "500", ""}, {}, today)
            .ok);
    EXPECT_EQ(checkRegisterSubjectForm({"A", "", "", false, "", "501", ""}, {}, today).field,
              RegisterField::Weight);
}

TEST_F(RegisterWindow, OpenLoadsTheSessionThroughTheWindowsOpen) {
    const RegisterSubject jana = addSubject("Jana Nováková", "P-0042");
    SubjectsDialog& dialog = subjects();
    dialog.chooseSubject(jana.id);
    dialog.newTestForSubject();
    record(3, FirstVisit);
    ASSERT_TRUE(save("DATA/visit1.kplat"));
    record(5, FirstVisit + Month);
    ASSERT_TRUE(save("DATA/visit2.kplat"));
    const auto sessions = reg().sessions(jana.id);
    ASSERT_EQ(sessions.size(), 2u);

    // Unsaved data in the window: the usual question comes first.
    state().store.subject.name = "Someone";
    record(1, FirstVisit + 2 * Month);
    dialog.chooseSubject(jana.id);
    ASSERT_TRUE(dialog.chooseSession(sessions[0].id));
    port.answers = {Answer::No};
    ASSERT_TRUE(dialog.openSession());
    EXPECT_EQ(port.questions.back(), UnsavedQuestion);
    EXPECT_EQ(state().store.attemptCount, 3);
    EXPECT_EQ(state().store.startTime[0], FirstVisit);
    EXPECT_EQ(state().store.subject.name, utf8ToCp1250("Jana Nováková"));
    EXPECT_EQ(frame().windowTitle(), "Jana Nováková - visit1.kplat - Kenvotec - KenvoPlat");

    // Saved again elsewhere, it stays hers with her code.
    ASSERT_TRUE(save("DATA/copy.kplat"));
    EXPECT_EQ(readSidecar(home("DATA/copy.kplat")).sidecar.patientCode, "P-0042");
    EXPECT_EQ(reg().sessions(jana.id).size(), 3u);

    // A file gone since it was registered is reported, and the data set stays.
    fs::remove(home("DATA/visit2.kplat"));
    ASSERT_TRUE(dialog.chooseSession(sessions[1].id));
    EXPECT_FALSE(dialog.openSession());
    EXPECT_TRUE(port.messages.back().contains("visit2.kplat"));
    EXPECT_EQ(state().store.startTime[0], FirstVisit);
}

TEST_F(RegisterWindow, ASidecarThatNoLongerMatchesItsFileIsToldAndIgnored) {
    const RegisterSubject jana = addSubject("Jana Nováková", "P-0042");
    SubjectsDialog& dialog = subjects();
    dialog.chooseSubject(jana.id);
    dialog.newTestForSubject();
    record(2, FirstVisit);
    ASSERT_TRUE(save("DATA/visit1.kplat"));
    // Opened while it matches, its sidecar says whose the data set is.
    port.files = {path("DATA/visit1.kplat")};
    frame().runCommand(CmdOpen);
    EXPECT_EQ(app->subjectRegister()->subjectIdFor(state().store.subject), jana.id);
    // Another program writes the measurement file again behind the sidecar's back.
    addAttempts(state().store, 1, 100);
    ASSERT_TRUE(saveMeasurementFile(home("DATA/visit1.kplat"), state().store));
    const std::string sidecarBefore = readFileBytes(sidecarPathOf(home("DATA/visit1.kplat")));

    state().store.subject.name = "Someone Else";
    port.answers = {Answer::No};
    port.files = {path("DATA/visit1.kplat")};
    frame().runCommand(CmdOpen);
    ASSERT_EQ(state().store.attemptCount, 3);  // the file opens all the same
    ASSERT_EQ(port.notices.size(), 1);
    EXPECT_TRUE(port.notices[0].contains("visit1.kplat")) << port.notices[0].toStdString();
    // Its details are not taken for the data set, and the sidecar itself is left as it was.
    EXPECT_EQ(app->subjectRegister()->subjectIdFor(state().store.subject), std::nullopt);
    EXPECT_EQ(readFileBytes(sidecarPathOf(home("DATA/visit1.kplat"))), sidecarBefore);
}

TEST_F(RegisterWindow, OpenAndNewTestAreRefusedWhileATestRuns) {
    const RegisterSubject jana = addSubject("Jana Nováková", "P-0042");
    const RegisterSubject jan = addSubject("Jan Novák", "P-0043", 'M');
    SubjectsDialog& dialog = subjects();
    dialog.chooseSubject(jana.id);
    dialog.newTestForSubject();
    record(2, FirstVisit);
    ASSERT_TRUE(save("DATA/visit1.kplat"));
    record(4, FirstVisit + Month);
    state().store.testRunning = 1;
    EXPECT_FALSE(isCommandEnabled(CmdSubjects, state().store));

    ASSERT_TRUE(dialog.chooseSubject(jana.id));
    ASSERT_TRUE(dialog.chooseSession(reg().sessions(jana.id)[0].id));
    EXPECT_FALSE(dialog.openSession());
    EXPECT_EQ(port.messages.back(), "A test is running.");
    ASSERT_TRUE(dialog.chooseSubject(jan.id));
    EXPECT_FALSE(dialog.newTestForSubject());
    EXPECT_EQ(port.messages.back(), "A test is running.");
    // Nothing was asked, loaded or relabelled under the running test.
    EXPECT_TRUE(port.questions.isEmpty());
    EXPECT_EQ(state().store.attemptCount, 4);
    EXPECT_EQ(state().store.subject.name, utf8ToCp1250("Jana Nováková"));
}

TEST_F(RegisterWindow, TheHistoryShowsOnePointPerStanceSessionAndPrints) {
    const RegisterSubject jana = addSubject("Jana Nováková", "P-0042");
    SubjectsDialog& dialog = subjects();
    ASSERT_NO_FATAL_FAILURE(saveVisits(dialog, jana, 4));
    dialog.chooseSubject(jana.id);
    SubjectHistoryPanel* history = dialog.history();
    history->setMeasure(ClinicalMeasure::Area95);
    EXPECT_EQ(history->graphWidget()->graph().points.size(), 4u);
    EXPECT_EQ(history->graphWidget()->graph().unit, "mm2");
    EXPECT_EQ(history->valuesTable()->rowCount(), 4);
    EXPECT_EQ(history->valuesTable()->item(0, 0)->text(), sessionTime(FirstVisit));
    EXPECT_EQ(history->valuesTable()->item(3, 2)->text(), "2");

    // Printed through the window's printing path, to a PDF here.
    const std::string pdf = home("history.pdf");
    frame().printing().setPrinterChooser([pdf](QPrinter& printer) {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(QString::fromStdString(pdf));
        return true;
    });
    ASSERT_TRUE(history->print());
    EXPECT_GT(fs::file_size(pdf), 1000u);
    EXPECT_EQ(frame().printing().lastPageCount(), 1);
}

// A sensory balance test session counts the attempts of the chosen condition: switching the
// condition shows that condition's median, while a plain stance session counts all attempts.
TEST_F(RegisterWindow, TheHistoryOfASensorySessionFollowsTheChosenCondition) {
    auto store = std::make_unique<MeasurementStore>();
    // Four attempts, one per condition, swaying more and more.
    for (int32_t attempt = 0; attempt < 4; ++attempt) {
        std::vector<CopPoint> points;
        for (int i = 0; i < 1500; ++i)
            points.push_back(
                {(attempt + 1) * 2.0 * std::sin(i / 50.0), (attempt + 1) * std::cos(i / 70.0)});
        importCopAttempt(*store, attempt, points, 0, FirstVisit + 60 * attempt);
    }
    finishCopImport(*store, 4, 0);
    store->subject.name = "Sensory Subject";
    const std::string path = home("DATA/sensory.kplat");
    ASSERT_TRUE(saveMeasurementFile(path, *store));
    Sidecar sidecar;
    sidecar.protocol = "sensory";
    sidecar.conditions =
        std::vector<std::optional<std::string>>{"eo-firm", "ec-firm", "eo-foam", "ec-foam"};
    std::string error;
    ASSERT_TRUE(writeSidecar(path, sidecar, error)) << error;
    reg().scan({home("DATA")}, false);
    const auto found = reg().subjects("Sensory");
    ASSERT_EQ(found.size(), 1u);

    SubjectsDialog& dialog = subjects();
    dialog.chooseSubject(found[0].id);
    SubjectHistoryPanel* history = dialog.history();
    history->setMeasure(ClinicalMeasure::RangeX);
    std::vector<double> shown;
    for (const SensoryCondition c : SensoryConditions) {
        history->setCondition(c);
        ASSERT_EQ(history->graphWidget()->graph().points.size(), 1u) << conditionName(c);
        EXPECT_EQ(history->valuesTable()->item(0, 2)->text(), "1");
        shown.push_back(history->graphWidget()->graph().points[0].value);
    }
    // Each condition's range is its own attempt's: 4, 8, 12 and 16 mm, give or take the filter.
    for (std::size_t k = 0; k < shown.size(); ++k) EXPECT_NEAR(shown[k], 4.0 * (k + 1), 0.2) << k;
}

}  // namespace
}  // namespace kenvo::test
