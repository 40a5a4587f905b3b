#include "register/register_statement.h"

namespace kenvo::reg {

Statement::Statement(sqlite3* db, const char* sql) : db_(db) {
    lastCode_ = sqlite3_prepare_v2(db, sql, -1, &stmt_, nullptr);
    if (lastCode_ != SQLITE_OK) {
        sqlite3_finalize(stmt_);
        stmt_ = nullptr;
    }
}

Statement::~Statement() {
    sqlite3_finalize(stmt_);
}

std::string Statement::error() const {
    return sqlite3_errmsg(db_);
}

Statement& Statement::bind(int index, int64_t value) {
    if (stmt_) sqlite3_bind_int64(stmt_, index, value);
    return *this;
}

Statement& Statement::bind(int index, const std::string& value) {
    if (stmt_)
        sqlite3_bind_text(stmt_, index, value.data(), static_cast<int>(value.size()),
                          SQLITE_TRANSIENT);
    return *this;
}

Statement& Statement::bind(int index, const std::optional<double>& value) {
    if (!stmt_) return *this;
    if (value)
        sqlite3_bind_double(stmt_, index, *value);
    else
        sqlite3_bind_null(stmt_, index);
    return *this;
}

Statement& Statement::bindText(int index, const std::optional<std::string>& value) {
    if (value) return bind(index, *value);
    return bindNull(index);
}

Statement& Statement::bindNull(int index) {
    if (stmt_) sqlite3_bind_null(stmt_, index);
    return *this;
}

int Statement::step() {
    if (!stmt_) return lastCode_ == SQLITE_OK ? SQLITE_MISUSE : lastCode_;
    lastCode_ = sqlite3_step(stmt_);
    return lastCode_;
}

bool Statement::run() {
    const int code = step();
    if (stmt_) sqlite3_reset(stmt_);
    return code == SQLITE_DONE || code == SQLITE_ROW;
}

void Statement::reset() {
    if (!stmt_) return;
    sqlite3_reset(stmt_);
    sqlite3_clear_bindings(stmt_);
}

int64_t Statement::integer(int column) const {
    return sqlite3_column_int64(stmt_, column);
}

std::string Statement::text(int column) const {
    const auto* p = sqlite3_column_text(stmt_, column);
    if (!p) return {};
    return std::string(reinterpret_cast<const char*>(p),
                       static_cast<std::size_t>(sqlite3_column_bytes(stmt_, column)));
}

std::optional<double> Statement::real(int column) const {
    if (isNull(column)) return std::nullopt;
    return sqlite3_column_double(stmt_, column);
}

bool Statement::isNull(int column) const {
    return sqlite3_column_type(stmt_, column) == SQLITE_NULL;
}

bool execute(sqlite3* db, const char* sql, std::string& error) {
    char* message = nullptr;
    if (sqlite3_exec(db, sql, nullptr, nullptr, &message) == SQLITE_OK) return true;
    error = message ? message : sqlite3_errmsg(db);
    sqlite3_free(message);
    return false;
}

Transaction::Transaction(sqlite3* db) : db_(db) {
    begun_ = execute(db, "BEGIN IMMEDIATE", error_);
}

Transaction::~Transaction() {
    if (begun_ && !done_) {
        std::string ignored;
        execute(db_, "ROLLBACK", ignored);
    }
}

bool Transaction::commit() {
    if (!begun_ || done_) return false;
    if (!execute(db_, "COMMIT", error_)) return false;
    done_ = true;
    return true;
}

}  // namespace kenvo::reg
