// kenvoplat-cli register on small data folders of its own: damaged and newer registers and
// their rebuild, review and assignment, usage errors, changed and missing files; and the
// subject options of import-csv.
#include <sqlite3.h>
#include <sys/stat.h>

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "register_cli_support.h"
#include "support/temp_dir.h"
#include "support/validation_data.h"

namespace kenvo {
namespace {

namespace fs = std::filesystem;
using test::cli;
using test::csvRows;
using test::describe;
using test::fiveLines;
using test::Rows;
using test::shortRecordings;

// A small data folder of its own for the tests that damage or change files.
class SmallRegister : public ::testing::Test {
  protected:
    void SetUp() override {
        if (!test::validationDir()) GTEST_SKIP() << test::validationMissingReason();
        fs::create_directories(dir_.path() + "/inputs");
        inputs_ = shortRecordings(dir_.path() + "/inputs", 5);
        data_ = dir_.path() + "/DATA";
        fs::create_directories(data_);
        reg_ = data_ + "/kenvoplat-register.sqlite";
    }

    test::ProcessResult run(std::vector<std::string> args) { return cli(dir_.path(), args); }

    void import(const std::string& name, std::vector<std::string> options, int attempts = 2) {
        fs::create_directories(fs::path(data_ + "/" + name).parent_path());
        std::vector<std::string> args = {"import-csv", "-o", data_ + "/" + name};
        args.insert(args.end(), options.begin(), options.end());
        for (int k = 0; k < attempts; ++k) args.push_back(inputs_[static_cast<std::size_t>(k)]);
        const auto r = run(args);
        ASSERT_EQ(r.exitCode, 0) << describe(r);
    }

    std::string listing() { return run({"register", "subjects", "--format", "csv"}).out; }

    test::TempDir dir_;
    std::vector<std::string> inputs_;
    std::string data_, reg_;
};

void overwriteFrom(const std::string& path, std::size_t offset, std::size_t count) {
    std::string bytes = test::readFileBytes(path);
    ASSERT_GT(bytes.size(), offset);
    for (std::size_t i = offset; i < std::min(bytes.size(), offset + count); ++i)
        bytes[i] = static_cast<char>(0xA5 ^ (i * 31));
    test::writeFileBytes(path, bytes);
}

std::vector<std::string> filesBeside(const std::string& path) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(fs::path(path).parent_path()))
        names.push_back(entry.path().string());
    return names;
}

// The file a rebuild kept: the one new name beside the register other than journals.
std::string keptFile(const std::vector<std::string>& before, const std::string& reg) {
    std::vector<std::string> added;
    for (const std::string& name : filesBeside(reg)) {
        const bool journal = name.ends_with("-wal") || name.ends_with("-shm");
        const bool ours = name == reg || journal;
        if (!ours && std::find(before.begin(), before.end(), name) == before.end())
            added.push_back(name);
    }
    EXPECT_EQ(added.size(), 1u);
    return added.size() == 1 ? added[0] : std::string();
}

TEST_F(SmallRegister, DamagedRegisterIsNamedAndRebuiltWhileTheOldFileIsKept) {
    import("a.kplat", {"--subject", "Anna", "--code", "A1"});
    import("b.kplat", {"--subject", "Boris", "--sex", "M", "--code", "B1"});
    import("sub/c.kplat", {"--subject", "Anna", "--code", "A1"}, 3);
    ASSERT_EQ(run({"register", "scan", data_}).exitCode, 0);
    const std::string good = listing();
    ASSERT_EQ(csvRows(good).size(), 3u) << good;

    // Every page after the first overwritten: the schema still names tables that are garbage.
    overwriteFrom(reg_, 4096, 1 << 20);
    const std::string damaged = test::readFileBytes(reg_);
    // Every command names the file and how to rebuild it; nothing is written to it.
    for (const std::vector<std::string>& command :
         {std::vector<std::string>{"register", "check"},
          std::vector<std::string>{"register", "subjects"},
          std::vector<std::string>{"register", "sessions", "1"},
          std::vector<std::string>{"register", "scan", data_}}) {
        const auto r = run(command);
        EXPECT_EQ(r.exitCode, 1) << command[1] << "\n" << describe(r);
        EXPECT_NE(r.err.find(reg_), std::string::npos) << r.err;
        EXPECT_NE(r.err.find("--rebuild"), std::string::npos) << r.err;
    }
    EXPECT_EQ(test::readFileBytes(reg_), damaged);

    const auto before = filesBeside(reg_);
    auto r = run({"register", "scan", "--rebuild", data_});
    ASSERT_EQ(r.exitCode, 0) << describe(r);
    EXPECT_EQ(r.out, fiveLines(3, 0, 0, 0, 0));
    EXPECT_NE(r.err.find("kept as"), std::string::npos) << r.err;
    const std::string kept = keptFile(before, reg_);
    ASSERT_FALSE(kept.empty()) << r.err;
    EXPECT_EQ(test::readFileBytes(kept), damaged);
    EXPECT_EQ(listing(), good);
    EXPECT_EQ(run({"register", "check"}).exitCode, 0);
}

TEST_F(SmallRegister, RegisterOfANewerVersionIsRefusedAndRebuilt) {
    import("a.kplat", {"--subject", "Anna", "--code", "A1"});
    ASSERT_EQ(run({"register", "scan", data_}).exitCode, 0);
    const std::string good = listing();
    {
        sqlite3* db = nullptr;
        ASSERT_EQ(sqlite3_open(reg_.c_str(), &db), SQLITE_OK);
        EXPECT_EQ(sqlite3_exec(db, "PRAGMA user_version = 99", nullptr, nullptr, nullptr),
                  SQLITE_OK);
        sqlite3_close(db);
    }
    for (const std::vector<std::string>& command :
         {std::vector<std::string>{"register", "subjects"},
          std::vector<std::string>{"register", "scan", data_}}) {
        const auto r = run(command);
        EXPECT_EQ(r.exitCode, 1) << describe(r);
        EXPECT_NE(r.err.find(reg_), std::string::npos) << r.err;
        EXPECT_NE(r.err.find("newer version"), std::string::npos) << r.err;
        EXPECT_NE(r.err.find("--rebuild"), std::string::npos) << r.err;
    }

    const auto before = filesBeside(reg_);
    const auto r = run({"register", "scan", "--rebuild", data_});
    ASSERT_EQ(r.exitCode, 0) << describe(r);
    EXPECT_EQ(listing(), good);
    const std::string kept = keptFile(before, reg_);
    ASSERT_FALSE(kept.empty()) << r.err;
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open_v2(kept.c_str(), &db, SQLITE_OPEN_READONLY, nullptr), SQLITE_OK);
    sqlite3_stmt* statement = nullptr;
    ASSERT_EQ(sqlite3_prepare_v2(db, "PRAGMA user_version", -1, &statement, nullptr), SQLITE_OK);
    ASSERT_EQ(sqlite3_step(statement), SQLITE_ROW);
    EXPECT_EQ(sqlite3_column_int(statement, 0), 99);
    sqlite3_finalize(statement);
    sqlite3_close(db);
}

TEST_F(SmallRegister, AssignResolvesAReviewAndSurvivesARebuild) {
    // Two subjects of one name and sex, told apart by their codes; a third file without a
    // code matches both equally and waits for review.
    import("a.kplat", {"--subject", "Jan Novák", "--sex", "M", "--code", "N-1"});
    import("b.kplat", {"--subject", "Jan Novák", "--sex", "M", "--code", "N-2"});
    import("c.kplat", {"--subject", "Jan Novák", "--sex", "M"});
    auto r = run({"register", "scan", data_});
    ASSERT_EQ(r.exitCode, 0) << describe(r);
    EXPECT_EQ(r.out, fiveLines(2, 0, 0, 0, 1));

    r = run({"register", "sessions", "--review", "--format", "csv"});
    Rows review = csvRows(r.out);
    ASSERT_EQ(review.size(), 2u) << describe(r);
    EXPECT_EQ(review[1][1], "");
    EXPECT_EQ(review[1][2], "c.kplat");
    EXPECT_EQ(review[1][6], "review");
    const std::string session = review[1][0];
    const Rows subjects = csvRows(listing());
    ASSERT_EQ(subjects.size(), 3u);
    const std::string second = subjects[1][1] == "N-2" ? subjects[1][0] : subjects[2][0];

    EXPECT_EQ(run({"register", "assign", session, "999"}).exitCode, 1);
    EXPECT_EQ(run({"register", "assign", session, "x"}).exitCode, 2);
    r = run({"register", "assign", session, second});
    ASSERT_EQ(r.exitCode, 0) << describe(r);

    const auto sessionsOf = [&] {
        return run({"register", "sessions", second, "--format", "csv"}).out;
    };
    const std::string assigned = sessionsOf();
    EXPECT_NE(assigned.find(session + "," + second + ",c.kplat,stance,"), std::string::npos)
        << assigned;
    EXPECT_NE(assigned.find(",ok\n"), std::string::npos);
    EXPECT_EQ(csvRows(run({"register", "sessions", "--review", "--format", "csv"}).out).size(), 1u);

    r = run({"register", "scan", "--rebuild", data_});
    ASSERT_EQ(r.exitCode, 0) << describe(r);
    EXPECT_EQ(r.out, fiveLines(3, 0, 0, 0, 0));
    EXPECT_EQ(sessionsOf(), assigned);
}

TEST_F(SmallRegister, UsageAndMissingThingsAreReportedPlainly) {
    auto r = run({"register", "subjects"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.err.find(reg_), std::string::npos) << r.err;  // no register yet
    EXPECT_FALSE(fs::exists(reg_));
    EXPECT_EQ(run({"register"}).exitCode, 2);
    EXPECT_EQ(run({"register", "frobnicate"}).exitCode, 2);
    EXPECT_EQ(run({"register", "scan"}).exitCode, 2);
    EXPECT_EQ(run({"register", "scan", data_ + "/absent"}).exitCode, 1);
    EXPECT_EQ(run({"register", "sessions", "0"}).exitCode, 2);
    EXPECT_EQ(run({"register", "subjects", "--format", "xml"}).exitCode, 2);

    import("a.kplat", {"--subject", "Anna"});
    test::writeFileBytes(data_ + "/broken.kplat", "not a measurement file");
    r = run({"register", "scan", data_});
    ASSERT_EQ(r.exitCode, 0) << describe(r);
    EXPECT_EQ(r.out.rfind(fiveLines(1, 0, 0, 1, 0), 0), 0u) << r.out;
    // Named as the register names files: relative to the data folder.
    EXPECT_NE(r.out.find("\nskipped broken.kplat: "), std::string::npos) << r.out;

    r = run({"register", "history", "1"});
    EXPECT_EQ(r.exitCode, 2) << describe(r);
    r = run({"register", "history", "1", "--measure", "speed"});
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_NE(r.err.find("speed"), std::string::npos) << r.err;
    EXPECT_EQ(run({"register", "history", "42", "--measure", "rms_mm"}).exitCode, 1);
    r = run({"register", "history", "1", "--measure", "rms_mm"});
    EXPECT_EQ(r.exitCode, 0) << describe(r);
    EXPECT_NE(r.out.find("a.kplat"), std::string::npos) << r.out;

    // A changed file is read again; a file that is gone is marked missing and fails the check.
    import("a.kplat", {"--subject", "Anna"}, 3);
    EXPECT_EQ(run({"register", "check"}).exitCode, 1);
    r = run({"register", "scan", data_});
    EXPECT_EQ(r.out.substr(0, r.out.find("skipped")), "added 0\nupdated 1\nunchanged 0\n");
    fs::remove(data_ + "/a.kplat");
    r = run({"register", "scan", data_});
    EXPECT_EQ(r.exitCode, 0) << describe(r);
    r = run({"register", "sessions", "1", "--format", "csv"});
    EXPECT_NE(r.out.find(",a.kplat,stance,"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find(",3,missing\n"), std::string::npos) << r.out;
    r = run({"register", "check"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.out.find("a.kplat"), std::string::npos) << r.out;
}

// import-csv's subject options: into the measurement file's subject record, and into the
// sidecar what the file cannot hold. No validation data needed: a synthetic recording will do.
class ImportCsvSubject : public ::testing::Test {
  protected:
    void SetUp() override {
        std::string csv = "t_s,x_mm,y_mm\n";
        for (int i = 0; i < 1000; ++i)
            csv += std::to_string(i / 100.0) + "," + std::to_string(0.01 * (i % 37)) + "," +
                   std::to_string(-0.02 * (i % 23)) + "\n";
        input_ = dir_.file("input.csv");
        test::writeFileBytes(input_, csv);
        out_ = dir_.file("set.kplat");
    }

    test::ProcessResult import(std::vector<std::string> options, int inputs = 1) {
        options.insert(options.begin(), {"import-csv", "-o", out_});
        for (int i = 0; i < inputs; ++i) options.push_back(input_);
        return cli(dir_.path(), options);
    }

    test::TempDir dir_;
    std::string input_, out_;
};

TEST_F(ImportCsvSubject, OptionsLandInTheRecordAndTheSidecar) {
    auto r = import({"--subject", "Věra Černá", "--sex", "M", "--height", "172", "--weight", "81",
                     "--code", "K-77", "--birth-date", "1944-02-29", "--conditions",
                     "eo-firm,ec-foam,eo-foam", "--recorded-at", "2026-03-04T05:06:07Z"},
                    3);
    ASSERT_EQ(r.exitCode, 0) << describe(r);

    r = cli(dir_.path(), {"info", out_});
    ASSERT_EQ(r.exitCode, 0) << describe(r);
    EXPECT_NE(r.out.find("subject: Věra Černá\nsex: male\nheight: 172\nweight: 81\n"),
              std::string::npos)
        << r.out;
    // Each attempt of 10 s starts when the one before it ended.
    EXPECT_NE(r.out.find("attempt 1: 2026-03-04 05:06:07,"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("attempt 2: 2026-03-04 05:06:17,"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("attempt 3: 2026-03-04 05:06:27,"), std::string::npos) << r.out;

    const std::string sidecar = out_ + ".json";
    const auto json = nlohmann::json::parse(test::readFileBytes(sidecar));
    EXPECT_EQ(json["kenvoplat_sidecar"], 1);
    EXPECT_EQ(json["patient_code"], "K-77");
    EXPECT_EQ(json["birth_date"], "1944-02-29");
    EXPECT_EQ(json["protocol"], "sensory");
    EXPECT_EQ(json["conditions"], nlohmann::json({"eo-firm", "ec-foam", "eo-foam"}));
    EXPECT_EQ(json["kplat_size"], fs::file_size(out_));
    struct stat st {};
    ASSERT_EQ(::stat(sidecar.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);

    // The register takes the code and the birth date from the sidecar.
    fs::create_directories(dir_.file("DATA"));
    ASSERT_EQ(cli(dir_.path(), {"register", "scan", dir_.path()}).exitCode, 0);
    r = cli(dir_.path(), {"register", "subjects", "--format", "csv"});
    EXPECT_EQ(csvRows(r.out).at(1), (std::vector<std::string>{"1", "K-77", "Věra Černá",
                                                              "1944-02-29", "M", "172", "81", "1"}))
        << r.out;
}

TEST_F(ImportCsvSubject, WithoutCodeDateOrConditionsThereIsNoSidecar) {
    const auto r = import({"--subject", "Eva"});
    ASSERT_EQ(r.exitCode, 0) << describe(r);
    EXPECT_FALSE(fs::exists(out_ + ".json"));
    const auto info = cli(dir_.path(), {"info", out_});
    EXPECT_NE(info.out.find("subject: Eva\nsex: female\nheight: 0\nweight: 0\n"), std::string::npos)
        << info.out;
}

TEST_F(ImportCsvSubject, StartTimesBeyond2038AndUpTo2106) {
    auto r = import({"--recorded-at", "2050-06-01T12:00:00Z"}, 2);
    ASSERT_EQ(r.exitCode, 0) << describe(r);
    r = cli(dir_.path(), {"info", out_});
    EXPECT_NE(r.out.find("attempt 2: 2050-06-01 12:00:10,"), std::string::npos) << r.out;

    // The first attempt fits, the second would start after the last second a file can hold.
    fs::remove(out_);
    r = import({"--recorded-at", "2106-02-07T06:28:10Z"}, 2);
    EXPECT_EQ(r.exitCode, 1) << describe(r);
    EXPECT_NE(r.err.find("2106"), std::string::npos) << r.err;
    EXPECT_FALSE(fs::exists(out_));
}

TEST_F(ImportCsvSubject, MalformedOptionsAreUsageErrorsAndWriteNothing) {
    const std::vector<std::vector<std::string>> bad = {
        {"--sex", "X"},
        {"--sex", "f"},
        {"--height", "251"},
        {"--height", "170.5"},
        {"--weight", "-1"},
        {"--weight", "501"},
        {"--birth-date", "2023-02-29"},
        {"--birth-date", "1990-4-1"},
        {"--code", ""},
        {"--conditions", "eo-firm,ec-firm"},  // two conditions, one input
        {"--conditions", "eyes-open"},
        {"--recorded-at", "2026-03-04 05:06:07"},
        {"--recorded-at", "2026-13-04T05:06:07Z"},
        {"--recorded-at", "2026-03-04T24:00:00Z"},
        {"--recorded-at", "2107-01-01T00:00:00Z"},  // beyond what a data file's time holds
    };
    for (const auto& options : bad) {
        const auto r = import(options);
        EXPECT_EQ(r.exitCode, 2) << options[0] << " " << options[1] << "\n" << describe(r);
        EXPECT_NE(r.err.find(options[0]), std::string::npos) << r.err;
        EXPECT_FALSE(fs::exists(out_)) << options[0] << " " << options[1];
        EXPECT_FALSE(fs::exists(out_ + ".json"));
    }
}

}  // namespace
}  // namespace kenvo
