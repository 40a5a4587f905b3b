#include <gtest/gtest.h>
#include <sqlite3.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <random>

#include "register/subject_register.h"
#include "register_test_support.h"

namespace kenvo {
namespace {

using test::RegisterFolder;
using test::subjectNamed;

mode_t modeOf(const std::string& path) {
    struct stat st {};
    EXPECT_EQ(::stat(path.c_str(), &st), 0) << path;
    return st.st_mode & 0777;
}

// Writes a plain SQLite database with the given statements, as another program might.
void makeSqlite(const std::string& path, const char* sql) {
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(path.c_str(), &db), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(db, sql, nullptr, nullptr, nullptr), SQLITE_OK);
    sqlite3_close(db);
}

// The register holds names and birth dates: the file and the journal files SQLite makes
// beside it are the user's alone, whatever the umask.
TEST(RegisterOpen, ANewRegisterAndItsJournalFilesArePrivate) {
    RegisterFolder folder;
    const mode_t oldMask = ::umask(0);
    RegisterOpenResult result;
    auto reg = SubjectRegister::open(folder.db(), folder.data(), result);
    ::umask(oldMask);
    ASSERT_NE(reg, nullptr) << result.message;
    EXPECT_EQ(result.migratedFrom, 0);
    EXPECT_EQ(modeOf(folder.db()), 0600u);

    RegisterSubject ann = subjectNamed("Ann");
    std::string error;
    ASSERT_TRUE(reg->saveSubject(ann, error)) << error;
    ASSERT_TRUE(std::filesystem::exists(folder.db() + "-wal"))
        << "not in WAL mode: " << result.note;
    EXPECT_EQ(modeOf(folder.db() + "-wal"), 0600u);
    EXPECT_EQ(modeOf(folder.db() + "-shm"), 0600u);
}

// Files that are not this program's register are refused with a message naming them, and are
// left exactly as they were.
TEST(RegisterOpen, ForeignFilesAreRefusedInPlainWordsAndLeftAlone) {
    RegisterFolder folder;
    struct Case {
        std::string name;
        RegisterOpenState expected;
    };
    std::vector<Case> cases;

    std::string random(8192, '\0');
    std::mt19937 rng(7);
    for (char& c : random) c = static_cast<char>(rng());
    test::writeFileBytes(folder.file("random.sqlite"), random);
    cases.push_back({"random.sqlite", RegisterOpenState::NotARegister});

    test::writeFileBytes(folder.file("notes.sqlite"), "name,sex\nAnn,F\n");
    cases.push_back({"notes.sqlite", RegisterOpenState::NotARegister});

    makeSqlite(folder.file("newer.sqlite"),
               "CREATE TABLE subjects (id INTEGER); PRAGMA user_version = 99;");
    cases.push_back({"newer.sqlite", RegisterOpenState::NewerSchema});

    makeSqlite(folder.file("other.sqlite"), "CREATE TABLE invoices (id INTEGER, total REAL);");
    cases.push_back({"other.sqlite", RegisterOpenState::NotARegister});

    std::filesystem::create_directory(folder.file("folder.sqlite"));
    cases.push_back({"folder.sqlite", RegisterOpenState::CannotOpen});

    for (const Case& c : cases) {
        const std::string path = folder.file(c.name);
        const std::string before =
            std::filesystem::is_directory(path) ? std::string() : test::readFileBytes(path);
        RegisterOpenResult result;
        EXPECT_EQ(SubjectRegister::open(path, folder.data(), result), nullptr) << c.name;
        EXPECT_EQ(result.state, c.expected) << c.name << ": " << result.message;
        EXPECT_NE(result.message.find(path), std::string::npos) << result.message;
        if (!std::filesystem::is_directory(path)) {
            EXPECT_EQ(test::readFileBytes(path), before) << c.name << " was changed";
        }
        EXPECT_FALSE(std::filesystem::exists(path + "-wal")) << c.name;
    }
}

// A register with bytes overwritten, in its header or in the middle of its pages, is reported
// and never crashes the program.
TEST(RegisterOpen, OverwrittenBytesAreReportedNotCrashedOn) {
    RegisterFolder folder;
    folder.open();
    {
        // Filled in one transaction: many pages, every one in use.
        sqlite3* db = nullptr;
        ASSERT_EQ(sqlite3_open(folder.db().c_str(), &db), SQLITE_OK);
        ASSERT_EQ(
            sqlite3_exec(
                db,
                "BEGIN;"
                "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 1500)"
                " INSERT INTO subjects (id, code, name, sex, notes)"
                " SELECT i, 'CODE-' || i, 'Subject number ' || i, 'F', printf('%.120c', 'a')"
                " FROM n;"
                "COMMIT;"
                // As a register copied from a file system without WAL would be.
                "PRAGMA journal_mode = DELETE;",
                nullptr, nullptr, nullptr),
            SQLITE_OK);
        sqlite3_close(db);
    }  // closing the last connection folds the WAL back into the file
    ASSERT_FALSE(std::filesystem::exists(folder.db() + "-wal"));
    const std::string good = test::readFileBytes(folder.db());
    ASSERT_GT(good.size(), 64u * 1024);

    struct Damage {
        std::size_t offset;
        std::size_t length;
    };
    for (Damage d :
         {Damage{0, 100}, Damage{good.size() / 2, 4096}, Damage{good.size() / 3 + 100, 700}}) {
        std::string bad = good;
        for (std::size_t i = 0; i < d.length; ++i)
            bad[d.offset + i] = static_cast<char>(0xA5 ^ (i * 37));
        test::writeFileBytes(folder.db(), bad);
        RegisterOpenResult result;
        auto reg = SubjectRegister::open(folder.db(), folder.data(), result);
        EXPECT_EQ(reg, nullptr) << "damage at " << d.offset << " not noticed";
        EXPECT_TRUE(result.state == RegisterOpenState::Damaged ||
                    result.state == RegisterOpenState::NotARegister)
            << result.message;
        EXPECT_NE(result.message.find(folder.db()), std::string::npos) << result.message;
        // Refused before anything was written: it can be set aside exactly as it was.
        EXPECT_TRUE(test::readFileBytes(folder.db()) == bad)
            << "damage at " << d.offset << " was written to";
    }
}

// The register the first release wrote (schema 1) opens after migration with all its data,
// and the new columns take new sessions.
TEST(RegisterOpen, AVersion1RegisterOpensAfterMigrationWithItsData) {
    RegisterFolder folder;
    std::filesystem::copy_file(KENVO_REGISTER_V1_FIXTURE, folder.db());
    RegisterOpenResult result;
    auto reg = SubjectRegister::open(folder.db(), folder.data(), result);
    ASSERT_NE(reg, nullptr) << result.message;
    EXPECT_EQ(result.migratedFrom, 1);

    const auto subjects = reg->subjects();
    ASSERT_EQ(subjects.size(), 3u);
    EXPECT_EQ(subjects[0].name, "Eva Nová");  // by name
    const auto jana = reg->subject(1);
    ASSERT_TRUE(jana);
    EXPECT_EQ(jana->code, "P-001");
    EXPECT_EQ(jana->birthDate, "1950-03-14");
    EXPECT_EQ(jana->notes, "knee replacement 2019");
    EXPECT_EQ(jana->sessionCount, 2);
    EXPECT_TRUE(reg->subject(2)->code.empty());
    EXPECT_EQ(reg->subject(2)->sex, 'M');

    const auto sessions = reg->sessions(1);
    ASSERT_EQ(sessions.size(), 2u);
    EXPECT_EQ(sessions[0].file, "clinic/jana-2024-01.kplat");
    EXPECT_EQ(sessions[0].fileMtimeNs, 1704100100123456789);
    EXPECT_EQ(sessions[0].velocity, 12.0);
    EXPECT_EQ(sessions[0].area95, 200.0);
    EXPECT_EQ(sessions[1].velocity, 10.0);  // even count: the mean of the middle two

    const auto history = reg->history(1, ClinicalMeasure::Velocity);
    ASSERT_EQ(history.size(), 2u);
    EXPECT_EQ(history[0].attempts, 3);
    EXPECT_EQ(history[1].value, 10.0);
    EXPECT_TRUE(reg->history(2, ClinicalMeasure::Velocity).empty());  // target hitting only
    EXPECT_FALSE(reg->sessions(2)[0].velocity.has_value());
    ASSERT_EQ(reg->reviewSessions().size(), 1u);
    EXPECT_EQ(reg->reviewSessions()[0].status, SessionStatus::Review);

    test::writeRecording(folder.file("new/visit.kplat"), {});
    const ScanReport report = reg->scan({folder.data()}, false);
    EXPECT_EQ(report.added, 1) << report.error;
    reg.reset();

    // Migrated once: the next open finds the current schema.
    RegisterOpenResult again;
    ASSERT_NE(SubjectRegister::open(folder.db(), folder.data(), again), nullptr) << again.message;
    EXPECT_EQ(again.migratedFrom, 0);
}

// A register that cannot be used moves out of the way under a new name, with its journal
// files; nothing already there is ever replaced.
TEST(RegisterOpen, SetAsideKeepsTheOldFileAndNeverOverwrites) {
    RegisterFolder folder;
    test::writeFileBytes(folder.db(), "first");
    test::writeFileBytes(folder.db() + "-wal", "first wal");
    std::string kept, error;
    ASSERT_TRUE(SubjectRegister::setAside(folder.db(), kept, error)) << error;
    EXPECT_NE(kept.find(".unusable-"), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(folder.db()));
    EXPECT_FALSE(std::filesystem::exists(folder.db() + "-wal"));
    EXPECT_EQ(test::readFileBytes(kept), "first");
    EXPECT_EQ(test::readFileBytes(kept + "-wal"), "first wal");

    // A second one in the same second takes the next free name.
    test::writeFileBytes(folder.db(), "second");
    std::string keptAgain;
    ASSERT_TRUE(SubjectRegister::setAside(folder.db(), keptAgain, error)) << error;
    EXPECT_NE(keptAgain, kept);
    EXPECT_EQ(test::readFileBytes(kept), "first");
    EXPECT_EQ(test::readFileBytes(keptAgain), "second");

    std::string none;
    EXPECT_FALSE(SubjectRegister::setAside(folder.db(), none, error));
    EXPECT_NE(error.find(folder.db()), std::string::npos) << error;
}

}  // namespace
}  // namespace kenvo
