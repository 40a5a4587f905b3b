#pragma once

#include <QTableWidget>
#include <vector>

#include "analysis/table_rows.h"

namespace kenvo {

class CMLHeaderCtrl;

// The list of the digital tables: report style with the two-line header, full rows selected,
// several at a time, columns right-aligned and never sorted. It shows the texts of a
// TableContent exactly; copying, export and printing read them back from its cells.
class SwayList final : public QTableWidget {
    Q_OBJECT

  public:
    static constexpr int ControlId = 129;

    explicit SwayList(QWidget* parent = nullptr);

    CMLHeaderCtrl* header() const { return header_; }

    // Removes every row, then every column from the last to the first.
    void clearTable();
    // Columns with the table's titles and screen widths, then one row per content row.
    void fill(const TableContent& content);

    // What the list shows: its table, the shown columns and every row's cell texts (the
    // table's full column count; cells the list does not show are empty).
    TableContent shownContent() const;
    // The selected rows in increasing order.
    std::vector<int> selectedRowIndexes() const;
    bool hasTable() const { return filled_; }

    // Places the list in its parent; a zero size hides it.
    void place(const QRect& geometry);
    // Text, rows, columns and the header grow by `scale` when the view shows its layout larger.
    void setScale(double scale);
    double scale() const { return scale_; }

  private:
    CMLHeaderCtrl* header_;
    SummaryTable table_ = SummaryTable::Summary;
    std::vector<TableColumn> columns_;  // a table with columns of its own
    bool filled_ = false;
    QFont layoutFont_;         // the list's font at scale 1
    std::vector<int> widths_;  // the columns' widths at scale 1
    double scale_ = 1.0;
};

}  // namespace kenvo
