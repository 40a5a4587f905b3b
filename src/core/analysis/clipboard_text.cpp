#include "analysis/clipboard_text.h"

#include <algorithm>

namespace kenvo {

std::string clipboardText(const TableContent& table, const std::vector<int>& rows) {
    const std::size_t columns = static_cast<std::size_t>(tableColumnCount(table));
    std::string text;
    for (int r : rows) {
        if (r < 0 || static_cast<std::size_t>(r) >= table.rows.size()) continue;
        const auto& cells = table.rows[static_cast<std::size_t>(r)];
        for (std::size_t c = 0; c < columns; ++c) {
            if (c < cells.size()) text += cells[c];
            text += ' ';
        }
        text += "\r\n";
    }
    return text;
}

std::string copyAllRows(const TableContent& table) {
    std::vector<int> all(table.rows.size());
    for (std::size_t i = 0; i < all.size(); ++i) all[i] = static_cast<int>(i);
    return clipboardText(table, all);
}

std::optional<std::string> copySelectedRows(const TableContent& table, std::vector<int> selection) {
    std::sort(selection.begin(), selection.end());
    selection.erase(std::unique(selection.begin(), selection.end()), selection.end());
    selection.erase(std::remove_if(selection.begin(), selection.end(),
                                   [&](int r) { return r < 0 || static_cast<std::size_t>(r) >= table.rows.size(); }),
                    selection.end());
    if (selection.empty()) return std::nullopt;
    return clipboardText(table, selection);
}

}  // namespace kenvo
