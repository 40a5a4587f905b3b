#include "graphs/trend_page.h"

#include <algorithm>

namespace kenvo {

namespace {

constexpr int32_t PageWidth = 1800;
constexpr int32_t RowHeight = 45;
constexpr Rect TitleFrame{0, 0, PageWidth, -80};
constexpr Rect GraphBox{0, -130, PageWidth, -1250};
constexpr int32_t FirstTableTop = -1320;
constexpr int32_t LaterTableTop = -130;
// Date, value and attempts columns: left edges and the right end.
constexpr int32_t Columns[] = {100, 600, 1100, 1500};

void row(Surface& s, int32_t top, const std::string& date, const std::string& value,
         const std::string& attempts) {
    const int32_t bottom = top - RowHeight;
    s.text(Rect{Columns[0], top, Columns[1] - 20, bottom}, date, TextAlign::Left);
    s.text(Rect{Columns[1], top, Columns[2] - 20, bottom}, value, TextAlign::Right);
    s.text(Rect{Columns[2], top, Columns[3] - 20, bottom}, attempts, TextAlign::Right);
}

}  // namespace

int32_t trendPageCount(const TrendPage& page) {
    const int32_t rows = static_cast<int32_t>(page.rows.size());
    if (rows <= TrendFirstPageRows) return 1;
    return 1 + (rows - TrendFirstPageRows + TrendLaterPageRows - 1) / TrendLaterPageRows;
}

void drawTrendPage(Surface& s, const TrendPage& page, int32_t number) {
    SurfaceState keep(s);
    const int32_t pages = trendPageCount(page);
    number = std::clamp(number, 1, pages);
    s.selectPen(Pen{colour::Black, 3});
    s.selectBrush(Brush{colour::White});
    s.rectangle(TitleFrame);
    s.selectFont(ViewFont::PrintBold);
    s.text(Rect{40, TitleFrame.top, 1400, TitleFrame.bottom}, page.heading, TextAlign::Left);
    s.selectFont(ViewFont::PrintNormal);
    s.text(Rect{1400, TitleFrame.top, PageWidth - 40, TitleFrame.bottom},
           "Page " + std::to_string(number) + " of " + std::to_string(pages), TextAlign::Right);

    int32_t first = 0, count = TrendFirstPageRows, top = FirstTableTop;
    if (number == 1) {
        drawTrendGraph(s, GraphBox, page.graph);
    } else {
        first = TrendFirstPageRows + (number - 2) * TrendLaterPageRows;
        count = TrendLaterPageRows;
        top = LaterTableTop;
    }
    const int32_t end = std::min<int32_t>(first + count, static_cast<int32_t>(page.rows.size()));
    if (first >= end) return;
    s.selectFont(ViewFont::PrintBold);
    row(s, top, "Date", "Value", "Attempts");
    s.moveTo(Columns[0], top - RowHeight);
    s.lineTo(Columns[3], top - RowHeight);
    s.selectFont(ViewFont::PrintNormal);
    for (int32_t i = first; i < end; ++i) {
        const TrendRow& r = page.rows[static_cast<std::size_t>(i)];
        row(s, top - (i - first + 1) * RowHeight - 5, r.date, r.value, r.attempts);
    }
}

}  // namespace kenvo
