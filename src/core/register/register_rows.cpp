#include "register/register_rows.h"

#include "register/register_paths.h"

namespace kenvo::reg {

RegisterSubject subjectFromRow(const Statement& row) {
    RegisterSubject subject;
    subject.id = row.integer(0);
    subject.code = row.text(1);
    subject.name = row.text(2);
    subject.birthDate = row.text(3);
    const std::string sex = row.text(4);
    subject.sex = sex == "M" ? 'M' : 'F';
    subject.heightCm = static_cast<int>(row.integer(5));
    subject.weightKg = static_cast<int>(row.integer(6));
    subject.notes = row.text(7);
    subject.sessionCount = static_cast<int>(row.integer(8));
    return subject;
}

std::optional<RegisterSubject> loadSubject(sqlite3* db, int64_t id) {
    Statement query(
        db, (std::string("SELECT ") + SubjectColumns + " FROM subjects s WHERE s.id = ?").c_str());
    query.bind(1, id);
    if (query.step() != SQLITE_ROW) return std::nullopt;
    return subjectFromRow(query);
}

std::optional<int64_t> subjectWithCode(sqlite3* db, const std::string& code) {
    if (code.empty()) return std::nullopt;
    Statement query(db, "SELECT id FROM subjects WHERE code = ?");
    query.bind(1, code);
    if (query.step() != SQLITE_ROW) return std::nullopt;
    return query.integer(0);
}

int64_t freeSubjectId(sqlite3* db) {
    Statement summary(db, "SELECT count(*), coalesce(max(id), 0) FROM subjects");
    if (summary.step() != SQLITE_ROW) return 1;
    // No gaps (the usual case): the next id after the largest.
    if (summary.integer(0) == summary.integer(1)) return summary.integer(1) + 1;
    Statement gap(db,
                  "SELECT CASE WHEN NOT EXISTS (SELECT 1 FROM subjects WHERE id = 1) THEN 1 ELSE"
                  " (SELECT min(s.id) + 1 FROM subjects s WHERE s.id > 0 AND NOT EXISTS"
                  " (SELECT 1 FROM subjects t WHERE t.id = s.id + 1)) END");
    return gap.step() == SQLITE_ROW ? gap.integer(0) : summary.integer(1) + 1;
}

namespace {

std::optional<std::string> nonEmpty(const std::string& text) {
    if (text.empty()) return std::nullopt;
    return text;
}

void bindDetails(Statement& statement, const RegisterSubject& subject) {
    statement.bindText(2, nonEmpty(subject.code));
    statement.bind(3, subject.name);
    statement.bindText(4, nonEmpty(subject.birthDate));
    statement.bind(5, std::string(1, subject.sex == 'M' ? 'M' : 'F'));
    statement.bind(6, int64_t{subject.heightCm});
    statement.bind(7, int64_t{subject.weightKg});
    statement.bindText(8, nonEmpty(subject.notes));
}

}  // namespace

bool insertSubject(sqlite3* db, RegisterSubject& subject, std::string& error) {
    if (subject.id <= 0) subject.id = freeSubjectId(db);
    Statement insert(db,
                     "INSERT INTO subjects (id, code, name, birth_date, sex, height_cm, weight_kg,"
                     " notes) VALUES (?, ?, ?, ?, ?, ?, ?, ?)");
    insert.bind(1, subject.id);
    bindDetails(insert, subject);
    if (insert.run()) return true;
    error = insert.error();
    return false;
}

bool updateSubject(sqlite3* db, const RegisterSubject& subject, std::string& error) {
    Statement update(db,
                     "UPDATE subjects SET code = ?2, name = ?3, birth_date = ?4, sex = ?5,"
                     " height_cm = ?6, weight_kg = ?7, notes = ?8 WHERE id = ?1");
    update.bind(1, subject.id);
    bindDetails(update, subject);
    if (update.run()) return true;
    error = update.error();
    return false;
}

Sidecar withSubjectDetails(Sidecar base, const RegisterSubject& subject) {
    base.subjectId = subject.id;
    base.name = subject.name;
    base.sex = subject.sex;
    base.heightCm = subject.heightCm;
    base.weightKg = subject.weightKg;
    base.patientCode = nonEmpty(subject.code);
    base.birthDate = nonEmpty(subject.birthDate);
    base.notes = nonEmpty(subject.notes);
    return base;
}

RegisterSubject overlaidBy(RegisterSubject subject, const Sidecar& sidecar) {
    if (sidecar.name) subject.name = trimmed(*sidecar.name);
    if (sidecar.sex) subject.sex = *sidecar.sex == 'M' ? 'M' : 'F';
    if (sidecar.heightCm) subject.heightCm = *sidecar.heightCm;
    if (sidecar.weightKg) subject.weightKg = *sidecar.weightKg;
    if (sidecar.patientCode) subject.code = trimmed(*sidecar.patientCode);
    if (sidecar.birthDate) subject.birthDate = *sidecar.birthDate;
    if (sidecar.notes) subject.notes = *sidecar.notes;
    return subject;
}

}  // namespace kenvo::reg
