#include "graphs/axis_labels.h"

#include <algorithm>

namespace kenvo {

Rect paperTimeLabelBox(int32_t x, int32_t bottom, std::string_view label) {
    // A digit of Liberation Sans is 0.556 of the font height; 0.56 and a unit each side leave
    // it unclipped while ten labels of five digits still fit across the report's graph.
    const int32_t height = fontSpec(ViewFont::PrintNormal).height;
    const int32_t half = static_cast<int32_t>(label.size()) * height * 28 / 100 + 2;
    return {x - half, bottom - 20, x + half, bottom - 60};
}

bool TimeLabelRow::draw(const Rect& box, std::string_view label) {
    const int32_t left = std::min(box.left, box.right), right = std::max(box.left, box.right);
    if (any_ && left < lastRight_) return false;
    s_.text(box, label, TextAlign::Centre);
    any_ = true;
    lastRight_ = right;
    return true;
}

}  // namespace kenvo
