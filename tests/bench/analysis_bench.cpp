#include <benchmark/benchmark.h>

#include <cmath>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "reports/batch_analysis.h"
#include "analysis/table_rows.h"
#include "files/measurement_file.h"
#include "model/measurement_store.h"
#include "platform/cop_source.h"

namespace kenvo {
namespace {

// A clinic's usual data set: ten stance attempts of 60 s of quiet standing.
std::unique_ptr<MeasurementStore> stanceDataSet(int attempts = 10, int samples = 6000) {
    auto s = std::make_unique<MeasurementStore>();
    s->calibration.scaleX = 175.0f;
    s->calibration.scaleY = 276.0f;
    s->settings = TestSettings::defaults();
    s->settings.stanceTime = samples / 100;
    s->attemptSeconds = samples / 100;
    for (int a = 0; a < attempts; ++a) {
        QuietStanceSource subject(static_cast<uint32_t>(a + 1));
        s->length[static_cast<std::size_t>(a)] = samples;
        for (int k = 0; k < samples; ++k) {
            const CopPoint p = subject.at(k);
            s->samples(a)[k] = {static_cast<float>(p.xMm / 175.0), static_cast<float>(p.yMm / 276.0), 72};
        }
    }
    s->attemptCount = attempts;
    return s;
}

void BM_SummaryTable(benchmark::State& state) {
    auto store = stanceDataSet();
    for (auto _ : state) {
        TableContent t = buildTable(SummaryTable::Summary, *store, {});
        benchmark::DoNotOptimize(t.rows.data());
    }
    state.SetItemsProcessed(state.iterations() * 10 * 6000);  // samples
}
BENCHMARK(BM_SummaryTable)->Unit(benchmark::kMillisecond);

void BM_FrequencyTable(benchmark::State& state) {
    auto store = stanceDataSet();
    for (auto _ : state) {
        TableContent t = buildTable(SummaryTable::FrequencyAnalysis, *store, {0, 1, 1.0f});
        benchmark::DoNotOptimize(t.rows.data());
    }
    state.SetItemsProcessed(state.iterations() * 10 * 6000);
}
BENCHMARK(BM_FrequencyTable)->Unit(benchmark::kMillisecond);

// Twenty measurement files of ten 60 s attempts each, loaded and analysed into one document.
void BM_BatchAnalysis(benchmark::State& state) {
    const std::string dir = (std::filesystem::temp_directory_path() / "kenvo-bench-batch").string();
    std::filesystem::create_directories(dir);
    auto store = stanceDataSet();
    std::vector<std::string> paths;
    for (int i = 0; i < 20; ++i) {
        paths.push_back(dir + "/set" + std::to_string(i) + ".kplat");
        if (!saveMeasurementFile(paths.back(), *store)) state.SkipWithError("cannot write the files");
    }
    for (auto _ : state) {
        BatchResult r = runBatchAnalysis(paths, 1.0f);
        benchmark::DoNotOptimize(r.document.data());
    }
    state.SetItemsProcessed(state.iterations() * 20);  // files
    std::filesystem::remove_all(dir);
}
BENCHMARK(BM_BatchAnalysis)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace kenvo
