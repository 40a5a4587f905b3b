#include "support/csv_rows.h"

namespace kenvo::test {

CsvRows csvRows(const std::string& text) {
    CsvRows rows;
    std::vector<std::string> cells;
    std::string cell;
    bool quoted = false;
    for (const char c : text) {
        if (c == '"') {
            quoted = !quoted;
        } else if (c == ',' && !quoted) {
            cells.push_back(cell);
            cell.clear();
        } else if (c == '\n' && !quoted) {
            cells.push_back(cell);
            rows.push_back(cells);
            cells.clear();
            cell.clear();
        } else if (c != '\r') {
            cell += c;
        }
    }
    if (!cell.empty() || !cells.empty()) cells.push_back(cell), rows.push_back(cells);
    return rows;
}

}  // namespace kenvo::test
