#include "analysis/diffusion_texts.h"

#include "analysis/text_format.h"

namespace kenvo {

DiffusionCrossing diffusionCrossing(float originSlope, float lineA, float lineB) {
    const float denominator = originSlope - lineA;
    if (denominator == 0.0f) return {};
    const float x = lineB / denominator;
    return {true, x, originSlope * x};
}

std::string markerText(int32_t marker) {
    return formatText("x result: %d", marker);
}
std::string yLeftText(float value) {
    return formatText("yleft: %5.1f", double{value});
}
std::string yRightText(float value) {
    return formatText("y right: %5.1f", double{value});
}
std::string originLineText(float originSlope) {
    return formatText("y1= %5.3f x", double{originSlope});
}
std::string generalLineText(float lineA, float lineB) {
    return formatText("y2= %6.4fx+%6.4f", double{lineA}, double{lineB});
}
std::string crossingText(const DiffusionCrossing& at) {
    return formatText("result[x][y]: [%5.2f] [%5.2f]", double{at.x}, double{at.y});
}

DiffusionTexts diffusionTexts(const DiffusionCurve& curve, int32_t marker, int32_t y1Kind,
                              int32_t y2Kind, const DiffusionFit* currentResults) {
    DiffusionTexts texts;
    texts.marker = markerText(marker);
    texts.yLeft = yLeftText(curve.value(marker, y1Kind));
    texts.yRight = yRightText(curve.value(marker, y2Kind));
    if (currentResults) {
        const DiffusionFit& r = *currentResults;
        texts.originLine = originLineText(r.originSlope);
        texts.generalLine = generalLineText(r.lineA, r.lineB);
        texts.crossing = crossingText(diffusionCrossing(r.originSlope, r.lineA, r.lineB));
    }
    return texts;
}

}  // namespace kenvo
