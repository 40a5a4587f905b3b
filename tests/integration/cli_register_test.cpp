// kenvoplat-cli register end to end: a data set of 200 files of 50 subjects made with
// import-csv, scanned, listed, edited through the register and rebuilt from the files; a scan
// killed halfway and two scans at once.
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <future>
#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "register/subject_register.h"
#include "register_cli_support.h"
#include "support/process.h"
#include "support/temp_dir.h"
#include "support/validation_data.h"

namespace kenvo {
namespace {

namespace fs = std::filesystem;
using test::cli;
using test::column;
using test::csvRows;
using test::describe;
using test::fiveLines;
using test::format;
using test::Rows;
using test::runProcess;
using test::shortRecordings;
using test::twelveDigits;

constexpr const char* Cli = KENVOPLAT_CLI;
constexpr int Subjects = 50;
constexpr int Visits = 4;

// One file of the shared data set.
struct DataFile {
    int subject = 0;
    int visit = 0;
    std::string relative;  // under DATA
    int attempts = 0;
    std::string recordedAt;
};

std::string codeOf(int subject) {
    return format("P%03d", subject);
}

// 200 files: four visits of 50 subjects, spread over subfolders by visit and group, each of
// one to three attempts cut from the validation recordings. Every test works on its own copy,
// as registering writes the files' sidecars. Making them takes seconds and ctest runs each
// test in a process of its own, so the set is kept in the build tree and made again only when
// the command line or the recordings change.
class RegisterCli : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        for (int s = 0; s < Subjects; ++s) {
            for (int v = 0; v < Visits; ++v) {
                DataFile f;
                f.subject = s;
                f.visit = v;
                f.relative = format("v%d/g%d/", v, s % 5) + format("S%02d_%d.kplat", s, v);
                f.attempts = 1 + (s + v) % 3;
                f.recordedAt =
                    format("2025-%02d-%02dT08:", 1 + 3 * v, 1 + s % 28) + format("%02d:00Z", s);
                files_.push_back(f);
            }
        }
        if (!test::validationDir()) return;
        pristine_ = KENVO_REGISTER_DATA_SET;
        fs::create_directories(fs::path(pristine_).parent_path());
        // Tests run in parallel wait for the one that makes the set.
        const int lock = ::open((pristine_ + ".lock").c_str(), O_CREAT | O_RDWR | O_CLOEXEC, 0600);
        if (lock < 0 || ::flock(lock, LOCK_EX) != 0) {
            failure_ = "cannot lock " + pristine_ + ".lock";
            return;
        }
        const std::string stamp = stampOfInputs();
        if (test::readFileBytes(pristine_ + "/stamp") != stamp) {
            fs::remove_all(pristine_);
            makeDataSet();
            if (failure_.empty()) test::writeFileBytes(pristine_ + "/stamp", stamp);
        }
        ::close(lock);
    }

    // The command line's size and time and the recordings' names.
    static std::string stampOfInputs() {
        struct stat st {};
        ::stat(Cli, &st);
        std::string stamp = std::to_string(st.st_size) + " " + std::to_string(st.st_mtim.tv_sec) +
                            "." + std::to_string(st.st_mtim.tv_nsec) + "\n";
        for (const std::string& file : test::validationFiles()) stamp += file + "\n";
        return stamp;
    }

    static void makeDataSet() {
        fs::create_directories(pristine_ + "/inputs");
        inputs_ = shortRecordings(pristine_ + "/inputs", 20);
        // Two at a time: the machine's cores.
        std::vector<std::future<std::string>> jobs;
        for (std::size_t i = 0; i < files_.size(); ++i) {
            jobs.push_back(std::async(std::launch::async, [i] { return importFile(files_[i]); }));
            if (jobs.size() == 2 || i + 1 == files_.size()) {
                for (auto& job : jobs) {
                    const std::string problem = job.get();
                    if (!problem.empty() && failure_.empty()) failure_ = problem;
                }
                jobs.clear();
            }
        }
    }

    static std::string importFile(const DataFile& f) {
        const std::string path = pristine_ + "/DATA/" + f.relative;
        fs::create_directories(fs::path(path).parent_path());
        std::vector<std::string> args = {"import-csv",
                                         "--subject",
                                         format("Subject %02d", f.subject),
                                         "--code",
                                         codeOf(f.subject),
                                         "--sex",
                                         f.subject % 2 ? "M" : "F",
                                         "--height",
                                         std::to_string(150 + f.subject),
                                         "--weight",
                                         std::to_string(50 + f.subject),
                                         "--recorded-at",
                                         f.recordedAt,
                                         "-o",
                                         path};
        for (int k = 0; k < f.attempts; ++k)
            args.push_back(
                inputs_[static_cast<std::size_t>(f.subject * 4 + f.visit + k) % inputs_.size()]);
        const auto r = cli(pristine_, args);
        return r.exitCode == 0 ? std::string() : f.relative + ": " + describe(r);
    }

    static void TearDownTestSuite() { files_.clear(); }

    void SetUp() override {
        if (pristine_.empty()) GTEST_SKIP() << test::validationMissingReason();
        ASSERT_TRUE(failure_.empty()) << failure_;
        home_ = std::make_unique<test::TempDir>();
        data_ = home_->path() + "/DATA";
        // cp -a keeps the files' times, which their sidecars record.
        const auto copy = runProcess({"/bin/cp", "-a", pristine_ + "/DATA", data_});
        ASSERT_EQ(copy.exitCode, 0) << describe(copy);
    }

    std::string home() const { return home_->path(); }
    std::string db(const std::string& name) const { return home_->path() + "/" + name; }

    // The register id of a subject, found by its patient code.
    int64_t subjectId(const std::string& dbPath, int subject) const {
        const auto r = cli(home(), {"register", "subjects", "--db", dbPath, "--search",
                                    codeOf(subject), "--format", "csv"});
        const Rows rows = csvRows(r.out);
        EXPECT_EQ(rows.size(), 2u) << describe(r);
        return rows.size() == 2 ? std::stoll(rows[1][0]) : 0;
    }

    static std::vector<DataFile> filesOf(int subject) {
        std::vector<DataFile> out;
        for (const DataFile& f : files_)
            if (f.subject == subject) out.push_back(f);
        return out;
    }

    static inline std::string pristine_;
    static inline std::vector<std::string> inputs_;
    static inline std::vector<DataFile> files_;
    static inline std::string failure_;
    std::unique_ptr<test::TempDir> home_;
    std::string data_;
};

TEST_F(RegisterCli, ScanListsEverySubjectSessionAndTheirHistory) {
    const std::string reg = db("DATA/kenvoplat-register.sqlite");
    // The default register is the data folder's.
    auto r = cli(home(), {"register", "scan", data_});
    ASSERT_EQ(r.exitCode, 0) << describe(r);
    EXPECT_EQ(r.out, fiveLines(200, 0, 0, 0, 0));
    ASSERT_TRUE(fs::exists(reg));
    EXPECT_EQ(fs::status(reg).permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write);

    r = cli(home(), {"register", "scan", data_});
    EXPECT_EQ(r.out, fiveLines(0, 0, 200, 0, 0)) << describe(r);

    r = cli(home(), {"register", "subjects", "--format", "csv"});
    ASSERT_EQ(r.exitCode, 0) << describe(r);
    const Rows subjects = csvRows(r.out);
    ASSERT_EQ(subjects.size(), 1u + Subjects) << r.out;
    EXPECT_EQ(r.out.substr(0, r.out.find('\n')),
              "id,code,name,birth_date,sex,height_cm,weight_kg,sessions");
    int sessions = 0;
    for (std::size_t i = 1; i < subjects.size(); ++i) {
        const int s = std::stoi(subjects[i][1].substr(1));
        EXPECT_EQ(subjects[i][2], format("Subject %02d", s));
        EXPECT_EQ(subjects[i][3], "");
        EXPECT_EQ(subjects[i][4], s % 2 ? "M" : "F");
        EXPECT_EQ(subjects[i][5], std::to_string(150 + s));
        EXPECT_EQ(subjects[i][6], std::to_string(50 + s));
        sessions += std::stoi(subjects[i][7]);
    }
    EXPECT_EQ(sessions, 200);

    // One subject's sessions and history against the measures of its own files.
    const int chosen = 7;
    const int64_t id = subjectId(reg, chosen);
    const std::vector<DataFile> own = filesOf(chosen);
    r = cli(home(), {"register", "sessions", std::to_string(id), "--format", "csv"});
    const Rows rows = csvRows(r.out);
    ASSERT_EQ(rows.size(), own.size() + 1) << describe(r);
    EXPECT_EQ(r.out.substr(0, r.out.find('\n')),
              "id,subject_id,file,test,recorded_at,attempts,status");
    for (std::size_t i = 0; i < own.size(); ++i) {
        EXPECT_EQ(rows[i + 1][1], std::to_string(id));
        EXPECT_EQ(rows[i + 1][2], own[i].relative);
        EXPECT_EQ(rows[i + 1][3], "stance");
        EXPECT_EQ(rows[i + 1][4], own[i].recordedAt);
        EXPECT_EQ(rows[i + 1][5], std::to_string(own[i].attempts));
        EXPECT_EQ(rows[i + 1][6], "ok");
    }

    for (const std::string measure : {"velocity_mm_s", "area95_mm2", "mean_freq_hz"}) {
        r = cli(home(), {"register", "history", std::to_string(id), "--measure", measure,
                         "--format", "csv"});
        const Rows history = csvRows(r.out);
        ASSERT_EQ(history.size(), own.size() + 1) << describe(r);
        EXPECT_EQ(r.out.substr(0, r.out.find('\n')), "session_id,recorded_at,file,attempts,value");
        for (std::size_t i = 0; i < own.size(); ++i) {
            const auto m =
                cli(home(), {"measures", data_ + "/" + own[i].relative, "--format", "csv"});
            const Rows attempts = csvRows(m.out);
            ASSERT_EQ(attempts.size(), static_cast<std::size_t>(own[i].attempts) + 1)
                << describe(m);
            std::vector<double> values;
            for (std::size_t k = 1; k < attempts.size(); ++k)
                values.push_back(
                    std::strtod(attempts[k][column(attempts, measure)].c_str(), nullptr));
            std::sort(values.begin(), values.end());
            const std::size_t n = values.size();
            const double median = n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
            char expected[64];
            std::snprintf(expected, sizeof expected, "%.12g", median);
            EXPECT_EQ(twelveDigits(history[i + 1][4]), expected)
                << measure << " " << own[i].relative;
            EXPECT_EQ(history[i + 1][0], rows[i + 1][0]);
            EXPECT_EQ(history[i + 1][1], own[i].recordedAt);
            EXPECT_EQ(history[i + 1][2], own[i].relative);
            EXPECT_EQ(history[i + 1][3], std::to_string(own[i].attempts));
        }
    }
    EXPECT_EQ(cli(home(), {"register", "check"}).exitCode, 0);
}

TEST_F(RegisterCli, RebuildGivesTheSameListingsAfterAnEditInTheRegister) {
    const std::string reg = db("rebuild.sqlite");
    auto r = cli(home(), {"register", "scan", "--db", reg, data_});
    ASSERT_EQ(r.exitCode, 0) << describe(r);

    // Details entered only in the register: they reach the files' sidecars.
    const int chosen = 23;
    const int64_t id = subjectId(reg, chosen);
    {
        RegisterOpenResult opened;
        auto subjectRegister = SubjectRegister::open(reg, data_, opened);
        ASSERT_TRUE(subjectRegister) << opened.message;
        auto subject = subjectRegister->subject(id);
        ASSERT_TRUE(subject);
        subject->name = "Zdeňka Veselá";
        subject->birthDate = "1948-02-29";
        subject->code = "Q-023";
        subject->heightCm = 163;
        subject->notes = "edited in the register";
        std::string error;
        ASSERT_TRUE(subjectRegister->saveSubject(*subject, error)) << error;
    }

    const auto listings = [&] {
        std::vector<std::string> out;
        out.push_back(cli(home(), {"register", "subjects", "--db", reg, "--format", "csv"}).out);
        for (int s = 0; s < Subjects; s += 7) {
            const std::string subject = std::to_string(s + 1);
            out.push_back(
                cli(home(), {"register", "sessions", subject, "--db", reg, "--format", "csv"}).out);
            out.push_back(cli(home(), {"register", "history", subject, "--db", reg, "--measure",
                                       "velocity_mm_s", "--format", "csv"})
                              .out);
        }
        out.push_back(cli(home(), {"register", "history", std::to_string(id), "--db", reg,
                                   "--measure", "rms_mm", "--format", "csv"})
                          .out);
        return out;
    };
    const std::vector<std::string> before = listings();
    ASSERT_NE(before[0].find(std::to_string(id) + ",Q-023,Zdeňka Veselá,1948-02-29,M,163,73,4\n"),
              std::string::npos)
        << before[0];

    r = cli(home(), {"register", "scan", "--rebuild", "--db", reg, data_});
    ASSERT_EQ(r.exitCode, 0) << describe(r);
    EXPECT_EQ(r.out, fiveLines(200, 0, 0, 0, 0));
    const std::vector<std::string> after = listings();
    ASSERT_EQ(after.size(), before.size());
    for (std::size_t i = 0; i < before.size(); ++i)
        EXPECT_EQ(after[i], before[i]) << "listing " << i;

    // The text tables align their columns, the edited name with its accents included.
    r = cli(home(), {"register", "subjects", "--db", reg, "--search", "veselá"});
    ASSERT_EQ(r.exitCode, 0) << describe(r);
    std::istringstream lines(r.out);
    std::string header, row, extra;
    std::getline(lines, header);
    std::getline(lines, row);
    EXPECT_FALSE(std::getline(lines, extra)) << r.out;
    EXPECT_NE(row.find("Zdeňka Veselá"), std::string::npos) << r.out;
    EXPECT_EQ(header.find("name"), row.find("Zdeňka")) << r.out;
}

// Sessions in a register, counted over its subjects.
int sessionsIn(const std::string& home, const std::string& reg) {
    const auto r = cli(home, {"register", "subjects", "--db", reg, "--format", "csv"});
    int sessions = 0;
    for (const auto& row : csvRows(r.out))
        if (row.size() == 8 && row[0] != "id") sessions += std::stoi(row[7]);
    return sessions;
}

// Starts a scan of the whole data set into `reg` and sends it `signal` once at least one
// session is registered. False when the scan had finished all the same (then try again).
bool scanStoppedHalfway(const std::string& home, const std::string& data, const std::string& reg,
                        int signal, int& registered, std::string& out) {
    // The background scan inherits this process's environment: the same data folder.
    ::setenv("KENVOPLAT_HOME", home.c_str(), 1);
    test::BackgroundProcess scan({Cli, "register", "scan", "--db", reg, data});
    ::unsetenv("KENVOPLAT_HOME");
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (std::chrono::steady_clock::now() < deadline && sessionsIn(home, reg) == 0)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    const int exitCode = scan.stop(signal);
    out.clear();
    for (std::string line = scan.readLine(1.0); !line.empty(); line = scan.readLine(1.0))
        out += line + "\n";
    registered = sessionsIn(home, reg);
    // Killed: no exit status; interrupted: status 1.
    return exitCode == (signal == SIGKILL ? -1 : 1) && registered < 200;
}

TEST_F(RegisterCli, ScanKilledHalfwayLeavesASoundRegisterThatTheNextScanCompletes) {
    std::string reg;
    int registered = 0;
    bool halfway = false;
    for (int attempt = 0; attempt < 5 && !halfway; ++attempt) {
        reg = db("killed" + std::to_string(attempt) + ".sqlite");
        std::string out;
        halfway = scanStoppedHalfway(home(), data_, reg, SIGKILL, registered, out);
    }
    ASSERT_TRUE(halfway) << "the scan always finished before it could be killed";
    EXPECT_GT(registered, 0);

    auto r = cli(home(), {"register", "check", "--db", reg});
    EXPECT_EQ(r.exitCode, 0) << describe(r);
    EXPECT_NE(r.out.find("database: ok"), std::string::npos) << r.out;

    r = cli(home(), {"register", "scan", "--db", reg, data_});
    ASSERT_EQ(r.exitCode, 0) << describe(r);
    const Rows counts = csvRows(r.out);
    std::map<std::string, int> count;
    for (const auto& line : counts) {
        const auto space = line[0].find(' ');
        count[line[0].substr(0, space)] = std::stoi(line[0].substr(space + 1));
    }
    EXPECT_EQ(count["added"] + count["unchanged"], 200) << r.out;
    EXPECT_EQ(count["unchanged"], registered) << r.out;
    EXPECT_EQ(count["skipped"] + count["review"] + count["updated"], 0) << r.out;
    EXPECT_EQ(cli(home(), {"register", "check", "--db", reg}).exitCode, 0);
}

TEST_F(RegisterCli, CtrlCEndsAScanBetweenTwoFiles) {
    std::string reg, out;
    int registered = 0;
    bool halfway = false;
    for (int attempt = 0; attempt < 5 && !halfway; ++attempt) {
        reg = db("interrupted" + std::to_string(attempt) + ".sqlite");
        halfway = scanStoppedHalfway(home(), data_, reg, SIGINT, registered, out);
    }
    ASSERT_TRUE(halfway) << "the scan always finished before it could be interrupted";
    // What it had registered is counted and kept.
    EXPECT_EQ(out, fiveLines(registered, 0, 0, 0, 0));
    EXPECT_EQ(cli(home(), {"register", "check", "--db", reg}).exitCode, 0);
    const auto r = cli(home(), {"register", "scan", "--db", reg, data_});
    EXPECT_EQ(r.out, fiveLines(200 - registered, 0, registered, 0, 0)) << describe(r);
}

TEST_F(RegisterCli, TwoScansAtOnceBothSucceedAndLoseNothing) {
    const std::string reg = db("together.sqlite");
    auto first = std::async(std::launch::async, [&] {
        return cli(home(), {"register", "scan", "--db", reg, data_ + "/v0", data_ + "/v1"});
    });
    auto second = std::async(std::launch::async, [&] {
        return cli(home(), {"register", "scan", "--db", reg, data_ + "/v2", data_ + "/v3"});
    });
    const auto a = first.get();
    const auto b = second.get();
    ASSERT_EQ(a.exitCode, 0) << describe(a);
    ASSERT_EQ(b.exitCode, 0) << describe(b);
    EXPECT_EQ(a.out, fiveLines(100, 0, 0, 0, 0));
    EXPECT_EQ(b.out, fiveLines(100, 0, 0, 0, 0));

    const auto r = cli(home(), {"register", "subjects", "--db", reg, "--format", "csv"});
    const Rows subjects = csvRows(r.out);
    ASSERT_EQ(subjects.size(), 1u + Subjects) << r.out;
    for (std::size_t i = 1; i < subjects.size(); ++i) EXPECT_EQ(subjects[i][7], "4") << r.out;
    EXPECT_EQ(cli(home(), {"register", "check", "--db", reg}).exitCode, 0);
}

}  // namespace
}  // namespace kenvo
