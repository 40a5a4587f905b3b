#include "graphs/layout_scale.h"

#include <algorithm>

namespace kenvo {

double layoutScale(int32_t viewWidth, int32_t viewHeight, int32_t windowWidth,
                   int32_t windowHeight) {
    const int32_t layoutWidth = LayoutWindowWidth - (windowWidth - viewWidth);
    const int32_t layoutHeight = LayoutWindowHeight - (windowHeight - viewHeight);
    if (layoutWidth <= 0 || layoutHeight <= 0 || viewWidth <= 0 || viewHeight <= 0) return 1.0;
    const double scale =
        std::min(double(viewWidth) / layoutWidth, double(viewHeight) / layoutHeight);
    return std::max(1.0, scale);
}

}  // namespace kenvo
