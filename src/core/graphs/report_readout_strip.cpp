#include "graphs/report_readout_strip.h"

namespace kenvo {

void drawReadoutStrip(Surface& s, const Rect& r, const ReadoutStripTexts& t) {
    s.rectangle(r);
    // Edges from the strip's own corners, so the last row and column end exactly on it.
    const auto row = [&](int32_t k) { return r.top + (r.bottom - r.top) * k / 3; };
    const auto col = [&](int32_t k) { return r.left + (r.right - r.left) * k / 4; };
    const auto cell = [&](int32_t rowIndex, int32_t first, int32_t last) {
        return Rect{col(first), row(rowIndex), col(last), row(rowIndex + 1)};
    };
    s.text(cell(0, 0, 1), t.left, TextAlign::Centre);
    s.text(cell(0, 1, 3), t.distance, TextAlign::Centre);
    s.text(cell(0, 3, 4), t.right, TextAlign::Centre);
    for (int32_t c = 0; c < 4; ++c) {
        s.text(cell(1, c, c + 1), t.y1[static_cast<std::size_t>(c)], TextAlign::Centre);
        s.text(cell(2, c, c + 1), t.y2[static_cast<std::size_t>(c)], TextAlign::Centre);
    }
}

}  // namespace kenvo
