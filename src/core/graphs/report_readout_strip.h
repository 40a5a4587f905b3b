#pragma once

#include <array>
#include <string>

#include "analysis/report_readouts.h"

#include "graphs/surface.h"

namespace kenvo {

// The graph report's cursor read-outs, already formatted by the analysis with the numeric
// locale: the marker row ("XL: %d", "diff X: %d", "XR: %d", in ms) and the Y1 and Y2 rows in
// the order left value, integral, average, right value.
using ReadoutStripTexts = ReportReadoutTexts;

// The read-out strip: the rectangle outlined, split into three rows of equal height and four
// columns of equal width. The marker row puts XL in the first quarter, diff X across the two
// middle ones and XR in the last; every text is centred in its cell, in the current font and
// text colour. Works for paper rectangles (top above bottom) as well.
void drawReadoutStrip(Surface& surface, const Rect& strip, const ReadoutStripTexts& texts);

}  // namespace kenvo
