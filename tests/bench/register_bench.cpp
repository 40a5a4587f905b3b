#include <benchmark/benchmark.h>
#include <sqlite3.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "files/cop_import.h"
#include "files/measurement_file.h"
#include "model/measurement_store.h"
#include "platform/cop_source.h"
#include "register/subject_register.h"

namespace kenvo {
namespace {

namespace fs = std::filesystem;

// A folder of its own under the temporary directory, removed at the end.
class BenchFolder {
public:
    BenchFolder() {
        std::string pattern = (fs::temp_directory_path() / "kenvo-register-bench-XXXXXX").string();
        path_ = ::mkdtemp(pattern.data()) ? pattern : std::string();
    }
    ~BenchFolder() {
        std::error_code ec;
        if (!path_.empty()) fs::remove_all(path_, ec);
    }
    const std::string& path() const { return path_; }

private:
    std::string path_;
};

// `files` measurement files of ten 60 s stance attempts each, four files per subject.
void writeStanceFiles(const std::string& folder, int files) {
    auto store = std::make_unique<MeasurementStore>();
    for (int f = 0; f < files; ++f) {
        for (int a = 0; a < 10; ++a) {
            QuietStanceSource source(static_cast<uint32_t>(f * 10 + a + 1));
            std::vector<CopPoint> points(6000);
            for (int k = 0; k < 6000; ++k) points[static_cast<std::size_t>(k)] = source.at(k);
            importCopAttempt(*store, a, points, 0, 1700000000 + f * 3600 + a * 90);
        }
        finishCopImport(*store, 10, 0);
        store->subject.name = "Subject " + std::to_string(f / 4);
        store->subject.sex = (f / 4) % 2;
        const std::string path = folder + "/s" + std::to_string(f / 4) + "/visit-" + std::to_string(f) + ".kplat";
        fs::create_directories(fs::path(path).parent_path());
        saveMeasurementFile(path, *store);
    }
}

std::unique_ptr<SubjectRegister> openRegister(const std::string& folder, benchmark::State& state) {
    RegisterOpenResult result;
    auto reg = SubjectRegister::open(folder + "/" + DefaultRegisterFileName, folder, result);
    if (!reg) state.SkipWithError(result.message.c_str());
    return reg;
}

// Fills an empty register directly, in one transaction, as years of use would have.
bool fillRegister(const std::string& folder, const char* sql) {
    sqlite3* db = nullptr;
    const std::string path = folder + "/" + DefaultRegisterFileName;
    bool ok = sqlite3_open(path.c_str(), &db) == SQLITE_OK &&
              sqlite3_exec(db, sql, nullptr, nullptr, nullptr) == SQLITE_OK;
    sqlite3_close(db);
    return ok;
}

// Registering a folder of files, measures included, into a new register. The files are made
// before timing. The full run takes 1000 files (about 600 MB, a minute or two to make); the
// quick smoke run of the suite takes 50 unless KENVO_BENCH_FULL=1 is set.
void BM_RegisterScan(benchmark::State& state) {
    const int files = static_cast<int>(state.range(0));
    BenchFolder folder;
    writeStanceFiles(folder.path() + "/data", files);
    for (auto _ : state) {
        state.PauseTiming();
        for (const char* suffix : {"", "-wal", "-shm"})
            fs::remove(folder.path() + "/" + DefaultRegisterFileName + suffix);
        state.ResumeTiming();
        auto reg = openRegister(folder.path(), state);
        if (!reg) break;
        const ScanReport report = reg->scan({folder.path() + "/data"}, false);
        if (report.added != files) state.SkipWithError("not every file was registered");
    }
    state.SetItemsProcessed(state.iterations() * files);
}

bool fullRun() {
    const char* full = std::getenv("KENVO_BENCH_FULL");
    return full && std::string(full) == "1";
}

BENCHMARK(BM_RegisterScan)->Arg(fullRun() ? 1000 : 50)->Unit(benchmark::kSecond)->Iterations(1);

// Searching 10 000 subjects (with 30 000 sessions) by part of a name or code.
void BM_RegisterSearch(benchmark::State& state) {
    BenchFolder folder;
    openRegister(folder.path(), state);
    const bool filled = fillRegister(
        folder.path(),
        "BEGIN;"
        "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 10000)"
        " INSERT INTO subjects (id, code, name, birth_date, sex, height_cm, weight_kg)"
        " SELECT i, 'P-' || printf('%05d', i), 'Subject ' || (i * 7919 % 10007) || ' Novak',"
        " '1950-01-01', CASE i % 2 WHEN 0 THEN 'F' ELSE 'M' END, 170, 70 FROM n;"
        "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 30000)"
        " INSERT INTO sessions (id, subject_id, file, test, recorded_at, attempts, file_size,"
        " file_mtime_ns, status) SELECT i, 1 + i % 10000, 'f/' || i || '.kplat', 'stance',"
        " 1700000000 + i, 10, 600000, 0, 'ok' FROM n;"
        "COMMIT;");
    if (!filled) state.SkipWithError("cannot fill the register");
    auto reg = openRegister(folder.path(), state);
    if (!reg) return;
    std::size_t found = 0;
    for (auto _ : state) {
        found = reg->subjects("77").size();
        benchmark::DoNotOptimize(found);
    }
    state.counters["found"] = static_cast<double>(found);
}
BENCHMARK(BM_RegisterSearch)->Unit(benchmark::kMillisecond);

// The history of one subject with 200 sessions of ten attempts.
void BM_RegisterHistory(benchmark::State& state) {
    BenchFolder folder;
    openRegister(folder.path(), state);
    const bool filled = fillRegister(
        folder.path(),
        "BEGIN;"
        "INSERT INTO subjects (id, name, sex) VALUES (1, 'Ann', 'F'), (2, 'Bob', 'M');"
        "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 400)"
        " INSERT INTO sessions (id, subject_id, file, test, recorded_at, attempts, file_size,"
        " file_mtime_ns, status) SELECT i, 1 + i % 2, 'f/' || i || '.kplat', 'stance',"
        " 1700000000 + i * 86400, 10, 600000, 0, 'ok' FROM n;"
        "WITH RECURSIVE n(i) AS (SELECT 0 UNION ALL SELECT i + 1 FROM n WHERE i < 3999)"
        " INSERT INTO attempts (session_id, attempt, velocity_mm_s, area95_mm2, rms_mm)"
        " SELECT 1 + i / 10, 1 + i % 10, 8 + (i * 37 % 100) / 10.0, 100 + i % 77, 3 + i % 5 FROM n;"
        "COMMIT;");
    if (!filled) state.SkipWithError("cannot fill the register");
    auto reg = openRegister(folder.path(), state);
    if (!reg) return;
    std::size_t points = 0;
    for (auto _ : state) {
        points = reg->history(1, ClinicalMeasure::Velocity).size();
        benchmark::DoNotOptimize(points);
    }
    if (points != 200) state.SkipWithError("the history does not have 200 points");
}
BENCHMARK(BM_RegisterHistory)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace kenvo
