#include "sway_list.h"

#include <QHeaderView>
#include <algorithm>
#include <cmath>
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
    layoutFont_ = font();
    place(QRect());
}

void SwayList::setScale(double scale) {
    if (scale == scale_) return;
    scale_ = scale;
    QFont shown = layoutFont_;
    if (layoutFont_.pixelSize() > 0)
        shown.setPixelSize(std::max(1, int(std::lround(layoutFont_.pixelSize() * scale))));
    else
        shown.setPointSizeF(layoutFont_.pointSizeF() * scale);
    setFont(shown);
    header_->setFont(shown);
    header_->setScale(scale);
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + int(std::lround(4 * scale)));
    for (int c = 0; c < columnCount() && c < int(widths_.size()); ++c)
        setColumnWidth(c, int(std::lround(widths_[size_t(c)] * scale)));
}

void SwayList::clearTable() {
    setRowCount(0);
    for (int c = columnCount() - 1; c >= 0; --c) removeColumn(c);
    columns_.clear();
    widths_.clear();
    filled_ = false;
}

void SwayList::fill(const TableContent& content) {
    clearTable();
    const TableDescriptor& d = tableDescriptor(content.table);
    const bool ownColumns = !content.columns.empty();
    const int columns =
        ownColumns ? int(content.columns.size()) : std::clamp(content.shownColumns, 0, d.count);
    table_ = content.table;
    columns_ = content.columns;
    setColumnCount(columns);
    for (int c = 0; c < columns; ++c) {
        const std::string_view text = ownColumns
                                          ? std::string_view(content.columns[size_t(c)].title)
                                          : d.screenTitles[size_t(c)];
        setHorizontalHeaderItem(
            c, new QTableWidgetItem(QString::fromUtf8(text.data(), qsizetype(text.size()))));
        widths_.push_back(ownColumns ? content.columns[size_t(c)].screenWidth
                                     : d.screenWidths[size_t(c)]);
        setColumnWidth(c, int(std::lround(widths_.back() * scale_)));
    }
    setRowCount(int(content.rows.size()));
    for (int r = 0; r < int(content.rows.size()); ++r) {
        const auto& row = content.rows[size_t(r)];
        for (int c = 0; c < columns && c < int(row.size()); ++c) {
            auto* item = new QTableWidgetItem(fromFileText(row[size_t(c)]));
            const bool left = ownColumns && content.columns[size_t(c)].leftAligned;
            item->setTextAlignment((left ? Qt::AlignLeft : Qt::AlignRight) | Qt::AlignVCenter);
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
    content.columns = columns_;
    const int count = tableColumnCount(content);
    content.rows.resize(size_t(rowCount()));
    for (int r = 0; r < rowCount(); ++r) {
        auto& row = content.rows[size_t(r)];
        row.resize(size_t(count));
        for (int c = 0; c < std::min(count, columnCount()); ++c)
            if (const QTableWidgetItem* cell = item(r, c))
                row[size_t(c)] = toFileText(cell->text());
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
