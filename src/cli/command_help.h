#pragma once

#include <string>
#include <vector>

namespace kenvo::cli {

// True when the words ask for help (--help or -h anywhere among them).
bool wantsHelp(const std::vector<std::string>& words);

// Prints the help of one subcommand to standard output; false when there is no such command.
bool printCommandHelp(const std::string& command);

// Every clinical measure of "measures", one "  column  meaning (unit)" line each, then a note.
std::string clinicalMeasureList();

// The views of `render` and `print`, one "  name  what it shows" line each.
std::string renderViewList();
std::string printViewList();

}  // namespace kenvo::cli
