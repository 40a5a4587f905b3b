#pragma once

#include <sqlite3.h>

#include <cstdint>
#include <optional>
#include <string>

namespace kenvo::reg {

// A prepared statement that finalizes itself. Binding indexes start at 1, columns at 0.
class Statement {
  public:
    Statement(sqlite3* db, const char* sql);
    ~Statement();
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;

    bool ok() const { return stmt_ != nullptr; }
    // SQLite's message when the statement could not be prepared or a step failed.
    std::string error() const;

    Statement& bind(int index, int64_t value);
    Statement& bind(int index, const std::string& value);
    Statement& bind(int index, const std::optional<double>& value);
    Statement& bindText(int index, const std::optional<std::string>& value);
    Statement& bindNull(int index);

    // SQLITE_ROW, SQLITE_DONE or an error code.
    int step();
    // Steps once and says whether the statement ran to completion without error.
    bool run();
    void reset();

    int64_t integer(int column) const;
    std::string text(int column) const;
    std::optional<double> real(int column) const;
    bool isNull(int column) const;

  private:
    sqlite3* db_;
    sqlite3_stmt* stmt_ = nullptr;
    int lastCode_ = SQLITE_OK;
};

// Runs SQL without results; false with SQLite's message in `error` on failure.
bool execute(sqlite3* db, const char* sql, std::string& error);

// BEGIN IMMEDIATE on construction; rolls back unless commit() succeeded.
class Transaction {
  public:
    explicit Transaction(sqlite3* db);
    ~Transaction();
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;

    bool begun() const { return begun_; }
    const std::string& error() const { return error_; }
    bool commit();

  private:
    sqlite3* db_;
    bool begun_ = false;
    bool done_ = false;
    std::string error_;
};

}  // namespace kenvo::reg
