#include "reports/printed_report.h"

#include <algorithm>
#include <vector>

#include "analysis/text_format.h"

namespace kenvo {

namespace {

constexpr int32_t ModeReplay = 2;
constexpr int32_t ModeDiffusion = 7;
constexpr int32_t ModeGraphReport = 8;
constexpr int32_t RowHeight = 80;
constexpr int32_t CellMargin = 30;

bool isGraphMode(int32_t mode) { return mode == ModeReplay || mode == ModeDiffusion || mode == ModeGraphReport; }

void drawTitleLine(Surface& s, std::string_view title, int32_t page, int32_t total) {
    const Rect& f = page::TitleFrame;
    s.moveTo(f.left, f.top);
    s.lineTo(f.right, f.top);
    s.lineTo(f.right, f.bottom);
    s.lineTo(f.left, f.bottom);
    s.lineTo(f.left, f.top);
    s.text(page::TitleText, title, TextAlign::Left);
    s.text(page::PageNumber, formatText("Page: %d/%d", page, total), TextAlign::Right);
}

// A table's printed columns: its own, or its descriptor's (the Attempt table prints 4 of its 7
// columns unless the data set is a driving one).
struct PrintedColumn {
    std::string_view title;
    int32_t width = 0;
    TextAlign align = TextAlign::Right;
};

std::vector<PrintedColumn> printedColumns(const PrintJob& job) {
    const TableContent& t = *job.table;
    std::vector<PrintedColumn> columns;
    if (!t.columns.empty()) {
        for (const TableColumn& c : t.columns)
            columns.push_back({c.title, c.printWidth, c.leftAligned ? TextAlign::Left : TextAlign::Right});
        return columns;
    }
    const TableDescriptor& d = tableDescriptor(t.table);
    int32_t count = d.count;
    if (t.table == SummaryTable::Attempt && count == 7 && job.dataSetTestMode != TestModeDriving) count = 4;
    for (int32_t c = 0; c < count; ++c)
        columns.push_back({d.printTitles[static_cast<std::size_t>(c)], printColumnWidth(t.table, c), TextAlign::Right});
    return columns;
}

void drawTable(Surface& s, const PrintJob& job, int32_t page) {
    const TableContent& t = *job.table;
    const TableDescriptor& d = tableDescriptor(t.table);
    const std::vector<PrintedColumn> columns = printedColumns(job);
    if (columns.empty()) return;
    const int32_t y0 = page == 1 ? -480 : -160;
    int32_t y = page == 1 ? -680 : -320;
    if (d.printsTitles) {
        int32_t x = 0;
        for (const PrintedColumn& c : columns) {
            const TextAlign align = !t.columns.empty() ? c.align
                                    : t.table == SummaryTable::Attempt ? TextAlign::Right
                                                                       : TextAlign::Centre;
            s.multilineText({x, y0 - 10, x + c.width, y0 - 140}, c.title, align);
            x += c.width;
        }
    }
    s.selectFont(ViewFont::PrintNormal);
    const RowRange rows = pageRows(page, static_cast<int32_t>(t.rows.size()));
    for (int32_t r = rows.first; r < rows.end; ++r, y -= RowHeight) {
        const auto& cells = t.rows[static_cast<std::size_t>(r)];
        int32_t x = 0;
        for (std::size_t c = 0; c < columns.size(); ++c) {
            const int32_t w = columns[c].width;
            const std::string& text = c < cells.size() ? cells[c] : std::string();
            // A left-aligned text column keeps the same margin on its left.
            const Rect box = columns[c].align == TextAlign::Left
                                 ? Rect{x + CellMargin, y + RowHeight, x + w, y}
                                 : Rect{x, y + RowHeight, x + w - CellMargin, y};
            s.text(box, text, columns[c].align);
            x += w;
        }
    }
}

}  // namespace

int32_t printPageCount(int32_t rows) {
    if (rows <= FirstPageRows) return 1;
    return 1 + (rows - FirstPageRows + LaterPageRows - 1) / LaterPageRows;
}

int32_t printFooterCount(int32_t viewMode, int32_t rows) {
    return viewMode == ModeReplay ? 1 : printPageCount(rows);
}

RowRange pageRows(int32_t page, int32_t rows) {
    if (page < 1 || rows <= 0) return {0, 0};
    if (page == 1) return {0, std::min(rows, FirstPageRows)};
    const int32_t first = FirstPageRows + LaterPageRows * (page - 2);
    return {std::min(first, rows), std::min(first + LaterPageRows, rows)};
}

std::string_view reportTitle(int32_t viewMode) {
    switch (viewMode) {
        case 3: return "DIGITAL REPORT";
        case 4: return "DIGITAL SUMMARY REPORT";
        case 5: return "INTERVAL REPORT";
        case 10: return "TASK REPORT";
        case 12: return "DRIVING REPORT";
        case 13: return "Frequency REPORT";
        case 20: return "CLINICAL MEASURES REPORT";
        default: return "REPORT";
    }
}

int32_t jobPageCount(const PrintJob& job) {
    if (!isSummaryTable(job.viewMode)) return 1;
    return printPageCount(job.table ? static_cast<int32_t>(job.table->rows.size()) : job.listRows);
}

int32_t printColumnWidth(SummaryTable table, int32_t column) {
    const TableDescriptor& d = tableDescriptor(table);
    if (column < 0 || column >= MaxTableColumns) return 0;
    if (table == SummaryTable::Attempt && column == 2) return d.printWidths[1];
    return d.printWidths[static_cast<std::size_t>(column)];
}

void drawPrintedPage(Surface& s, const PrintJob& job, int32_t page, PrintedGraphs& graphs) {
    SurfaceState keep(s);
    s.selectPen(Pen{colour::Black, 1});
    s.selectFont(ViewFont::PrintBold);
    s.setTextColour(colour::Black);
    const int32_t rows = job.table ? static_cast<int32_t>(job.table->rows.size()) : job.listRows;
    const int32_t total = isSummaryTable(job.viewMode) ? printFooterCount(job.viewMode, rows) : 1;
    drawTitleLine(s, reportTitle(job.viewMode), page, total);
    if (page == 1) graphs.subjectStrip(s, page::SubjectUpper, page::SubjectLower);
    if (isGraphMode(job.viewMode)) {
        graphs.graphs(s, job.viewMode, page::LeftGraph, page::RightGraph, page::DiffusionGraph);
    } else if (isSummaryTable(job.viewMode) && job.table) {
        drawTable(s, job, page);
    }
}

}  // namespace kenvo
