#pragma once

#include <cstdlib>
#include <string>

#include "procedures/recovery_file.h"
#include "graphs/display_state.h"
#include "procedures/clock_seed.h"
#include "model/measurement_store.h"
#include "procedures/procedure_port.h"
#include "model/sample_metric.h"

namespace kenvo {

// Steps every test procedure shares.

// Back to the blank view: no dialog bar, a fresh drawing.
inline void blankProcedureView(ProcedurePort& port) {
    // The next test draws its targets from a fresh seed.
    std::srand(clockSeed());
    port.setViewMode(ProcedureBlankView);
    port.hideBar();
    port.redraw();
}

// "Center" of the stance and target bars: the display centre becomes the COP of the live entry
// one before the newest (offset traceLength - 1 from the oldest), in the data set's scales.
inline void centreOnLiveCop(const MeasurementStore& store, DisplayState& display) {
    const LiveTrace& trace = store.liveTrace;
    const int32_t capacity = trace.capacity();
    if (capacity <= 0) return;
    const CopSample e = trace.entry((trace.oldest() + display.traceLength - 1) % capacity);
    display.displayCentreX = sampleMetric(MetricCopX, e, e, store.calibration);
    display.displayCentreY = sampleMetric(MetricCopY, e, e, store.calibration);
}

// Copies the data set to the recovery file after a completed attempt. A failure is told once
// per test (`problemShown`), so a full disk does not interrupt every attempt.
inline void writeRecoveryCopy(const std::string& path, const MeasurementStore& store, ProcedurePort& port,
                              bool& problemShown) {
    if (path.empty()) return;
    const FileResult written = saveRecoveryFile(path, store);
    if (written || problemShown) return;
    problemShown = true;
    port.message("The attempts could not be copied to the recovery file: " + written.reason);
}

}  // namespace kenvo
