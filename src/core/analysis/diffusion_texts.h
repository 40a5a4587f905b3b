#pragma once

#include <cstdint>
#include <string>

#include "analysis/diffusion_curve.h"
#include "analysis/diffusion_fit.h"

namespace kenvo {

// Where the origin line meets the general line: x = lineB / (originSlope − lineA) lags and
// y = originSlope·x, in single precision. Parallel lines (a zero denominator) have no
// crossing; they give exists = false and x = y = 0, never an infinity or NaN.
struct DiffusionCrossing {
    bool exists = false;
    float x = 0.0f;
    float y = 0.0f;
};
DiffusionCrossing diffusionCrossing(float originSlope, float lineA, float lineB);

// The result texts of the diffusion view, each formatted with printf under the process's
// current numeric locale (the user's decimal separator).
std::string markerText(int32_t marker);                 // "x result: %d"
std::string yLeftText(float value);                     // "yleft: %5.1f"
std::string yRightText(float value);                    // "y right: %5.1f"
std::string originLineText(float originSlope);          // "y1= %5.3f x"
std::string generalLineText(float lineA, float lineB);  // "y2= %6.4fx+%6.4f"
std::string crossingText(const DiffusionCrossing& at);  // "result[x][y]: [%5.2f] [%5.2f]"

struct DiffusionTexts {
    std::string marker;
    std::string yLeft;   // the Y1 quantity at the marker
    std::string yRight;  // the Y2 quantity at the marker
    // Empty unless fit results are given (they are shown only while current).
    std::string originLine;
    std::string generalLine;
    std::string crossing;
};
DiffusionTexts diffusionTexts(const DiffusionCurve& curve, int32_t marker, int32_t y1Kind,
                              int32_t y2Kind, const DiffusionFit* currentResults);

}  // namespace kenvo
