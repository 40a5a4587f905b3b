#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>

#include "files/sidecar.h"
#include "register/register_text_fold.h"
#include "register/subject_register.h"
#include "register_test_support.h"

namespace kenvo {
namespace {

using test::person;
using test::RegisterFolder;
using test::subjectNamed;
using test::TestRecording;
using test::writeRecording;

RegisterSubject saved(SubjectRegister& reg, RegisterSubject subject) {
    std::string error;
    EXPECT_TRUE(reg.saveSubject(subject, error)) << error;
    return subject;
}

void putSidecar(const std::string& kplat, const Sidecar& sidecar) {
    std::string error;
    ASSERT_TRUE(writeSidecar(kplat, sidecar, error)) << error;
}

// Everything the register shows, for comparing a register with its rebuild.
struct Snapshot {
    std::vector<RegisterSubject> subjects;
    std::vector<std::vector<RegisterSession>> sessions;
    std::vector<std::vector<HistoryPoint>> history;
    std::vector<RegisterSession> review;
};

bool sameSessions(const std::vector<RegisterSession>& a, const std::vector<RegisterSession>& b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (a[i].id != b[i].id || a[i].subjectId != b[i].subjectId || a[i].file != b[i].file ||
            a[i].test != b[i].test || a[i].recordedAt != b[i].recordedAt ||
            a[i].attempts != b[i].attempts || a[i].status != b[i].status ||
            a[i].velocity != b[i].velocity || a[i].area95 != b[i].area95)
            return false;
    return true;
}

bool sameHistory(const std::vector<HistoryPoint>& a, const std::vector<HistoryPoint>& b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (a[i].sessionId != b[i].sessionId || a[i].recordedAt != b[i].recordedAt ||
            a[i].file != b[i].file || a[i].attempts != b[i].attempts || a[i].value != b[i].value)
            return false;
    return true;
}

Snapshot snapshot(const SubjectRegister& reg) {
    Snapshot s;
    s.subjects = reg.subjects();
    for (const RegisterSubject& subject : s.subjects) {
        s.sessions.push_back(reg.sessions(subject.id));
        s.history.push_back(reg.history(subject.id, ClinicalMeasure::Area95));
    }
    s.review = reg.reviewSessions();
    return s;
}

void expectSame(const Snapshot& before, const Snapshot& after) {
    EXPECT_EQ(before.subjects, after.subjects);
    ASSERT_EQ(before.sessions.size(), after.sessions.size());
    for (std::size_t i = 0; i < before.sessions.size(); ++i) {
        EXPECT_TRUE(sameSessions(before.sessions[i], after.sessions[i])) << "subject " << i;
        EXPECT_TRUE(sameHistory(before.history[i], after.history[i])) << "subject " << i;
    }
    EXPECT_TRUE(sameSessions(before.review, after.review));
}

// The sidecar's patient code wins over the name in the file; the code not in the register yet
// makes a new subject even when the name matches one.
TEST(RegisterMatch, APatientCodeBeatsTheName) {
    RegisterFolder folder;
    auto reg = folder.open();
    const RegisterSubject ann = saved(*reg, subjectNamed("Ann Novak", 'F', "P-1"));
    writeRecording(folder.file("renamed.kplat"), person("Anna N.", 0, 1, 1700000000));
    Sidecar code;
    code.patientCode = "P-1";
    putSidecar(folder.file("renamed.kplat"), code);
    writeRecording(folder.file("other-code.kplat"), person("Ann Novak", 0, 2, 1700000500));
    code.patientCode = "P-2";
    putSidecar(folder.file("other-code.kplat"), code);
    writeRecording(folder.file("by-name.kplat"), person("Ann Novak", 0, 3, 1700001000));
    writeRecording(folder.file("other-sex.kplat"), person("Ann Novak", 1, 4, 1700002000));
    // A sidecar written before its file changed says nothing: matched by the name in the file,
    // which by then two subjects have (the one made for P-2 sorts before it).
    const std::string stalePath = folder.file("stale.kplat");
    writeRecording(stalePath, person("Ann Novak", 0, 5, 1700003000));
    code.patientCode = "P-2";
    putSidecar(stalePath, code);
    TestRecording longer = person("Ann Novak", 0, 5, 1700003000);
    longer.attempts = 4;
    writeRecording(stalePath, longer);

    const ScanReport report = reg->scan({folder.data()}, false);
    EXPECT_EQ(report.added, 4);
    EXPECT_EQ(report.review, 1);
    ASSERT_EQ(report.notes.size(), 1u);
    EXPECT_NE(report.notes[0].find("stale.kplat.json"), std::string::npos) << report.notes[0];
    ASSERT_EQ(reg->sessions(ann.id).size(), 2u);
    EXPECT_EQ(reg->sessions(ann.id)[0].file, "renamed.kplat");
    EXPECT_EQ(reg->sessions(ann.id)[1].file, "by-name.kplat");
    ASSERT_EQ(reg->reviewSessions().size(), 1u);
    EXPECT_EQ(reg->reviewSessions()[0].file, "stale.kplat");
    const auto coded = reg->subjects("P-2");
    ASSERT_EQ(coded.size(), 1u);
    EXPECT_EQ(coded[0].name, "Ann Novak");
    EXPECT_EQ(reg->subjects("Ann Novak").size(), 3u);  // and the man of the same name
}

// Two subjects that match equally are not guessed between: the session waits for review,
// is assigned by hand, and the choice survives a rebuild through the sidecar.
TEST(RegisterMatch, EqualMatchesWaitForReviewAndTheAssignmentSurvivesARebuild) {
    RegisterFolder folder;
    auto reg = folder.open();
    const RegisterSubject first = saved(*reg, subjectNamed("Eva Kralova", 'F', "E-1"));
    const RegisterSubject second = saved(*reg, subjectNamed("Eva Kralova", 'F', "E-2"));
    writeRecording(folder.file("eva.kplat"), person("Eva Kralova", 0, 1, 1700000000));
    writeRecording(folder.file("nameless.kplat"), person("", 0, 2, 1700000000));

    const ScanReport report = reg->scan({folder.data()}, false);
    EXPECT_EQ(report.review, 2);
    EXPECT_EQ(report.added, 0);
    ASSERT_EQ(reg->reviewSessions().size(), 2u);
    const RegisterSession waiting = reg->reviewSessions()[0];
    EXPECT_EQ(waiting.file, "eva.kplat");
    EXPECT_EQ(waiting.subjectId, 0);
    const CheckReport check = reg->check();
    EXPECT_EQ(check.problems, (std::vector<std::string>{"eva.kplat: waits for review",
                                                        "nameless.kplat: waits for review"}));

    std::string error;
    EXPECT_FALSE(reg->assign(waiting.id, 999, error));
    EXPECT_FALSE(error.empty());
    EXPECT_FALSE(reg->assign(999, second.id, error));
    ASSERT_TRUE(reg->assign(waiting.id, second.id, error)) << error;
    EXPECT_EQ(reg->session(waiting.id)->status, SessionStatus::Ok);
    const SidecarRead beside = readSidecar(folder.file("eva.kplat"));
    ASSERT_EQ(beside.state, SidecarState::Valid) << beside.message;
    EXPECT_EQ(beside.sidecar.subjectId, second.id);
    EXPECT_EQ(beside.sidecar.patientCode, "E-2");
    EXPECT_EQ(reg->reviewSessions().size(), 1u);

    const Snapshot before = snapshot(*reg);
    const ScanReport rebuilt = reg->scan({folder.data()}, true);
    EXPECT_EQ(rebuilt.added, 1);
    EXPECT_EQ(rebuilt.review, 1);
    // The subject without sessions comes back from its subject file, the other from the sidecar.
    expectSame(before, snapshot(*reg));
    EXPECT_EQ(reg->sessions(second.id).size(), 1u);
    EXPECT_EQ(reg->subject(first.id)->code, "E-1");
}

// Editing subjects only in the register, then rebuilding from the files, gives the same
// subjects, ids, details, sessions and history.
TEST(RegisterMatch, ARebuildReproducesIdsDetailsAndHistoryAfterEdits) {
    RegisterFolder folder;
    // Written in an order unlike the sorted paths, so the ids come from the paths.
    writeRecording(folder.file("2024/zeta.kplat"), person("Zeta Horak", 1, 5, 1700300000));
    writeRecording(folder.file("2023/petr-b.kplat"), person("Petr Maly", 1, 2, 1700200000));
    writeRecording(folder.file("2023/petr-a.kplat"), person("Petr Maly", 1, 1, 1700100000));
    writeRecording(folder.file("2023/jana.kplat"), person("Jana Dvořáková", 0, 3, 1700000000));
    writeRecording(folder.file("2024/jana.kplat"), person("Jana Dvořáková", 0, 4, 1700400000));
    auto reg = folder.open();
    EXPECT_EQ(reg->scan({folder.data()}, false).added, 5);
    const auto jana = reg->subjects("Jana");
    ASSERT_EQ(jana.size(), 1u);
    EXPECT_EQ(jana[0].id, 1);  // 2023/jana.kplat sorts first
    EXPECT_EQ(reg->subjects("Petr")[0].id, 2);
    const std::string sizeBefore =
        std::to_string(std::filesystem::file_size(folder.file("2023/jana.kplat")));

    // Jana is renamed and gets a code, a birth date and notes; Zeta gets a code; a new
    // subject without sessions is added.
    RegisterSubject edited = jana[0];
    edited.name = "Jana Dvořáková-Nová";
    edited.code = "J-77";
    edited.birthDate = "1950-03-14";
    edited.notes = "hip replacement";
    edited.heightCm = 158;
    edited = saved(*reg, edited);
    EXPECT_EQ(edited.sessionCount, 2);
    RegisterSubject zeta = reg->subjects("Zeta")[0];
    zeta.code = "Z-1";
    saved(*reg, zeta);
    const RegisterSubject alone = saved(*reg, subjectNamed("Olga Bez Mereni", 'F', "O-9"));
    EXPECT_EQ(alone.id, 4);
    EXPECT_EQ(alone.sessionCount, 0);

    // The sidecars do not change the measurement files: nothing is changed for the register.
    EXPECT_TRUE(reg->check().ok());
    EXPECT_EQ(std::to_string(std::filesystem::file_size(folder.file("2023/jana.kplat"))),
              sizeBefore);
    EXPECT_EQ(reg->scan({folder.data()}, false).unchanged, 5);

    // The subject without sessions lives in its own private file.
    const std::string subjectFile = folder.data() + "/subjects/4.json";
    struct stat st {};
    ASSERT_EQ(::stat(subjectFile.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);
    ASSERT_EQ(::stat((folder.data() + "/subjects").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0700u);

    const Snapshot before = snapshot(*reg);
    ASSERT_EQ(before.subjects.size(), 4u);
    const ScanReport rebuilt = reg->scan({folder.data()}, true);
    EXPECT_EQ(rebuilt.added, 5);
    EXPECT_TRUE(rebuilt.error.empty()) << rebuilt.error;
    expectSame(before, snapshot(*reg));
    EXPECT_EQ(reg->subject(1)->birthDate, "1950-03-14");

    // Once the subject has a session, its subject file goes.
    writeRecording(folder.file("2025/olga.kplat"), person("Olga Bez Mereni", 0, 8, 1700500000));
    std::string error;
    Sidecar details;
    details.subjectId = alone.id;
    const auto id = reg->registerFile(folder.file("2025/olga.kplat"), details, error);
    ASSERT_TRUE(id) << error;
    EXPECT_TRUE(error.empty()) << error;
    EXPECT_FALSE(std::filesystem::exists(subjectFile));
    EXPECT_EQ(reg->subject(alone.id)->sessionCount, 1);
}

// A detail that cannot be written beside a file is not kept in the register alone; a
// registration is never lost for its sidecar.
TEST(RegisterMatch, UnwritableSidecarsStopEditsButNotRegistrations) {
    RegisterFolder folder;
    writeRecording(folder.file("ann.kplat"), person("Ann", 0, 1, 1700000000));
    auto reg = folder.open();
    ASSERT_EQ(reg->scan({folder.data()}, false).added, 1);
    // A folder where the sidecar would go can be neither read nor replaced.
    std::filesystem::create_directory(folder.file("ann.kplat.json"));
    RegisterSubject ann = *reg->subject(1);
    ann.name = "Ann Renamed";
    std::string error;
    EXPECT_FALSE(reg->saveSubject(ann, error));
    EXPECT_NE(error.find("ann.kplat.json"), std::string::npos) << error;
    EXPECT_EQ(reg->subject(1)->name, "Ann");
    EXPECT_FALSE(reg->assign(reg->sessions(1)[0].id, 1, error));

    const auto id = reg->registerFile(folder.file("ann.kplat"), Sidecar{}, error);
    ASSERT_TRUE(id);
    EXPECT_EQ(*id, reg->sessions(1)[0].id);
    EXPECT_NE(error.find("sidecar"), std::string::npos) << error;
}

// Patient codes are unique; details the register cannot keep are refused in plain words.
TEST(RegisterMatch, SavingASubjectRefusesDuplicateCodesAndBadDetails) {
    RegisterFolder folder;
    auto reg = folder.open();
    const RegisterSubject ann = saved(*reg, subjectNamed("Ann", 'F', "A-1"));
    std::string error;
    RegisterSubject copy = subjectNamed("Other", 'F', " A-1 ");
    EXPECT_FALSE(reg->saveSubject(copy, error));
    EXPECT_NE(error.find("A-1"), std::string::npos) << error;
    EXPECT_NE(error.find("Ann"), std::string::npos) << error;
    EXPECT_EQ(copy.id, 0);

    for (const char* date : {"1950-02-30", "1950-13-01", "14.3.1950", "1951-02-29"}) {
        RegisterSubject bad = subjectNamed("Dated");
        bad.birthDate = date;
        EXPECT_FALSE(reg->saveSubject(bad, error)) << date;
    }
    RegisterSubject leap = subjectNamed("Leap");
    leap.birthDate = "1952-02-29";
    EXPECT_TRUE(reg->saveSubject(leap, error)) << error;
    RegisterSubject nameless = subjectNamed("   ");
    EXPECT_FALSE(reg->saveSubject(nameless, error));
    RegisterSubject unknown = subjectNamed("Ghost");
    unknown.id = 42;
    EXPECT_FALSE(reg->saveSubject(unknown, error));

    // Changing the subject's own code is fine; an empty code is no code.
    RegisterSubject same = ann;
    same.code = "";
    EXPECT_TRUE(reg->saveSubject(same, error)) << error;
    RegisterSubject another = subjectNamed("Bob", 'M');
    EXPECT_TRUE(reg->saveSubject(another, error)) << error;  // two subjects without code
    EXPECT_EQ(reg->subjects().size(), 3u);                   // Ann, Leap and Bob
}

// Search by name or code, ignoring case, with the search text's own wildcards taken literally.
TEST(RegisterMatch, SearchFindsNamesAndCodesAndEscapesWildcards) {
    RegisterFolder folder;
    auto reg = folder.open();
    saved(*reg, subjectNamed("Zoe 100% Fit", 'F', "X_1"));
    saved(*reg, subjectNamed("adam", 'M', "XY1"));
    saved(*reg, subjectNamed("Adam", 'M'));
    saved(*reg, subjectNamed("Bea", 'F', "ab\\c"));
    EXPECT_EQ(reg->subjects().size(), 4u);
    const auto adams = reg->subjects("ADA");
    ASSERT_EQ(adams.size(), 2u);
    EXPECT_EQ(adams[0].name, "Adam");  // by name, then id
    EXPECT_EQ(reg->subjects("0%").size(), 1u);
    EXPECT_EQ(reg->subjects("%").size(), 1u);
    EXPECT_EQ(reg->subjects("X_").size(), 1u);
    EXPECT_EQ(reg->subjects("x").size(), 2u);  // X_1 and XY1
    EXPECT_EQ(reg->subjects("b\\c").size(), 1u);
    EXPECT_TRUE(reg->subjects("nobody").empty());

    // Letters beyond ASCII fold too: a clinic types names as they come.
    saved(*reg, subjectNamed("Šťastná Žofie", 'F', "ČR-1"));
    saved(*reg, subjectNamed("ĽUBOŠ ĎURČO", 'M'));
    EXPECT_EQ(reg->subjects("šťast").size(), 1u);
    EXPECT_EQ(reg->subjects("ŽOF").size(), 1u);
    EXPECT_EQ(reg->subjects("čr-").size(), 1u);
    EXPECT_EQ(reg->subjects("ľuboš ďurčo").size(), 1u);
    EXPECT_TRUE(reg->subjects("stastna").empty());  // folding is not stripping accents
}

// The case folding of the search covers the letters of Windows-1250 and leaves everything
// else, malformed bytes included, as it is.
TEST(RegisterMatch, CaseFoldingCoversCentralEuropeanLetters) {
    EXPECT_EQ(reg::foldCase("ÁČĎÉĚÍĹĽŇÓÔŔŘŠŤÚŮÝŽ"), "áčďéěíĺľňóôŕřšťúůýž");
    EXPECT_EQ(reg::foldCase("ĄĆĘŁŃŚŹŻ ÄÖÜ ŐŰ Ţ"), "ąćęłńśźż äöü őű ţ");
    EXPECT_EQ(reg::foldCase("Ÿİ×ß"), "ÿi×ß");
    EXPECT_EQ(reg::foldCase("ĸŉ ΩЖ"), "ĸŉ ΩЖ");
    const std::string malformed = "A\xC3\xff\xc4";
    EXPECT_EQ(reg::foldCase(malformed), "a\xC3\xff\xc4");
}

}  // namespace
}  // namespace kenvo
