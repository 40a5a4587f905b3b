#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "clinical/clinical_measures.h"
#include "files/sidecar.h"
#include "register/register_records.h"

struct sqlite3;

namespace kenvo {

// The default register file in the data folder.
inline constexpr const char* DefaultRegisterFileName = "kenvoplat-register.sqlite";

// Why a register could not be used. Every kind but Ok leaves the program working without it.
enum class RegisterOpenState {
    Ok,
    CannotOpen,    // no access, a folder in its place, ...
    NotARegister,  // not SQLite, or SQLite without this program's tables
    Damaged,       // SQLite reports corruption
    NewerSchema,   // written by a newer version of the program
};

struct RegisterOpenResult {
    RegisterOpenState state = RegisterOpenState::Ok;
    std::string message;  // plain words naming the file, when not Ok
    std::string note;     // e.g. that WAL could not be enabled and the default journal is used
    int migratedFrom = 0; // the schema version found, when a migration ran
};

// What a scan did, counted per file: each file found is added, updated, unchanged, skipped or
// (registered but waiting for review) review, so the five add up to the files found; plus a
// reason for each file skipped.
struct ScanReport {
    int added = 0;
    int updated = 0;
    int unchanged = 0;
    int skipped = 0;
    int review = 0;
    std::vector<std::pair<std::string, std::string>> skippedFiles;  // path, reason
    std::vector<std::string> notes;  // stale sidecars and the like, in plain words
    bool cancelled = false;
    std::string error;  // why the scan could not start (the register could not be written)
};

// What `check` found; ok() when the database and every file are as registered.
struct CheckReport {
    std::string integrity;                 // "ok" or SQLite's messages
    std::vector<std::string> problems;     // one line per changed or missing file
    bool ok() const { return integrity == "ok" && problems.empty(); }
};

// Progress of long work: files done, files in all; return false to cancel.
using ScanProgress = std::function<bool(int done, int total)>;

// The subject register: subjects, the sessions (measurement files) of each, and per attempt
// the clinical measures (10 Hz low-pass) cached. An index over the files, never the only copy
// of anything: what the files cannot hold lives in their sidecars and in DATA/subjects/ID.json,
// so the register can always be rebuilt from the files. One object per thread.
class SubjectRegister {
public:
    // Opens (or creates, private to the user) the register at `dbPath`; `dataFolder` is the
    // folder session paths are kept relative to, and holds subjects/ID.json. Migrates an
    // older schema. On failure returns nullptr with the reason in `result`.
    static std::unique_ptr<SubjectRegister> open(const std::string& dbPath,
                                                 const std::string& dataFolder,
                                                 RegisterOpenResult& result);
    // Moves a register that cannot be used out of the way (never overwriting anything) so a
    // new one can be built; `keptAs` names where the old file now is.
    static bool setAside(const std::string& dbPath, std::string& keptAs, std::string& error);

    ~SubjectRegister();
    SubjectRegister(const SubjectRegister&) = delete;
    SubjectRegister& operator=(const SubjectRegister&) = delete;

    // Subjects whose name or patient code contains `search` (case-insensitive), by name.
    std::vector<RegisterSubject> subjects(const std::string& search = {}) const;
    std::optional<RegisterSubject> subject(int64_t id) const;
    // Adds (id 0: the lowest free id) or changes a subject, and writes its details to the
    // sidecars of its sessions whose files exist or, without sessions, to
    // DATA/subjects/ID.json. Refuses a patient code that another subject has, an empty name,
    // a malformed birth date, with a plain message. When a sidecar cannot be written the
    // change is not made in the register either (false with the reason), so the register
    // never holds the only copy of a detail. On success `subject` is what was saved.
    bool saveSubject(RegisterSubject& subject, std::string& error);

    // The subject's sessions, oldest first (recorded_at, then id).
    std::vector<RegisterSession> sessions(int64_t subjectId) const;
    std::vector<RegisterSession> reviewSessions() const;
    std::optional<RegisterSession> session(int64_t id) const;
    // The session's measurement file as a path that can be opened.
    std::string absolutePath(const RegisterSession& session) const;

    // Puts a session waiting for review (or any session) with a subject, and writes the choice
    // into the session's sidecar so a rebuild keeps it. A session waiting for review becomes
    // ok; a missing or changed one keeps saying so. When the sidecar of an existing file
    // cannot be written, nothing changes (false with the reason).
    bool assign(int64_t sessionId, int64_t subjectId, std::string& error);

    // Registers or updates the session of one measurement file (the window's Save). `details`
    // are what the window knows beyond the file (patient code, birth date, the register
    // subject chosen, the sensory conditions); the sidecar is written with them and with the
    // subject (id and details) the registration settles on. Returns the session id, or nothing
    // with a reason. The session is never lost for its sidecar: when the sidecar cannot be
    // written the session is registered all the same, the id returned and `error` says why.
    std::optional<int64_t> registerFile(const std::string& kplatPath, const Sidecar& details,
                                        std::string& error);

    // Registers every .kplat under `folders`, recursively (regular files only, no symlink
    // loops), one transaction per file. With `rebuild` the register is emptied first and ids
    // are given again as the files say. Files unchanged since they were registered are not
    // read again; files that are gone are marked missing.
    ScanReport scan(const std::vector<std::string>& folders, bool rebuild,
                    const ScanProgress& progress = {});

    // One point per session of the subject with stance attempts, oldest first: the median of
    // `measure` over its stance attempts (over the attempts of `condition` when the session
    // has conditions; a plain stance session counts for every condition).
    std::vector<HistoryPoint> history(int64_t subjectId, ClinicalMeasure measure,
                                      const std::string& condition = "eo-firm") const;

    // SQLite's integrity check and the state of every registered file.
    CheckReport check();

private:
    SubjectRegister(sqlite3* db, std::string dbPath, std::string dataFolder);
    sqlite3* db_;
    std::string dbPath_;
    std::string dataFolder_;
};

}  // namespace kenvo
