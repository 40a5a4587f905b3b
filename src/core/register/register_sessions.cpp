#include <map>

#include "register/register_details.h"
#include "register/register_median.h"
#include "register/register_paths.h"
#include "register/register_rows.h"
#include "register/register_statement.h"
#include "register/subject_register.h"

namespace kenvo {

namespace {

// The sessions that `where` selects (on table "s", with ?1 bound to `key` when given), oldest
// first, with the medians of velocity and 95 % area over their kept stance attempts.
std::vector<RegisterSession> loadSessions(sqlite3* db, const std::string& where,
                                          std::optional<int64_t> key) {
    const std::string sql =
        "SELECT s.id, s.subject_id, s.file, s.test, s.recorded_at, s.attempts, s.file_size,"
        " s.file_mtime_ns, s.status FROM sessions s WHERE " +
        where + " ORDER BY s.recorded_at, s.id";
    reg::Statement query(db, sql.c_str());
    if (key) query.bind(1, *key);
    std::vector<RegisterSession> list;
    std::map<int64_t, std::size_t> index;
    while (query.step() == SQLITE_ROW) {
        RegisterSession s;
        s.id = query.integer(0);
        s.subjectId = query.isNull(1) ? 0 : query.integer(1);
        s.file = query.text(2);
        s.test = query.text(3);
        s.recordedAt = query.integer(4);
        s.attempts = static_cast<int>(query.integer(5));
        s.fileSize = static_cast<uint64_t>(query.integer(6));
        s.fileMtimeNs = query.integer(7);
        s.status = sessionStatusFromText(query.text(8)).value_or(SessionStatus::Ok);
        index[s.id] = list.size();
        list.push_back(std::move(s));
    }
    if (list.empty()) return list;

    const std::string measures =
        "SELECT a.session_id, a.\"velocity_mm_s\", a.\"area95_mm2\" FROM attempts a"
        " JOIN sessions s ON s.id = a.session_id WHERE (" +
        where + ") AND a.discarded = 0 AND s.test IN ('stance', 'sensory') ORDER BY a.session_id";
    reg::Statement values(db, measures.c_str());
    if (key) values.bind(1, *key);
    std::map<int64_t,
             std::pair<std::vector<std::optional<double>>, std::vector<std::optional<double>>>>
        perSession;
    while (values.step() == SQLITE_ROW) {
        auto& [velocity, area] = perSession[values.integer(0)];
        velocity.push_back(values.real(1));
        area.push_back(values.real(2));
    }
    for (auto& [id, pair] : perSession) {
        const auto found = index.find(id);
        if (found == index.end()) continue;
        list[found->second].velocity = reg::medianOf(std::move(pair.first));
        list[found->second].area95 = reg::medianOf(std::move(pair.second));
    }
    return list;
}

}  // namespace

std::vector<RegisterSession> SubjectRegister::sessions(int64_t subjectId) const {
    return loadSessions(db_, "s.subject_id = ?1", subjectId);
}

std::vector<RegisterSession> SubjectRegister::reviewSessions() const {
    return loadSessions(db_, "s.subject_id IS NULL", std::nullopt);
}

std::optional<RegisterSession> SubjectRegister::session(int64_t id) const {
    auto list = loadSessions(db_, "s.id = ?1", id);
    if (list.empty()) return std::nullopt;
    return std::move(list.front());
}

std::string SubjectRegister::absolutePath(const RegisterSession& session) const {
    return reg::openablePath(session.file, dataFolder_);
}

bool SubjectRegister::assign(int64_t sessionId, int64_t subjectId, std::string& error) {
    reg::Transaction transaction(db_);
    if (!transaction.begun()) {
        error = "cannot change the subject register " + dbPath_ + ": " + transaction.error();
        return false;
    }
    const auto chosen = session(sessionId);
    if (!chosen) {
        error = "there is no session " + std::to_string(sessionId) + " in the register";
        return false;
    }
    const auto subject = reg::loadSubject(db_, subjectId);
    if (!subject) {
        error = "there is no subject " + std::to_string(subjectId) + " in the register";
        return false;
    }
    // A session of a missing or changed file keeps saying so; one waiting for review is settled.
    reg::Statement update(
        db_,
        "UPDATE sessions SET subject_id = ?2,"
        " status = CASE status WHEN 'review' THEN 'ok' ELSE status END WHERE id = ?1");
    update.bind(1, sessionId).bind(2, subjectId);
    if (!update.run()) {
        error = "cannot assign session " + std::to_string(sessionId) + ": " + update.error();
        return false;
    }
    // The choice goes beside the file, so a rebuild keeps it; without that it is not made.
    const std::string path = absolutePath(*chosen);
    if (reg::fileState(path).regular && !reg::writeDetailsBeside(path, *subject, error))
        return false;
    if (!transaction.commit()) {
        error = "cannot assign session " + std::to_string(sessionId) + ": " + transaction.error();
        return false;
    }
    reg::removeSubjectFile(dataFolder_, subjectId);
    return true;
}

}  // namespace kenvo
