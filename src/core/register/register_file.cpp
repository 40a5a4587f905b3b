#include <memory>

#include "model/measurement_store.h"
#include "register/register_details.h"
#include "register/register_paths.h"
#include "register/register_registration.h"
#include "register/register_rows.h"
#include "register/register_statement.h"
#include "register/subject_register.h"

namespace kenvo {

std::optional<int64_t> SubjectRegister::registerFile(const std::string& kplatPath,
                                                     const Sidecar& details, std::string& error) {
    error.clear();
    const reg::FileState state = reg::fileState(kplatPath);
    reg::DecodedSession decoded;
    {
        const auto store = std::make_unique<MeasurementStore>();
        if (!reg::decodeSession(kplatPath, *store, decoded, error)) return std::nullopt;
    }
    const std::string stored = reg::storedPath(kplatPath, dataFolder_);

    reg::Transaction transaction(db_);
    if (!transaction.begun()) {
        error = "cannot register " + kplatPath + " in " + dbPath_ + ": " + transaction.error();
        return std::nullopt;
    }
    std::optional<int64_t> existingId;
    {
        reg::Statement query(db_, "SELECT id FROM sessions WHERE file = ?");
        query.bind(1, stored);
        if (query.step() == SQLITE_ROW) existingId = query.integer(0);
    }
    // The window's choice of subject counts only when the register has that subject.
    Sidecar given = details;
    if (given.subjectId && !reg::loadSubject(db_, *given.subjectId)) given.subjectId.reset();
    reg::StoredSession result;
    if (!reg::storeSession(db_, stored, state, decoded, &given, existingId, result, error)) {
        error = "cannot register " + kplatPath + " in " + dbPath_ + ": " + error;
        return std::nullopt;
    }

    // The sidecar is written before the commit, so a registration never lives in the register
    // alone; should it fail, the session is registered all the same and the reason reported.
    Sidecar beside = given;
    beside.subjectId.reset();
    std::optional<RegisterSubject> subject;
    if (result.subjectId) subject = reg::loadSubject(db_, *result.subjectId);
    if (subject) beside = reg::withSubjectDetails(beside, *subject);
    std::string sidecarError;
    const bool written = writeSidecar(kplatPath, beside, sidecarError);

    if (!transaction.commit()) {
        error = "cannot register " + kplatPath + " in " + dbPath_ + ": " + transaction.error();
        return std::nullopt;
    }
    if (subject) reg::removeSubjectFile(dataFolder_, subject->id);
    if (!written)
        error = kplatPath + " is registered, but its sidecar was not written: " + sidecarError;
    return result.id;
}

}  // namespace kenvo
