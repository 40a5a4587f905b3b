#include "files/sidecar.h"
#include "register/register_details.h"
#include "register/register_paths.h"
#include "register/register_rows.h"
#include "register/register_statement.h"
#include "register/register_text_fold.h"
#include "register/subject_register.h"

namespace kenvo {

namespace {

// The reason a subject cannot be saved as it is, or empty.
std::string invalidDetails(const RegisterSubject& s) {
    if (s.name.empty()) return "a subject needs a name";
    if (s.sex != 'F' && s.sex != 'M') return "the sex of a subject is F or M";
    if (!s.birthDate.empty() && !isCalendarDate(s.birthDate))
        return "the birth date " + s.birthDate + " is not a date of the form YYYY-MM-DD";
    if (s.heightCm < 0 || s.heightCm > 250) return "the height is 0 to 250 cm";
    if (s.weightKg < 0 || s.weightKg > 500) return "the weight is 0 to 500 kg";
    return {};
}

}  // namespace

std::vector<RegisterSubject> SubjectRegister::subjects(const std::string& search) const {
    std::string sql = std::string("SELECT ") + reg::SubjectColumns + " FROM subjects s";
    // A plain substring search on case-folded text: the search's own % and _ are just
    // characters, and "č" finds "Č" as "a" finds "A" (LIKE folds ASCII only).
    if (!search.empty())
        sql += " WHERE instr(kenvo_fold(s.name), ?1) > 0 OR instr(kenvo_fold(s.code), ?1) > 0";
    sql += " ORDER BY s.name, s.id";
    reg::Statement query(db_, sql.c_str());
    if (!search.empty()) query.bind(1, reg::foldCase(search));
    std::vector<RegisterSubject> found;
    while (query.step() == SQLITE_ROW) found.push_back(reg::subjectFromRow(query));
    return found;
}

std::optional<RegisterSubject> SubjectRegister::subject(int64_t id) const {
    return reg::loadSubject(db_, id);
}

bool SubjectRegister::saveSubject(RegisterSubject& subject, std::string& error) {
    RegisterSubject cleaned = subject;
    cleaned.name = reg::trimmed(cleaned.name);
    cleaned.code = reg::trimmed(cleaned.code);
    cleaned.birthDate = reg::trimmed(cleaned.birthDate);
    if (std::string why = invalidDetails(cleaned); !why.empty()) {
        error = why;
        return false;
    }

    reg::Transaction transaction(db_);
    if (!transaction.begun()) {
        error = "cannot change the subject register " + dbPath_ + ": " + transaction.error();
        return false;
    }
    if (auto owner = reg::subjectWithCode(db_, cleaned.code); owner && *owner != cleaned.id) {
        const auto other = reg::loadSubject(db_, *owner);
        error = "the patient code " + cleaned.code + " is already used by " +
                (other ? other->name : std::string("another subject")) + " (subject " +
                std::to_string(*owner) + ")";
        return false;
    }
    const bool known = cleaned.id > 0 && reg::loadSubject(db_, cleaned.id).has_value();
    if (cleaned.id > 0 && !known) {
        error = "there is no subject " + std::to_string(cleaned.id) + " in the register";
        return false;
    }
    if (!(known ? reg::updateSubject(db_, cleaned, error)
                : reg::insertSubject(db_, cleaned, error))) {
        error = "cannot save the subject " + cleaned.name + " in " + dbPath_ + ": " + error;
        return false;
    }

    // The files keep what the register holds, so the register can be built again from them.
    // A detail that cannot be written beside the files is not kept in the register alone.
    const std::vector<RegisterSession> list = sessions(cleaned.id);
    for (const RegisterSession& session : list) {
        const std::string path = absolutePath(session);
        if (!reg::fileState(path).regular) continue;
        if (!reg::writeDetailsBeside(path, cleaned, error)) return false;
    }
    if (list.empty() && !reg::writeSubjectFile(dataFolder_, cleaned, error)) return false;
    if (!transaction.commit()) {
        error = "cannot save the subject " + cleaned.name + " in " + dbPath_ + ": " +
                transaction.error();
        return false;
    }
    if (!list.empty()) reg::removeSubjectFile(dataFolder_, cleaned.id);
    cleaned.sessionCount = static_cast<int>(list.size());
    subject = cleaned;
    error.clear();
    return true;
}

}  // namespace kenvo
