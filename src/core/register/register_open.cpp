#include <fcntl.h>
#include <sqlite3.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <memory>
#include <thread>

#include "register/register_schema.h"
#include "register/register_statement.h"
#include "register/register_text_fold.h"
#include "register/subject_register.h"

namespace kenvo {

namespace {

constexpr int BusyTimeoutMs = 10000;

RegisterOpenState stateOfCode(int code) {
    switch (code & 0xff) {
        case SQLITE_NOTADB:
            return RegisterOpenState::NotARegister;
        case SQLITE_CORRUPT:
            return RegisterOpenState::Damaged;
        default:
            return RegisterOpenState::CannotOpen;
    }
}

std::string messageFor(RegisterOpenState state, const std::string& path,
                       const std::string& detail) {
    switch (state) {
        case RegisterOpenState::NotARegister:
            return path + " is not a subject register of this program" +
                   (detail.empty() ? std::string() : " (" + detail + ")");
        case RegisterOpenState::Damaged:
            return "the subject register " + path + " is damaged" +
                   (detail.empty() ? std::string() : " (" + detail + ")");
        case RegisterOpenState::NewerSchema:
            return "the subject register " + path +
                   " was written by a newer version of the program (" + detail + ")";
        default:
            return "cannot open the subject register " + path +
                   (detail.empty() ? std::string() : ": " + detail);
    }
}

struct CloseDatabase {
    void operator()(sqlite3* db) const { sqlite3_close_v2(db); }
};

// Fills `result`; for the early returns of openDatabase (the connection is closed by its
// guard).
std::nullptr_t fail(RegisterOpenResult& result, RegisterOpenState state, const std::string& path,
                    const std::string& detail) {
    result.state = state;
    result.message = messageFor(state, path, detail);
    return nullptr;
}

bool isBusy(int code) {
    return (code & 0xff) == SQLITE_BUSY || (code & 0xff) == SQLITE_LOCKED;
}

// The same for a failure SQLite reported with `code`; `busy` says whether another program held
// a lock SQLite does not wait for (two programs changing the journal mode at once), so that
// the whole open may be tried again.
std::nullptr_t failWith(int code, bool& busy, RegisterOpenResult& result, const std::string& path,
                        const std::string& detail) {
    busy = isBusy(code);
    return fail(result, stateOfCode(code), path, detail);
}

// The register's file is created private to the user before SQLite sees it; SQLite then gives
// its -wal and -shm files the same permissions.
bool createPrivateFile(const std::string& path, std::string& detail) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (fd >= 0) {
        ::close(fd);
        return true;
    }
    if (errno == EEXIST) return true;  // another program created it in between
    detail = std::strerror(errno);
    return false;
}

// Reads a one-value PRAGMA; the SQLite result code on failure.
int pragmaText(sqlite3* db, const char* sql, std::string& value) {
    reg::Statement statement(db, sql);
    const int code = statement.step();
    if (code == SQLITE_ROW) {
        value = statement.text(0);
        return SQLITE_OK;
    }
    if (code == SQLITE_DONE) return SQLITE_OK;
    return sqlite3_extended_errcode(db);
}

bool hasTable(sqlite3* db, const char* name) {
    reg::Statement statement(db, "SELECT 1 FROM sqlite_master WHERE type = 'table' AND name = ?");
    statement.bind(1, std::string(name));
    return statement.step() == SQLITE_ROW;
}

// The schema version and the number of schema objects, read in one statement so that both
// come from the same state of a file another program may be creating right now.
int readSchema(sqlite3* db, int& version, int& objects) {
    reg::Statement statement(db,
                             "SELECT (SELECT user_version FROM pragma_user_version),"
                             " (SELECT count(*) FROM sqlite_master)");
    if (statement.step() != SQLITE_ROW) return sqlite3_extended_errcode(db);
    version = static_cast<int>(statement.integer(0));
    objects = static_cast<int>(statement.integer(1));
    return SQLITE_OK;
}

std::string stampNow() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    char text[32];
    std::strftime(text, sizeof text, "%Y%m%d-%H%M%S", &local);
    return text;
}

bool exists(const std::string& path) {
    struct stat st {};
    return ::lstat(path.c_str(), &st) == 0;
}

// Renames without ever replacing an existing file.
bool renameNoReplace(const std::string& from, const std::string& to, std::string& error) {
    if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0)
        return true;
    if (errno == EINVAL || errno == ENOSYS) {
        // A file system without the no-replace rename: a hard link cannot replace either.
        if (::link(from.c_str(), to.c_str()) == 0) {
            ::unlink(from.c_str());
            return true;
        }
    }
    error = "cannot move " + from + " to " + to + ": " + std::strerror(errno);
    return false;
}

}  // namespace

SubjectRegister::SubjectRegister(sqlite3* db, std::string dbPath, std::string dataFolder)
    : db_(db), dbPath_(std::move(dbPath)), dataFolder_(std::move(dataFolder)) {}

SubjectRegister::~SubjectRegister() {
    sqlite3_close_v2(db_);
}

namespace {

// Opens, checks and if need be creates or migrates the register; the connection, or null with
// the reason in `result`.
sqlite3* openDatabase(const std::string& dbPath, RegisterOpenResult& result, bool& busy) {
    result = RegisterOpenResult{};
    busy = false;
    std::string detail;
    struct stat st {};
    if (::stat(dbPath.c_str(), &st) == 0) {
        if (!S_ISREG(st.st_mode))
            return fail(result, RegisterOpenState::CannotOpen, dbPath, "not a file");
    } else if (!createPrivateFile(dbPath, detail)) {
        return fail(result, RegisterOpenState::CannotOpen, dbPath, detail);
    }

    sqlite3* db = nullptr;
    const int openCode = sqlite3_open_v2(dbPath.c_str(), &db, SQLITE_OPEN_READWRITE, nullptr);
    // Declared before any transaction, so that a transaction rolls back before it closes.
    std::unique_ptr<sqlite3, CloseDatabase> guard(db);
    if (openCode != SQLITE_OK)
        return fail(result, RegisterOpenState::CannotOpen, dbPath,
                    db ? sqlite3_errmsg(db) : sqlite3_errstr(openCode));
    sqlite3_extended_result_codes(db, 1);
    sqlite3_busy_timeout(db, BusyTimeoutMs);
    if (sqlite3_db_readonly(db, "main") == 1)
        return fail(result, RegisterOpenState::CannotOpen, dbPath, "the file cannot be written");
    if (!reg::registerFoldFunction(db))
        return fail(result, RegisterOpenState::CannotOpen, dbPath, sqlite3_errmsg(db));

    int version = 0;
    int objects = 0;
    if (const int code = readSchema(db, version, objects); code != SQLITE_OK)
        return failWith(code, busy, result, dbPath, sqlite3_errmsg(db));
    if (version > reg::RegisterSchemaVersion)
        return fail(result, RegisterOpenState::NewerSchema, dbPath,
                    "schema " + std::to_string(version) + "; this version reads up to " +
                        std::to_string(reg::RegisterSchemaVersion));
    if (version == 0 && objects > 0)
        return fail(result, RegisterOpenState::NotARegister, dbPath, "it holds other tables");

    // Checked before anything is written, so a damaged file is set aside exactly as it was.
    std::string check;
    if (const int code = pragmaText(db, "PRAGMA quick_check", check); code != SQLITE_OK) {
        if (isBusy(code) || stateOfCode(code) != RegisterOpenState::CannotOpen)
            return failWith(code, busy, result, dbPath, sqlite3_errmsg(db));
        return fail(result, RegisterOpenState::Damaged, dbPath, sqlite3_errmsg(db));
    }
    if (check != "ok") return fail(result, RegisterOpenState::Damaged, dbPath, check);

    std::string journal;
    if (const int code = pragmaText(db, "PRAGMA journal_mode = WAL", journal); code != SQLITE_OK)
        return failWith(code, busy, result, dbPath, sqlite3_errmsg(db));
    if (journal != "wal")
        result.note = "the subject register " + dbPath +
                      " cannot use write-ahead logging here (for example on a network file "
                      "system); it works in the default journal mode";
    if (!reg::execute(db, "PRAGMA synchronous = NORMAL; PRAGMA foreign_keys = ON", detail))
        return failWith(sqlite3_extended_errcode(db), busy, result, dbPath, detail);

    if (version < reg::RegisterSchemaVersion) {
        reg::Transaction transaction(db);
        if (!transaction.begun())
            return failWith(sqlite3_extended_errcode(db), busy, result, dbPath,
                            transaction.error());
        // Read again under the write lock: another program may have created or migrated it.
        if (const int code = readSchema(db, version, objects); code != SQLITE_OK)
            return failWith(code, busy, result, dbPath, sqlite3_errmsg(db));
        const int found = version;
        if (version == 0) {
            if (objects > 0)
                return fail(result, RegisterOpenState::NotARegister, dbPath,
                            "it holds other tables");
            // A new register starts at version 1 and is migrated like any old one, so the
            // migrations always run.
            if (!reg::createSchemaVersion1(db, detail))
                return failWith(sqlite3_extended_errcode(db), busy, result, dbPath, detail);
            version = 1;
        }
        if (version < reg::RegisterSchemaVersion && !reg::migrateSchema(db, version, detail))
            return failWith(sqlite3_extended_errcode(db), busy, result, dbPath,
                            "cannot bring it to the current version: " + detail);
        if (!transaction.commit())
            return failWith(sqlite3_extended_errcode(db), busy, result, dbPath,
                            transaction.error());
        if (found > 0) result.migratedFrom = found;
    }
    if (!hasTable(db, "subjects") || !hasTable(db, "sessions") || !hasTable(db, "attempts"))
        return fail(result, RegisterOpenState::NotARegister, dbPath, "its tables are missing");
    return guard.release();
}

}  // namespace

std::unique_ptr<SubjectRegister> SubjectRegister::open(const std::string& dbPath,
                                                       const std::string& dataFolder,
                                                       RegisterOpenResult& result) {
    // SQLite does not wait for every lock: two programs opening a new register at once can
    // find each other changing its journal mode. That passes within moments, so the open is
    // tried again for as long as the busy timeout.
    const auto deadline =
        std::chrono::steady_clock::now() + std::chrono::milliseconds(BusyTimeoutMs);
    for (;;) {
        bool busy = false;
        if (sqlite3* db = openDatabase(dbPath, result, busy))
            return std::unique_ptr<SubjectRegister>(new SubjectRegister(db, dbPath, dataFolder));
        if (!busy || std::chrono::steady_clock::now() >= deadline) return nullptr;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
}

bool SubjectRegister::setAside(const std::string& dbPath, std::string& keptAs, std::string& error) {
    const std::string base = dbPath + ".unusable-" + stampNow();
    std::string target = base;
    for (int n = 2; exists(target) || exists(target + "-wal") || exists(target + "-shm"); ++n)
        target = base + "-" + std::to_string(n);
    if (!renameNoReplace(dbPath, target, error)) return false;
    // The journal files follow the database so that the set-aside copy stays whole.
    for (const char* suffix : {"-wal", "-shm"}) {
        if (!exists(dbPath + suffix)) continue;
        if (!renameNoReplace(dbPath + suffix, target + suffix, error)) return false;
    }
    keptAs = target;
    return true;
}

}  // namespace kenvo
