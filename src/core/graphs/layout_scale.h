#pragma once

#include <cstdint>

namespace kenvo {

// The window's first size: every screen layout of the view was made for the view's client area
// at this window size.
inline constexpr int32_t LayoutWindowWidth = 800;
inline constexpr int32_t LayoutWindowHeight = 560;

// How much larger than its layout the view draws. W0 x H0, the view's client size when the
// window is 800 x 560, is the view's size less what the window's frame, menus and bars take
// now; the scale is the smaller of width / W0 and height / H0, so the whole layout stays in
// view. Never below 1: a window smaller than the first size cuts the layout off, as it always
// did, rather than shrinking its text below legibility.
double layoutScale(int32_t viewWidth, int32_t viewHeight, int32_t windowWidth,
                   int32_t windowHeight);

}  // namespace kenvo
