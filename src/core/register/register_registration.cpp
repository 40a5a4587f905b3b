#include "register/register_registration.h"

#include "clinical/attempt_trace.h"
#include "files/code_page.h"
#include "files/file_bytes.h"
#include "files/measurement_file.h"
#include "model/graph_settings.h"
#include "model/measurement_store.h"
#include "register/register_rows.h"
#include "register/register_schema.h"
#include "register/register_statement.h"

namespace kenvo::reg {

namespace {

const char* testKind(int32_t mode) {
    switch (mode) {
        case TestModeStance:
            return "stance";
        case TestModeDriving:
            return "driving";
        default:
            return "target";  // the unused mode 2 runs as target hitting
    }
}

// The register's subject for the file, or nothing when the session must wait for review.
bool settleSubject(sqlite3* db, const RegisterSubject& details, const Sidecar* sidecar,
                   std::optional<int64_t>& subjectId, std::string& error) {
    subjectId.reset();
    if (sidecar && sidecar->subjectId) {
        if (auto known = loadSubject(db, *sidecar->subjectId)) {
            subjectId = known->id;
            // A subject reserved from a sidecar that did not carry a name takes the file's.
            if (known->name.empty() && !details.name.empty()) {
                RegisterSubject filled = details;
                filled.id = known->id;
                filled.code = known->code;
                return updateSubject(db, filled, error);
            }
            return true;
        }
    }
    if (!details.code.empty()) {
        subjectId = subjectWithCode(db, details.code);
    } else if (!details.name.empty()) {
        Statement query(db, "SELECT id FROM subjects WHERE name = ? AND sex = ? LIMIT 2");
        query.bind(1, details.name).bind(2, std::string(1, details.sex));
        std::vector<int64_t> found;
        while (query.step() == SQLITE_ROW) found.push_back(query.integer(0));
        if (found.size() > 1) return true;  // equally good matches are not guessed between
        if (found.size() == 1) subjectId = found[0];
    } else {
        return true;  // nothing to match by: a person must say whose file it is
    }
    if (subjectId) return true;

    RegisterSubject created = details;
    created.id = sidecar && sidecar->subjectId && *sidecar->subjectId > 0 ? *sidecar->subjectId : 0;
    if (!insertSubject(db, created, error)) return false;
    subjectId = created.id;
    return true;
}

bool storeAttempts(sqlite3* db, int64_t sessionId, const DecodedSession& decoded,
                   const Sidecar* sidecar, std::string& error) {
    std::string placeholders;
    for (std::size_t i = 0; i < ClinicalMeasureCount; ++i) placeholders += ", ?";
    const std::string sql = "INSERT INTO attempts (session_id, attempt, condition, discarded, " +
                            measureColumnList() + ") VALUES (?, ?, ?, ?" + placeholders + ")";
    Statement insert(db, sql.c_str());
    for (int a = 0; a < decoded.attempts; ++a) {
        insert.reset();
        insert.bind(1, sessionId).bind(2, int64_t{a + 1});
        std::optional<std::string> condition;
        bool discarded = false;
        if (sidecar) {
            if (sidecar->conditions && static_cast<std::size_t>(a) < sidecar->conditions->size())
                condition = (*sidecar->conditions)[static_cast<std::size_t>(a)];
            for (int d : sidecar->discardedAttempts) discarded = discarded || d == a;
        }
        insert.bindText(3, condition).bind(4, int64_t{discarded ? 1 : 0});
        const bool measured = static_cast<std::size_t>(a) < decoded.measures.size();
        for (std::size_t m = 0; m < ClinicalMeasureCount; ++m)
            insert.bind(5 + static_cast<int>(m),
                        measured ? decoded.measures[static_cast<std::size_t>(a)].values[m]
                                 : std::optional<double>());
        if (!insert.run()) {
            error = insert.error();
            return false;
        }
    }
    return true;
}

}  // namespace

bool decodeSession(const std::string& path, MeasurementStore& store, DecodedSession& session,
                   std::string& error) {
    std::vector<uint8_t> bytes;
    if (!readRegularFile(path, MaxMeasurementFileBytes, bytes, error)) return false;
    GraphSettings graph;
    if (FileResult loaded = decodeMeasurementFile(bytes, path, store, graph); !loaded) {
        error = loaded.reason.empty() ? path + ": " + loaded.message : loaded.reason;
        return false;
    }
    session = DecodedSession{};
    session.stance = store.settings.testMode == TestModeStance;
    session.test = testKind(store.settings.testMode);
    session.attempts = store.attemptCount;
    // The store keeps the low 32 bits of the start time; as unsigned they last until 2106.
    session.recordedAt =
        store.attemptCount > 0 ? int64_t{static_cast<uint32_t>(store.startTime[0])} : 0;
    session.subject.name = trimmed(cp1250ToUtf8(store.subject.name));
    session.subject.sex = store.subject.sex == 1 ? 'M' : 'F';
    session.subject.heightCm = store.subject.height;
    session.subject.weightKg = store.subject.weight;
    if (session.stance) {
        session.measures.reserve(static_cast<std::size_t>(store.attemptCount));
        for (int32_t a = 0; a < store.attemptCount; ++a)
            session.measures.push_back(
                computeClinicalMeasures(attemptTrace(store, a), DefaultLowPassHz));
    }
    return true;
}

bool storeSession(sqlite3* db, const std::string& stored, const FileState& state,
                  const DecodedSession& decoded, const Sidecar* sidecar,
                  std::optional<int64_t> existingId, StoredSession& result, std::string& error) {
    result = StoredSession{};
    const RegisterSubject details =
        sidecar ? overlaidBy(decoded.subject, *sidecar) : decoded.subject;
    if (!settleSubject(db, details, sidecar, result.subjectId, error)) return false;

    const bool sensory = decoded.stance && sidecar && sidecar->protocol == "sensory";
    const char* sql =
        existingId ? "UPDATE sessions SET subject_id = ?2, file = ?3, test = ?4, recorded_at = ?5,"
                     " attempts = ?6, file_size = ?7, file_mtime_ns = ?8, status = ?9,"
                     " protocol = ?10 WHERE id = ?1"
                   : "INSERT INTO sessions (id, subject_id, file, test, recorded_at, attempts,"
                     " file_size, file_mtime_ns, status, protocol)"
                     " VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9, ?10)";
    Statement write(db, sql);
    if (existingId)
        write.bind(1, *existingId);
    else
        write.bindNull(1);
    if (result.subjectId)
        write.bind(2, *result.subjectId);
    else
        write.bindNull(2);
    write.bind(3, stored).bind(4, std::string(sensory ? "sensory" : decoded.test));
    write.bind(5, decoded.recordedAt).bind(6, int64_t{decoded.attempts});
    write.bind(7, static_cast<int64_t>(state.size)).bind(8, state.mtimeNs);
    write.bind(9, std::string(sessionStatusText(result.subjectId ? SessionStatus::Ok
                                                                 : SessionStatus::Review)));
    write.bindText(10, sidecar ? sidecar->protocol : std::nullopt);
    if (!write.run()) {
        error = write.error();
        return false;
    }
    result.id = existingId ? *existingId : sqlite3_last_insert_rowid(db);
    result.added = !existingId;
    if (existingId) {
        Statement clear(db, "DELETE FROM attempts WHERE session_id = ?");
        clear.bind(1, result.id);
        if (!clear.run()) {
            error = clear.error();
            return false;
        }
    }
    return storeAttempts(db, result.id, decoded, sidecar, error);
}

}  // namespace kenvo::reg
