#include <benchmark/benchmark.h>

#include "analysis/diffusion_curve.h"
#include "analysis/diffusion_fit.h"
#include "support/diffusion_reference.h"
#include "support/synthetic_sway.h"

namespace kenvo {
namespace {

const PlatformCalibration Model0{175.0f, 276.0f, {1, 1, 1, 1}};

// A 60 s attempt's curve, fitted on r with the marker at 100 lags (1 s): the general line
// then covers 900 lags, close to the worst case of the exhaustive search.
const DiffusionCurve& fitCurve() {
    static const DiffusionCurve curve = [] {
        const auto samples = test::syntheticSway(6000, 7);
        return computeDiffusionCurve(samples, Model0, 6000);
    }();
    return curve;
}
constexpr int32_t FitMarker = 100;

void BM_DiffusionFitReference(benchmark::State& state) {
    for (auto _ : state) {
        auto fit = test::literalDiffusionFit(fitCurve(), DiffusionKindR, FitMarker);
        benchmark::DoNotOptimize(fit);
    }
}
BENCHMARK(BM_DiffusionFitReference)->Unit(benchmark::kMillisecond)->Iterations(2);

void BM_DiffusionFit(benchmark::State& state) {
    DiffusionFit fit;
    for (auto _ : state) {
        fit = fitDiffusionLines(fitCurve(), DiffusionKindR, FitMarker);
        benchmark::DoNotOptimize(fit);
    }
    state.counters["summed"] = static_cast<double>(fit.evaluatedCandidates);
    state.counters["searched"] = static_cast<double>(fit.searchedCandidates);
}
BENCHMARK(BM_DiffusionFit)->Unit(benchmark::kMillisecond);

// A 300 s stance attempt: 1000 lags of about 29 500 pairs each.
const std::vector<CopSample>& longAttempt() {
    static const auto samples = test::syntheticSway(30000, 11);
    return samples;
}

void BM_DiffusionCurve(benchmark::State& state) {
    for (auto _ : state) {
        auto curve = computeDiffusionCurve(longAttempt(), Model0, 30000);
        benchmark::DoNotOptimize(curve);
    }
    state.SetItemsProcessed(state.iterations() * 29'499'500);  // pair distances
}
BENCHMARK(BM_DiffusionCurve)->Unit(benchmark::kMillisecond);

void BM_DiffusionCurveLiteral(benchmark::State& state) {
    for (auto _ : state) {
        auto curve = test::literalDiffusionCurve(longAttempt(), Model0, 30000);
        benchmark::DoNotOptimize(curve);
    }
    state.SetItemsProcessed(state.iterations() * 29'499'500);
}
BENCHMARK(BM_DiffusionCurveLiteral)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace kenvo
