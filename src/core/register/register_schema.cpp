#include "register/register_schema.h"

#include "clinical/clinical_measures.h"
#include "register/register_statement.h"

namespace kenvo::reg {

namespace {

std::string quoted(std::string_view name) {
    return "\"" + std::string(name) + "\"";
}

// Version 2: what the sensory protocol needs - the protocol of a session, each attempt's
// condition and whether the attempt was discarded.
bool migrateTo2(sqlite3* db, std::string& error) {
    return execute(db,
                   "ALTER TABLE sessions ADD COLUMN protocol TEXT;"
                   "ALTER TABLE attempts ADD COLUMN condition TEXT;"
                   "ALTER TABLE attempts ADD COLUMN discarded INTEGER NOT NULL DEFAULT 0;"
                   "PRAGMA user_version = 2;",
                   error);
}

}  // namespace

const std::string& measureColumnList() {
    static const std::string list = [] {
        std::string columns;
        for (const ClinicalMeasureInfo& info : clinicalMeasureInfo()) {
            if (!columns.empty()) columns += ", ";
            columns += quoted(info.column);
        }
        return columns;
    }();
    return list;
}

bool createSchemaVersion1(sqlite3* db, std::string& error) {
    std::string measures;
    for (const ClinicalMeasureInfo& info : clinicalMeasureInfo())
        measures += ", " + quoted(info.column) + " REAL";
    const std::string sql =
        "CREATE TABLE subjects ("
        " id INTEGER PRIMARY KEY,"
        " code TEXT UNIQUE,"
        " name TEXT NOT NULL,"
        " birth_date TEXT,"
        " sex TEXT NOT NULL CHECK (sex IN ('F', 'M')),"
        " height_cm INTEGER NOT NULL DEFAULT 0,"
        " weight_kg INTEGER NOT NULL DEFAULT 0,"
        " notes TEXT);"
        "CREATE TABLE sessions ("
        " id INTEGER PRIMARY KEY,"
        " subject_id INTEGER REFERENCES subjects(id),"
        " file TEXT NOT NULL UNIQUE,"
        " test TEXT NOT NULL,"
        " recorded_at INTEGER NOT NULL,"
        " attempts INTEGER NOT NULL,"
        " file_size INTEGER NOT NULL,"
        " file_mtime_ns INTEGER NOT NULL,"
        " status TEXT NOT NULL);"
        "CREATE INDEX sessions_by_subject ON sessions(subject_id);"
        "CREATE TABLE attempts ("
        " session_id INTEGER NOT NULL REFERENCES sessions(id) ON DELETE CASCADE,"
        " attempt INTEGER NOT NULL" +
        measures +
        ", PRIMARY KEY (session_id, attempt));"
        "PRAGMA user_version = 1;";
    return execute(db, sql.c_str(), error);
}

bool migrateSchema(sqlite3* db, int from, std::string& error) {
    if (from < 2 && !migrateTo2(db, error)) return false;
    return true;
}

}  // namespace kenvo::reg
