#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "graphs/surface.h"
#include "graphs/trend_graph.h"

namespace kenvo {

// One row of a printed trend's table: the session's date, the value and what it rests on.
struct TrendRow {
    std::string date;
    std::string value;
    std::string attempts;
};

// A subject's trend on paper: a heading, the graph on page 1 with the first rows of the table
// below it, the rest of the rows on further pages. 0.1 mm units, y upward from the top left of
// the printable area, as every printed page of the program.
struct TrendPage {
    std::string heading;  // e.g. "Mean velocity - Jana Novakova (P-0042)"
    TrendGraph graph;
    std::vector<TrendRow> rows;
};

inline constexpr int32_t TrendFirstPageRows = 30;
inline constexpr int32_t TrendLaterPageRows = 56;

int32_t trendPageCount(const TrendPage& page);
// Draws page `number` (from 1) on a printing surface.
void drawTrendPage(Surface& surface, const TrendPage& page, int32_t number);

}  // namespace kenvo
