#pragma once

#include <array>
#include <cstdint>

#include "analysis/diffusion_curve.h"

namespace kenvo {

inline constexpr int32_t OriginFitPasses = 5;
inline constexpr int32_t GeneralFitPasses = 4;

// The two lines fitted to one curve quantity on either side of the marker L: the line
// y1 = originSlope·m through the origin over lags 0 .. L − 1, and the line
// y2 = lineA·m + lineB over lags L .. 999 (the view's daOriginSlope, daLineA and daLineB).
// The abscissa is the lag index m. Only the curve's usable lags take part (lag 0 and the lags
// with pairs, DiffusionCurve::usableLags); a side left without lags has residual 0 for every
// line, so each pass keeps its first grid value.
struct DiffusionFit {
    float originSlope = 0.0f;
    float lineA = 0.0f;
    float lineB = 0.0f;
    // The kept values after each pass, coarse to fine.
    std::array<float, OriginFitPasses> originSlopeByPass{};
    std::array<float, GeneralFitPasses> lineAByPass{};
    std::array<float, GeneralFitPasses> lineBByPass{};
    // Residual sums computed in full over both fits, of the candidates searched.
    int64_t evaluatedCandidates = 0;
    int64_t searchedCandidates = 0;
};

// Grid search of both lines on quantity `kind` with the marker `marker` (clamped to
// 0 .. 1000).
//
// Origin line: five passes over slopes 0 .. 1000 step 1, then best ± 1 step 0.1, ± 0.1
// step 0.01, ± 0.01 step 0.001, ± 0.001 step 0.0001; each pass starts from a best residual
// of 1e12 and keeps the first slope strictly below it. The slope starts at 0.
//
// General line: the intercept starts at the curve value at the marker. Four passes: slopes
// 0 .. 1000 step 1, then best ± 0.1 step 0.01, ± 0.01 step 0.001, ± 0.001 step 0.0001
// (best = the slope kept so far); in each, intercepts from the kept intercept − 2 to + 2 in
// the same step, intercepts outer and slopes inner, keeping the first pair strictly below a
// best residual starting at 1e14. `startLineA` is the slope held before the fit; it remains
// only if the first pass keeps nothing.
//
// All grid values are single-precision running sums (runningGrid) and the residual sums are
// lineResidual; the pick equals the exhaustive search bit for bit.
DiffusionFit fitDiffusionLines(const DiffusionCurve& curve, int32_t kind, int32_t marker,
                               float startLineA = 0.0f);

}  // namespace kenvo
