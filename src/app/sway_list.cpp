#include "sway_list.h"

#include <QHeaderView>
#include <algorithm>
#include <set>

#include "dialog_text.h"
#include "ml_header_ctrl.h"

namespace kenvo {

SwayList::SwayList(QWidget* parent) : QTableWidget(parent), header_(new CMLHeaderCtrl(this)) {
    setObjectName(QStringLiteral("swayList"));
    setHorizontalHeader(header_);
    verticalHeader()->hide();
    setShowGrid(false);
    setSortingEnabled(false);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setWordWrap(false);
    setFrameShape(QFrame::Box);
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 4);
    place(QRect());
}

void SwayList::clearTable() {
    setRowCount(0);
    for (int c = columnCount() - 1; c >= 0; --c) removeColumn(c);
    filled_ = false;
}

void SwayList::fill(const TableContent& content) {
    clearTable();
    const TableDescriptor& d = tableDescriptor(content.table);
    const int columns = std::clamp(content.shownColumns, 0, d.count);
    table_ = content.table;
    setColumnCount(columns);
    for (int c = 0; c < columns; ++c) {
        auto* title = new QTableWidgetItem(QString::fromUtf8(d.screenTitles[size_t(c)].data(),
                                                             qsizetype(d.screenTitles[size_t(c)].size())));
        setHorizontalHeaderItem(c, title);
        setColumnWidth(c, d.screenWidths[size_t(c)]);
    }
    setRowCount(int(content.rows.size()));
    for (int r = 0; r < int(content.rows.size()); ++r) {
        const auto& row = content.rows[size_t(r)];
        for (int c = 0; c < columns && c < int(row.size()); ++c) {
            auto* item = new QTableWidgetItem(fromFileText(row[size_t(c)]));
            item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            setItem(r, c, item);
        }
    }
    filled_ = true;
}

TableContent SwayList::shownContent() const {
    TableContent content;
    if (!filled_) return content;
    content.table = table_;
    content.shownColumns = columnCount();
    const int count = tableDescriptor(table_).count;
    content.rows.resize(size_t(rowCount()));
    for (int r = 0; r < rowCount(); ++r) {
        auto& row = content.rows[size_t(r)];
        row.resize(size_t(count));
        for (int c = 0; c < std::min(count, columnCount()); ++c)
            if (const QTableWidgetItem* cell = item(r, c)) row[size_t(c)] = toFileText(cell->text());
    }
    return content;
}

std::vector<int> SwayList::selectedRowIndexes() const {
    std::set<int> rows;
    for (const QModelIndex& index : selectionModel()->selectedIndexes()) rows.insert(index.row());
    return {rows.begin(), rows.end()};
}

void SwayList::place(const QRect& geometry) {
    setGeometry(geometry);
    setVisible(!geometry.isEmpty());
}

}  // namespace kenvo
