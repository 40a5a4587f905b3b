#include <dirent.h>

#include <algorithm>
#include <map>
#include <memory>
#include <set>

#include "files/file_bytes.h"
#include "model/measurement_store.h"
#include "register/register_paths.h"
#include "register/register_registration.h"
#include "register/register_rows.h"
#include "register/register_statement.h"
#include "register/register_walk.h"
#include "register/subject_register.h"

namespace kenvo {

namespace {

struct ScanEntry {
    std::string stored;  // as the register keeps it; the scan's order
    std::string path;    // as found
};

struct KnownSession {
    int64_t id = 0;
    bool hasSubject = false;
    uint64_t size = 0;
    int64_t mtimeNs = 0;
    std::string status;
};

std::map<std::string, KnownSession> knownSessions(sqlite3* db) {
    std::map<std::string, KnownSession> known;
    reg::Statement query(
        db,
        "SELECT file, id, subject_id IS NOT NULL, file_size, file_mtime_ns, status FROM sessions");
    while (query.step() == SQLITE_ROW)
        known[query.text(0)] = {query.integer(1), query.integer(2) != 0,
                                static_cast<uint64_t>(query.integer(3)), query.integer(4),
                                query.text(5)};
    return known;
}

std::optional<int64_t> sessionWithFile(sqlite3* db, const std::string& stored) {
    reg::Statement query(db, "SELECT id FROM sessions WHERE file = ?");
    query.bind(1, stored);
    if (query.step() != SQLITE_ROW) return std::nullopt;
    return query.integer(0);
}

bool setStatus(sqlite3* db, int64_t id, SessionStatus status) {
    reg::Statement update(db, "UPDATE sessions SET status = ? WHERE id = ?");
    update.bind(1, std::string(sessionStatusText(status))).bind(2, id);
    return update.run();
}

// The subject a sidecar or subject file names, created with the details it carries unless an
// earlier one already created it. A patient code already taken is dropped with a note.
void reserveSubject(sqlite3* db, int64_t id, const Sidecar& details, const std::string& source,
                    std::set<int64_t>& reserved, ScanReport& report) {
    if (id <= 0 || !reserved.insert(id).second) return;
    RegisterSubject subject = reg::overlaidBy(RegisterSubject{}, details);
    subject.id = id;
    if (reg::subjectWithCode(db, subject.code)) {
        report.notes.push_back(source + " gives the patient code " + subject.code +
                               " that another subject already has; the code is left out");
        subject.code.clear();
    }
    std::string error;
    if (!reg::insertSubject(db, subject, error))
        report.notes.push_back("cannot take subject " + std::to_string(id) + " from " + source +
                               ": " + error);
}

// Before a rebuild registers any file: every subject a valid sidecar or DATA/subjects/ID.json
// names keeps its id, so subjects edited in the register come back as they were.
void reserveNamedSubjects(sqlite3* db, const std::vector<ScanEntry>& entries,
                          const std::string& dataFolder, ScanReport& report) {
    std::set<int64_t> reserved;
    for (const ScanEntry& entry : entries) {
        const SidecarRead read = readSidecar(entry.path);
        if (read.state == SidecarState::Valid && read.sidecar.subjectId)
            reserveSubject(db, *read.sidecar.subjectId, read.sidecar, sidecarPathOf(entry.path),
                           reserved, report);
    }
    const std::string folder = reg::subjectFolderOf(dataFolder);
    std::vector<std::string> names;
    if (DIR* dir = ::opendir(folder.c_str())) {
        while (const dirent* e = ::readdir(dir)) names.emplace_back(e->d_name);
        ::closedir(dir);
    }
    std::sort(names.begin(), names.end());
    for (const std::string& name : names) {
        if (name.size() <= 5 || name.substr(name.size() - 5) != ".json") continue;
        const std::string stem = name.substr(0, name.size() - 5);
        if (stem.find_first_not_of("0123456789") != std::string::npos || stem.size() > 15) continue;
        const std::string path = folder + "/" + name;
        std::vector<uint8_t> bytes;
        std::string error;
        Sidecar details;
        if (!readRegularFile(path, uint64_t{1} << 20, bytes, error) ||
            !parseSidecarJson(std::string(bytes.begin(), bytes.end()), details, error)) {
            report.notes.push_back(path + " is ignored: " + error);
            continue;
        }
        reserveSubject(db, details.subjectId.value_or(std::stoll(stem)), details, path, reserved,
                       report);
    }
}

// Reads one new or changed file and registers it in a transaction of its own; a file that cannot
// be read is skipped with the reader's reason (a registered one is marked changed).
void registerOne(sqlite3* db, MeasurementStore& store, const ScanEntry& entry,
                 const reg::FileState& state, std::optional<int64_t> existingId,
                 ScanReport& report) {
    reg::DecodedSession decoded;
    std::string error;
    if (!reg::decodeSession(entry.path, store, decoded, error)) {
        report.skippedFiles.emplace_back(entry.stored, error);
        if (existingId) setStatus(db, *existingId, SessionStatus::Changed);
        return;
    }
    SidecarRead side = readSidecar(entry.path);
    const Sidecar* sidecar = side.state == SidecarState::Valid ? &side.sidecar : nullptr;
    if (side.state == SidecarState::Stale || side.state == SidecarState::Damaged)
        report.notes.push_back(side.message);  // the file is registered without it

    reg::Transaction transaction(db);
    reg::StoredSession stored;
    if (!transaction.begun()) {
        report.skippedFiles.emplace_back(
            entry.stored, "cannot write the subject register: " + transaction.error());
        return;
    }
    // Another program may have registered the file since the scan began.
    existingId = sessionWithFile(db, entry.stored);
    if (!reg::storeSession(db, entry.stored, state, decoded, sidecar, existingId, stored, error)) {
        report.skippedFiles.emplace_back(entry.stored,
                                         "cannot write the subject register: " + error);
        return;
    }
    if (!transaction.commit()) {
        report.skippedFiles.emplace_back(
            entry.stored, "cannot write the subject register: " + transaction.error());
        return;
    }
    if (!stored.subjectId)
        ++report.review;
    else if (stored.added)
        ++report.added;
    else
        ++report.updated;
}

// Every registered file that is gone is marked missing; its session stays.
void markMissing(sqlite3* db, const std::string& dataFolder, ScanReport& report) {
    std::vector<int64_t> gone;
    {
        reg::Statement query(db, "SELECT id, file FROM sessions WHERE status != 'missing'");
        while (query.step() == SQLITE_ROW)
            if (!reg::fileState(reg::openablePath(query.text(1), dataFolder)).exists)
                gone.push_back(query.integer(0));
    }
    if (gone.empty()) return;
    reg::Transaction transaction(db);
    for (int64_t id : gone) setStatus(db, id, SessionStatus::Missing);
    if (!transaction.commit())
        report.notes.push_back("cannot mark the missing files in the subject register: " +
                               transaction.error());
}

}  // namespace

ScanReport SubjectRegister::scan(const std::vector<std::string>& folders, bool rebuild,
                                 const ScanProgress& progress) {
    ScanReport report;
    reg::FoundFiles found = reg::findMeasurementFiles(folders);
    for (auto& [path, reason] : found.skipped)
        report.skippedFiles.emplace_back(reg::storedPath(path, dataFolder_), reason);
    std::vector<ScanEntry> entries;
    for (const std::string& path : found.files)
        entries.push_back({reg::storedPath(path, dataFolder_), path});
    std::sort(entries.begin(), entries.end(),
              [](const ScanEntry& a, const ScanEntry& b) { return a.stored < b.stored; });
    // One file reached by two routes (a linked folder) is registered once.
    entries.erase(
        std::unique(entries.begin(), entries.end(),
                    [](const ScanEntry& a, const ScanEntry& b) { return a.stored == b.stored; }),
        entries.end());

    if (rebuild) {
        reg::Transaction transaction(db_);
        std::string error;
        if (!transaction.begun() ||
            !reg::execute(db_, "DELETE FROM attempts; DELETE FROM sessions; DELETE FROM subjects;",
                          error)) {
            report.error = "cannot empty the subject register " + dbPath_ + ": " +
                           (transaction.begun() ? error : transaction.error());
            return report;
        }
        reserveNamedSubjects(db_, entries, dataFolder_, report);
        if (!transaction.commit()) {
            report.error =
                "cannot empty the subject register " + dbPath_ + ": " + transaction.error();
            return report;
        }
    }

    const std::map<std::string, KnownSession> known = knownSessions(db_);
    const auto store = std::make_unique<MeasurementStore>();  // large: one for the whole scan
    const int total = static_cast<int>(entries.size());
    for (int i = 0; i < total; ++i) {
        const ScanEntry& entry = entries[static_cast<std::size_t>(i)];
        const reg::FileState state = reg::fileState(entry.path);
        const auto was = known.find(entry.stored);
        std::optional<int64_t> existingId;
        if (was != known.end()) existingId = was->second.id;

        if (was != known.end() && was->second.size == state.size &&
            was->second.mtimeNs == state.mtimeNs) {
            ++report.unchanged;
            // A file that is back as it was registered is no longer missing.
            if (was->second.status == "missing" || was->second.status == "changed")
                setStatus(db_, was->second.id,
                          was->second.hasSubject ? SessionStatus::Ok : SessionStatus::Review);
        } else {
            registerOne(db_, *store, entry, state, existingId, report);
        }
        if (progress && !progress(i + 1, total)) {
            report.cancelled = true;
            break;
        }
    }
    std::stable_sort(report.skippedFiles.begin(), report.skippedFiles.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    report.skipped = static_cast<int>(report.skippedFiles.size());
    if (!report.cancelled) markMissing(db_, dataFolder_, report);
    return report;
}

}  // namespace kenvo
