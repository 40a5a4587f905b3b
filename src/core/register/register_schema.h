#pragma once

#include <sqlite3.h>

#include <string>

namespace kenvo::reg {

// The schema version this program writes (PRAGMA user_version).
inline constexpr int RegisterSchemaVersion = 2;

// The tables of schema version 1: subjects, sessions and per attempt the clinical measures,
// one REAL column per measure named after its CSV column.
bool createSchemaVersion1(sqlite3* db, std::string& error);

// Brings a register of schema `from` (1 .. RegisterSchemaVersion) to the current version,
// step by step, and sets user_version. Runs inside the caller's transaction.
bool migrateSchema(sqlite3* db, int from, std::string& error);

// The measure columns of the attempts table, quoted and separated by commas, in the order of
// ClinicalMeasure.
const std::string& measureColumnList();

}  // namespace kenvo::reg
