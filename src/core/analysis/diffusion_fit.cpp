#include "analysis/diffusion_fit.h"

#include <algorithm>
#include <vector>

#include "analysis/line_grid_search.h"

namespace kenvo {

namespace {

constexpr float OriginBestStart = 1e12f;
constexpr float GeneralBestStart = 1e14f;
constexpr int32_t GeneralLastLag = 999;

// Pass p > 0 searches the kept value ± width[p] in steps step[p]; pass 0 searches 0 .. 1000
// in steps of 1.
constexpr std::array<float, OriginFitPasses> OriginWidth{0.0f, 1.0f, 0.1f, 0.01f, 0.001f};
constexpr std::array<float, OriginFitPasses> OriginStep{1.0f, 0.1f, 0.01f, 0.001f, 0.0001f};
constexpr std::array<float, GeneralFitPasses> GeneralWidth{0.0f, 0.1f, 0.01f, 0.001f};
constexpr std::array<float, GeneralFitPasses> GeneralStep{1.0f, 0.01f, 0.001f, 0.0001f};
constexpr float InterceptWidth = 2.0f;

std::vector<float> slopeGrid(int32_t pass, float kept, float width, float step) {
    if (pass == 0) return runningGrid(0.0f, 1000.0f, step);
    return runningGrid(kept - width, kept + width, step);
}

}  // namespace

DiffusionFit fitDiffusionLines(const DiffusionCurve& curve, int32_t kind, int32_t marker,
                               float startLineA) {
    DiffusionFit fit;
    const int32_t lag = std::clamp(marker, 0, DiffusionMaxLag);
    const int32_t usable = curve.usableLags();

    std::vector<float> values(static_cast<std::size_t>(DiffusionRecordCount));
    for (int32_t i = 0; i < DiffusionRecordCount; ++i)
        values[static_cast<std::size_t>(i)] = curve.value(i, kind);

    const LagSeries origin{values.data(), 0, std::min(lag, usable)};
    const int32_t generalEnd = std::min(GeneralLastLag + 1, usable);
    const LagSeries general{values.data() + lag, lag, std::max(0, generalEnd - lag)};

    const std::vector<float> zeroIntercept{0.0f};
    float slope = 0.0f;
    for (int32_t p = 0; p < OriginFitPasses; ++p) {
        const auto slopes = slopeGrid(p, slope, OriginWidth[static_cast<std::size_t>(p)],
                                      OriginStep[static_cast<std::size_t>(p)]);
        const GridPick pick = searchLineGrid(origin, zeroIntercept, slopes, OriginBestStart);
        if (pick.found) slope = pick.slope;
        fit.originSlopeByPass[static_cast<std::size_t>(p)] = slope;
        fit.evaluatedCandidates += pick.evaluated;
        fit.searchedCandidates += pick.candidates;
    }
    fit.originSlope = slope;

    float a = startLineA;
    float b = curve.value(lag, kind);
    for (int32_t p = 0; p < GeneralFitPasses; ++p) {
        const float step = GeneralStep[static_cast<std::size_t>(p)];
        const auto slopes = slopeGrid(p, a, GeneralWidth[static_cast<std::size_t>(p)], step);
        const auto intercepts = runningGrid(b - InterceptWidth, b + InterceptWidth, step);
        const GridPick pick = searchLineGrid(general, intercepts, slopes, GeneralBestStart);
        if (pick.found) {
            a = pick.slope;
            b = pick.intercept;
        }
        fit.lineAByPass[static_cast<std::size_t>(p)] = a;
        fit.lineBByPass[static_cast<std::size_t>(p)] = b;
        fit.evaluatedCandidates += pick.evaluated;
        fit.searchedCandidates += pick.candidates;
    }
    fit.lineA = a;
    fit.lineB = b;
    return fit;
}

}  // namespace kenvo
