#include <benchmark/benchmark.h>

#include <vector>

#include "clinical/clinical_measures.h"
#include "platform/cop_source.h"

namespace kenvo {
namespace {

// 60 s of quiet standing in millimetres, different for each seed.
SwayTrace quietStance(uint32_t seed, int samples = 6000) {
    QuietStanceSource subject(seed);
    SwayTrace t;
    t.x.resize(static_cast<std::size_t>(samples));
    t.y.resize(static_cast<std::size_t>(samples));
    for (int k = 0; k < samples; ++k) {
        const CopPoint p = subject.at(k);
        t.x[static_cast<std::size_t>(k)] = p.xMm;
        t.y[static_cast<std::size_t>(k)] = p.yMm;
    }
    return t;
}

// Every clinical measure of one 60 s attempt with the 10 Hz low-pass.
void BM_ClinicalMeasures(benchmark::State& state) {
    const SwayTrace trace = quietStance(1);
    for (auto _ : state) {
        ClinicalMeasures r = computeClinicalMeasures(trace, DefaultLowPassHz);
        benchmark::DoNotOptimize(r.values.data());
    }
    state.SetItemsProcessed(state.iterations() * 6000);
}
BENCHMARK(BM_ClinicalMeasures)->Unit(benchmark::kMicrosecond);

// A whole public data set's worth: 1930 attempts of 60 s held in memory, filtered and measured.
void BM_ClinicalMeasuresBatch(benchmark::State& state) {
    constexpr int Attempts = 1930;
    std::vector<SwayTrace> traces;
    traces.reserve(Attempts);
    for (int a = 0; a < Attempts; ++a) traces.push_back(quietStance(static_cast<uint32_t>(a + 1)));
    for (auto _ : state) {
        double sum = 0.0;
        for (const SwayTrace& t : traces) {
            const ClinicalMeasures r = computeClinicalMeasures(t, DefaultLowPassHz);
            sum += r[ClinicalMeasure::Area95].value_or(0.0);
        }
        benchmark::DoNotOptimize(sum);
    }
    state.SetItemsProcessed(state.iterations() * Attempts);
}
BENCHMARK(BM_ClinicalMeasuresBatch)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace kenvo
