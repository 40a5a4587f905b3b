#pragma once

#include <string>
#include <vector>

#include "support/csv_rows.h"
#include "support/process.h"

namespace kenvo::test {

using Rows = std::vector<std::vector<std::string>>;

// Runs kenvoplat-cli with KENVOPLAT_HOME set to `home` (and the time zone UTC).
ProcessResult cli(const std::string& home, std::vector<std::string> args, double timeout = 60.0);
// Exit status and both outputs, for failure messages.
std::string describe(const ProcessResult& r);
// The index of a header cell.
std::size_t column(const Rows& rows, const std::string& name);
// A number's text rounded to 12 significant digits.
std::string twelveDigits(const std::string& number);
// printf with up to three integers.
std::string format(const char* pattern, int a, int b = 0, int c = 0);
// The first `seconds` of each validation recording written to `folder` as import-csv input.
std::vector<std::string> shortRecordings(const std::string& folder, int seconds);
// The five count lines "register scan" prints first.
std::string fiveLines(int added, int updated, int unchanged, int skipped, int review);

}  // namespace kenvo::test
