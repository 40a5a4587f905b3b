#pragma once

#include <sqlite3.h>

#include <cstdint>
#include <optional>
#include <string>

#include "files/sidecar.h"
#include "register/register_records.h"
#include "register/register_statement.h"

namespace kenvo::reg {

// The subject columns read by subjectFromRow, with the session count last; the table is "s".
inline constexpr const char* SubjectColumns =
    "s.id, s.code, s.name, s.birth_date, s.sex, s.height_cm, s.weight_kg, s.notes, "
    "(SELECT count(*) FROM sessions WHERE subject_id = s.id)";
RegisterSubject subjectFromRow(const Statement& row);

std::optional<RegisterSubject> loadSubject(sqlite3* db, int64_t id);
std::optional<int64_t> subjectWithCode(sqlite3* db, const std::string& code);

// The lowest id no subject has, so that a register built again from the same files gives the
// same ids as the register that was built first.
int64_t freeSubjectId(sqlite3* db);

// Inserts `subject` (with its id, or the lowest free id when 0, which is then set) or updates
// the subject of its id. False with SQLite's message.
bool insertSubject(sqlite3* db, RegisterSubject& subject, std::string& error);
bool updateSubject(sqlite3* db, const RegisterSubject& subject, std::string& error);

// `base` with the register's details of `subject` and its id, so the files can give the
// register back.
Sidecar withSubjectDetails(Sidecar base, const RegisterSubject& subject);
// The details the measurement file's subject record gives, overlaid by what the sidecar says.
RegisterSubject overlaidBy(RegisterSubject subject, const Sidecar& sidecar);

}  // namespace kenvo::reg
