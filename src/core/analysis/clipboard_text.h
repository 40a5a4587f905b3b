#pragma once

#include <optional>
#include <string>
#include <vector>

#include "analysis/table_rows.h"

namespace kenvo {

inline constexpr const char* NoItemsSelectedMessage = "No items were selected!";

// Clipboard text of table rows: each of the table's columns as its cell text followed by one
// space (cells the table does not show are empty), every row ended by "\r\n", in row order.
std::string clipboardText(const TableContent& table, const std::vector<int>& rows);
std::string copyAllRows(const TableContent& table);
// The selected rows in increasing order; nothing (the caller shows NoItemsSelectedMessage) when
// no valid row is selected.
std::optional<std::string> copySelectedRows(const TableContent& table, std::vector<int> selection);

}  // namespace kenvo
