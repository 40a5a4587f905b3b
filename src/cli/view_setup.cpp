#include "view_setup.h"

#include <algorithm>

#include "analysis/diffusion_curve.h"
#include "analysis/diffusion_fit.h"
#include "graphs/replay_step.h"
#include "graphs/report_controls.h"
#include "model/limits.h"
#include "model/sample_metric.h"

namespace kenvo::cli {

void ViewSetup::replayToEnd() {
    MeasurementStore& store = *data.store;
    const int32_t n = data.graph.liveWindowSamples();
    store.liveTrace.reset(n + 1);
    state.traceLength = n;
    state.traceStart = -1;
    state.selectedAttempt = attempt;
    state.shownSamples = 0;
    if (data.graph.copCentred) {
        const CopSample& first = store.samples(attempt)[0];
        state.displayCentreX = sampleMetric(MetricCopX, first, first, store.calibration);
        state.displayCentreY = sampleMetric(MetricCopY, first, first, store.calibration);
    }
    state.replayStep = MaxSamples;
    while (advanceReplay(store, state)) {
    }
}

void ViewSetup::graphReport() {
    enterGraphReport(state, *data.store, data.graph);
    selectReportAttempt(state, *data.store, attempt);
}

void ViewSetup::diffusionPage(std::optional<int32_t> marker) {
    enterDiffusionGraph(state, *data.store, data.graph);
    state.selectedAttempt = attempt;
    diffusion.curve = computeDiffusionCurve(*data.store, attempt, std::clamp(data.store->attemptSeconds, 0, MaxSamples / SampleRate) * SampleRate);
    if (marker) {
        state.leftMarker = std::clamp(*marker, state.rangeStart, std::max(state.rangeStart, state.rangeEnd));
        diffusion.fit = fitDiffusionLines(diffusion.curve, state.reportY1, state.leftMarker);
        diffusion.resultsCurrent = true;
    }
}

}  // namespace kenvo::cli
