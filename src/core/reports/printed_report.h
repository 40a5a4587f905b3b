#pragma once

#include <cstdint>
#include <string_view>

#include "analysis/table_rows.h"
#include "graphs/surface.h"

namespace kenvo {

// Printed pages of the main view, in 0.1 mm units with y upward from the top-left corner of the
// printable area: a framed title line with the page number, the subject strip on page 1, then
// the graphs of the view mode or the rows of its table.

inline constexpr int32_t FirstPageRows = 24;
inline constexpr int32_t LaterPageRows = 27;

// Pages for a table of `rows` rows: 1 up to 24 rows, then one more per 27.
int32_t printPageCount(int32_t rows);
// The number a page's footer shows as the total; replay pages always say 1.
int32_t printFooterCount(int32_t viewMode, int32_t rows);

struct RowRange {
    int32_t first = 0;
    int32_t end = 0;  // one past the last
};
RowRange pageRows(int32_t page, int32_t rows);  // page counted from 1

std::string_view reportTitle(int32_t viewMode);

// What the page frame cannot draw by itself: the subject strip and the graphs of the graph
// modes, drawn by the view's routines on the same surface.
class PrintedGraphs {
public:
    virtual ~PrintedGraphs() = default;
    virtual void subjectStrip(Surface& surface, const Rect& upper, const Rect& lower) = 0;
    // Replay (2), diffusion (7) and graph report (8) pages; the boxes in page units.
    virtual void graphs(Surface& surface, int32_t viewMode, const Rect& leftBox, const Rect& rightBox,
                        const Rect& diffusionBox) = 0;
};

struct PrintJob {
    int32_t viewMode = 0;
    const TableContent* table = nullptr;  // the list's rows in the table modes
    int32_t dataSetTestMode = 0;          // the Attempt table prints 4 of 7 columns unless driving
    int32_t listRows = 0;                 // the rows the list holds (the page count follows it)
};

// Pages this job prints. The graph modes print one page whatever the hidden list holds, so a
// graph report never repeats itself over pages.
int32_t jobPageCount(const PrintJob& job);

// Draws page `page` (from 1) of the job on a printing surface.
void drawPrintedPage(Surface& surface, const PrintJob& job, int32_t page, PrintedGraphs& graphs);

// Print width of a table column; the Attempt table's third column gets the width of its
// neighbour so its values are not cut off.
int32_t printColumnWidth(SummaryTable table, int32_t column);

namespace page {
inline constexpr Rect TitleFrame{0, 0, 1800, -80};
inline constexpr Rect TitleText{100, 0, 1000, -80};
inline constexpr Rect PageNumber{1000, 0, 1700, -80};
inline constexpr Rect SubjectUpper{0, -160, 1800, -241};
inline constexpr Rect SubjectLower{0, -240, 1800, -400};
inline constexpr Rect LeftGraph{100, -750, 700, -1350};
inline constexpr Rect RightGraph{880, -750, 1800, -1350};
inline constexpr Rect DiffusionGraph{100, -750, 1800, -1350};
}  // namespace page

}  // namespace kenvo
