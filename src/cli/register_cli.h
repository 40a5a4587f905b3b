#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "cli_args.h"
#include "register/subject_register.h"

namespace kenvo::cli {

// Where a register command works: the register file (--db, else the data folder's) and the
// data folder that session paths are kept relative to.
struct RegisterPlace {
    std::string dbPath;
    std::string dataFolder;
    bool isDefault = false;
};
RegisterPlace registerPlace(const Args& args);

// Opens the register of an existing file for a command that reads or changes it. On failure
// prints a plain message naming the file (with how to rebuild a register that cannot be read)
// and returns nothing.
std::unique_ptr<SubjectRegister> openRegisterFor(const std::string& subcommand,
                                                 const RegisterPlace& place);

// A register id on the command line: a whole number from 1.
std::optional<int64_t> parseRegisterId(const std::string& text);

// Rows of cells as aligned columns (the first row a header); `rightAligned` marks the columns
// of numbers. Widths count characters, not bytes, so names with accents line up.
std::string alignedColumns(const std::vector<std::vector<std::string>>& rows,
                           const std::vector<bool>& rightAligned);

int runRegisterSubjects(const std::vector<std::string>& words);
int runRegisterSessions(const std::vector<std::string>& words);
int runRegisterHistory(const std::vector<std::string>& words);

}  // namespace kenvo::cli
