#pragma once

#include <string>
#include <vector>

namespace kenvo::test {

using CsvRows = std::vector<std::vector<std::string>>;

// The rows and cells of CSV text as the program writes it: cells separated by commas, rows by
// line feeds (a carriage return is dropped); a quoted cell may hold commas and line breaks and
// loses its quotes.
CsvRows csvRows(const std::string& text);

}  // namespace kenvo::test
