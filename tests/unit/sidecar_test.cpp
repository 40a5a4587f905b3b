#include <sys/stat.h>
#include <sys/time.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <string>

#include "files/sidecar.h"
#include "support/temp_dir.h"

namespace kenvo {
namespace {

Sidecar everyField() {
    Sidecar s;
    s.patientCode = "P-0042";
    s.birthDate = "1961-02-28";
    s.sex = 'M';
    s.notes = "Ménière's disease, right ear";
    s.subjectId = 17;
    s.protocol = "sensory";
    s.conditions = std::vector<std::optional<std::string>>{"eo-firm", std::nullopt, "ec-foam"};
    s.discardedAttempts = {0, 2};
    s.name = "Žofie Nováková";
    s.heightCm = 171;
    s.weightKg = 64;
    return s;
}

// A measurement file stand-in: the sidecar only looks at its size and modification time.
std::string makeKplat(const test::TempDir& dir, const std::string& bytes = "KPLAT") {
    const std::string path = dir.file("set.kplat");
    test::writeFileBytes(path, bytes);
    return path;
}

void setMtime(const std::string& path, long seconds) {
    const struct timeval times[2] = {{seconds, 0}, {seconds, 0}};
    ASSERT_EQ(::utimes(path.c_str(), times), 0);
}

std::string withKey(const std::string& key, const std::string& value) {
    return "{\"kenvoplat_sidecar\": 1, \"" + key + "\": " + value + "}";
}

TEST(Sidecar, EveryFieldSurvivesWriteAndRead) {
    test::TempDir dir;
    const std::string kplat = makeKplat(dir);
    std::string error;
    ASSERT_TRUE(writeSidecar(kplat, everyField(), error)) << error;
    EXPECT_EQ(sidecarPathOf(kplat), kplat + ".json");

    const SidecarRead read = readSidecar(kplat);
    ASSERT_EQ(read.state, SidecarState::Valid) << read.message;
    Sidecar expected = everyField();
    expected.kplatSize = 5;
    expected.kplatMtimeNs = read.sidecar.kplatMtimeNs;
    EXPECT_NE(expected.kplatMtimeNs, 0);
    EXPECT_EQ(read.sidecar, expected);

    // Discarded attempts are counted from 1 in the file.
    EXPECT_NE(
        test::readFileBytes(sidecarPathOf(kplat)).find("\"discarded_attempts\": [\n    1,\n    3"),
        std::string::npos);
}

TEST(Sidecar, AbsentFieldsStayAbsentAndNullsAreAccepted) {
    Sidecar empty;
    Sidecar parsed;
    std::string error;
    ASSERT_TRUE(parseSidecarJson(sidecarJson(empty), parsed, error)) << error;
    EXPECT_EQ(parsed, empty);

    const std::string nulls =
        R"({"kenvoplat_sidecar": 1, "patient_code": null, "birth_date": null, "sex": null,
            "notes": null, "subject_id": null, "protocol": null, "conditions": null,
            "kplat_size": 0, "kplat_mtime_ns": 0, "some_later_key": [1, 2]})";
    ASSERT_TRUE(parseSidecarJson(nulls, parsed, error)) << error;
    EXPECT_EQ(parsed, empty);
}

TEST(Sidecar, AbsentWhenThereIsNone) {
    test::TempDir dir;
    const SidecarRead read = readSidecar(makeKplat(dir));
    EXPECT_EQ(read.state, SidecarState::Absent);
    EXPECT_TRUE(read.message.empty());
}

TEST(Sidecar, StaleOnceTheMeasurementFileChanges) {
    test::TempDir dir;
    const std::string kplat = makeKplat(dir);
    setMtime(kplat, 1'700'000'000);
    std::string error;
    ASSERT_TRUE(writeSidecar(kplat, everyField(), error)) << error;
    ASSERT_EQ(readSidecar(kplat).state, SidecarState::Valid);

    // Same size, another time.
    setMtime(kplat, 1'700'000'100);
    SidecarRead read = readSidecar(kplat);
    EXPECT_EQ(read.state, SidecarState::Stale);
    EXPECT_NE(read.message.find(kplat), std::string::npos) << read.message;
    EXPECT_EQ(read.sidecar.patientCode, "P-0042");  // kept for the review of what it said

    // Same time, another size.
    test::writeFileBytes(kplat, "KPLAT+");
    setMtime(kplat, 1'700'000'000);
    EXPECT_EQ(readSidecar(kplat).state, SidecarState::Stale);

    // The measurement file gone.
    ASSERT_EQ(::unlink(kplat.c_str()), 0);
    EXPECT_EQ(readSidecar(kplat).state, SidecarState::Stale);
}

TEST(Sidecar, DamagedContentIsReportedNeverThrown) {
    const char* cases[] = {
        "",
        "{\"kenvoplat_sidecar\": 1,",
        "[1, 2, 3]",
        "{\"patient_code\": \"A\"}",  // no version
        "{\"kenvoplat_sidecar\": \"1\"}",
        "{\"kenvoplat_sidecar\": 0}",
    };
    for (const char* text : cases) {
        Sidecar s;
        std::string error;
        EXPECT_FALSE(parseSidecarJson(text, s, error)) << text;
        EXPECT_FALSE(error.empty()) << text;
    }
}

TEST(Sidecar, WrongTypesAndImpossibleValuesAreDamaged) {
    const std::pair<const char*, const char*> cases[] = {
        {"patient_code", "12"},
        {"birth_date", "\"1961-02-29\""},  // not a leap year
        {"birth_date", "\"1961-13-01\""},
        {"birth_date", "\"61-02-01\""},
        {"birth_date", "19610201"},
        {"sex", "\"X\""},
        {"sex", "\"female\""},
        {"notes", "{}"},
        {"subject_id", "\"17\""},
        {"subject_id", "1.5"},
        {"subject_id", "0"},
        {"subject_id", "18446744073709551615"},
        {"protocol", "true"},
        {"conditions", "\"eo-firm\""},
        {"conditions", "[\"eo-firm\", 3]"},
        {"discarded_attempts", "[0]"},
        {"discarded_attempts", "[\"1\"]"},
        {"discarded_attempts", "1"},
        {"name", "[\"A\"]"},
        {"height_cm", "170.5"},
        {"height_cm", "-1"},
        {"weight_kg", "501"},
        {"kplat_size", "-5"},
        {"kplat_mtime_ns", "\"now\""},
    };
    for (const auto& [key, value] : cases) {
        Sidecar s;
        std::string error;
        EXPECT_FALSE(parseSidecarJson(withKey(key, value), s, error)) << key << " = " << value;
        EXPECT_NE(error.find(key), std::string::npos) << error;
    }
    Sidecar s;
    std::string error;
    EXPECT_TRUE(parseSidecarJson(withKey("birth_date", "\"2000-02-29\""), s, error)) << error;
    EXPECT_EQ(s.birthDate, "2000-02-29");
}

TEST(Sidecar, CalendarDatesMustExist) {
    for (const char* date : {"2000-02-29", "1904-02-29", "1999-12-31", "0001-01-01", "2026-04-30"})
        EXPECT_TRUE(isCalendarDate(date)) << date;
    for (const char* date : {"1900-02-29", "2023-02-29", "2026-04-31", "2026-00-10", "2026-12-00",
                             "0000-01-01", "2026-1-10", "2026/01/10", "2026-01-10 ", " 2026-01-10",
                             "2026-01-1x", ""})
        EXPECT_FALSE(isCalendarDate(date)) << date;
}

TEST(Sidecar, NewerVersionIsDamagedWithAPlainMessage) {
    test::TempDir dir;
    const std::string kplat = makeKplat(dir);
    test::writeFileBytes(sidecarPathOf(kplat), "{\"kenvoplat_sidecar\": 2, \"sex\": 7}");
    const SidecarRead read = readSidecar(kplat);
    EXPECT_EQ(read.state, SidecarState::Damaged);
    EXPECT_NE(read.message.find("newer version"), std::string::npos) << read.message;
    EXPECT_NE(read.message.find(sidecarPathOf(kplat)), std::string::npos) << read.message;
}

TEST(Sidecar, BadJsonFifoAndFolderInItsPlaceAreDamaged) {
    test::TempDir dir;
    const std::string kplat = makeKplat(dir);
    const std::string path = sidecarPathOf(kplat);

    test::writeFileBytes(path, "{not json");
    SidecarRead read = readSidecar(kplat);
    EXPECT_EQ(read.state, SidecarState::Damaged);
    EXPECT_NE(read.message.find(path), std::string::npos) << read.message;

    ASSERT_EQ(::unlink(path.c_str()), 0);
    ASSERT_EQ(::mkfifo(path.c_str(), 0600), 0);  // would block a careless reader
    EXPECT_EQ(readSidecar(kplat).state, SidecarState::Damaged);

    ASSERT_EQ(::unlink(path.c_str()), 0);
    ASSERT_EQ(::mkdir(path.c_str(), 0700), 0);
    read = readSidecar(kplat);
    EXPECT_EQ(read.state, SidecarState::Damaged);
    EXPECT_FALSE(read.message.empty());

    // Larger than any sidecar.
    ASSERT_EQ(::rmdir(path.c_str()), 0);
    test::writeFileBytes(path, "");
    ASSERT_EQ(::truncate(path.c_str(), (1 << 20) + 1), 0);
    EXPECT_EQ(readSidecar(kplat).state, SidecarState::Damaged);
}

TEST(Sidecar, WrittenPrivateToTheUser) {
    test::TempDir dir;
    const std::string kplat = makeKplat(dir);
    const mode_t oldMask = ::umask(0);  // the most permissive umask must not leak into it
    std::string error;
    const bool written = writeSidecar(kplat, everyField(), error);
    ::umask(oldMask);
    ASSERT_TRUE(written) << error;
    struct stat st {};
    ASSERT_EQ(::stat(sidecarPathOf(kplat).c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);
}

TEST(Sidecar, RefusedOrFailedWriteKeepsTheOldSidecar) {
    test::TempDir dir;
    const std::string kplat = makeKplat(dir);
    std::string error;
    ASSERT_TRUE(writeSidecar(kplat, everyField(), error)) << error;
    const std::string before = test::readFileBytes(sidecarPathOf(kplat));

    Sidecar badDate = everyField();
    badDate.birthDate = "1990-04-31";
    EXPECT_FALSE(writeSidecar(kplat, badDate, error));
    EXPECT_NE(error.find("1990-04-31"), std::string::npos) << error;
    Sidecar badSex = everyField();
    badSex.sex = 'x';
    EXPECT_FALSE(writeSidecar(kplat, badSex, error));

    // A folder nobody may write to: the temporary file cannot be made.
    if (::geteuid() != 0) {
        ASSERT_EQ(::chmod(dir.path().c_str(), 0500), 0);
        Sidecar changed = everyField();
        changed.patientCode = "P-9999";
        EXPECT_FALSE(writeSidecar(kplat, changed, error));
        EXPECT_FALSE(error.empty());
        ASSERT_EQ(::chmod(dir.path().c_str(), 0700), 0);
    }
    EXPECT_EQ(test::readFileBytes(sidecarPathOf(kplat)), before);
    EXPECT_EQ(readSidecar(kplat).state, SidecarState::Valid);
}

TEST(Sidecar, WriteNeedsTheMeasurementFile) {
    test::TempDir dir;
    std::string error;
    EXPECT_FALSE(writeSidecar(dir.file("gone.kplat"), everyField(), error));
    EXPECT_NE(error.find("gone.kplat"), std::string::npos) << error;
    EXPECT_NE(::access(dir.file("gone.kplat.json").c_str(), F_OK), 0);
}

}  // namespace
}  // namespace kenvo
