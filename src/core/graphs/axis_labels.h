#pragma once

#include <cstdint>
#include <string_view>

#include "graphs/surface.h"

namespace kenvo {

// Clear space between a right-hand axis's tick and its label, half the axis font's height:
// any closer and the tick reads as a minus sign in front of the number.
inline constexpr int32_t ScreenRightLabelGap = 6;
inline constexpr int32_t PaperRightLabelGap = 15;
inline int32_t rightLabelGap(const Surface& s) {
    return s.isPrinting() ? PaperRightLabelGap : ScreenRightLabelGap;
}

// A time label's box on paper, centred on x from bottom - 20 down to bottom - 60 and as wide
// as the text needs in the paper font (every character taken as wide as a digit).
Rect paperTimeLabelBox(int32_t x, int32_t bottom, std::string_view label);

// Time labels along an axis, drawn left to right: a label whose box would overlap the last
// one drawn is left out, so neighbouring labels never print over each other.
class TimeLabelRow {
  public:
    explicit TimeLabelRow(Surface& surface) : s_(surface) {}
    // Draws `label` centred in `box` unless it would overlap; true when drawn.
    bool draw(const Rect& box, std::string_view label);

  private:
    Surface& s_;
    bool any_ = false;
    int32_t lastRight_ = 0;
};

}  // namespace kenvo
