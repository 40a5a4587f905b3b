#include "procedures/replay_procedure.h"

#include "model/sample_metric.h"

namespace kenvo {

bool replaySpeed(int32_t buttonId, int32_t& step) {
    switch (buttonId) {
        case ReplayFastReverse: step = -25; return true;
        case ReplayReverse: step = -5; return true;
        case ReplayStepReverse: step = -1; return true;
        case ReplayPause: step = 0; return true;
        case ReplayStepForward: step = 1; return true;
        case ReplayForward: step = 5; return true;
        case ReplayFastForward: step = 25; return true;
        default: return false;
    }
}

ReplayProcedure::ReplayProcedure(MeasurementStore& store, Settings& settings, DisplayState& display,
                                 ProcedurePort& port)
    : store_(store), settings_(settings), display_(display), port_(port) {}

void ReplayProcedure::enter() {
    port_.switchBar(ReplayBarTemplate);
    port_.setViewMode(ProcedureReplayView);
    display_.copCountdown = 0;
    display_.copPictureKind = 0;
    display_.traceStart = -1;
    display_.selectedAttempt = 0;
    rewind();
    centreOnFirstSample();
    port_.redraw();
}

bool ReplayProcedure::button(int32_t id) {
    if (id == ReplayStop) {
        rewind();
        port_.redraw();
        return true;
    }
    return replaySpeed(id, display_.replayStep);
}

void ReplayProcedure::selectAttempt(int32_t attempt) {
    if (attempt < 0 || attempt >= store_.attemptCount) return;
    display_.selectedAttempt = attempt;
    rewind();
    centreOnFirstSample();
    port_.redraw();
}

void ReplayProcedure::rewind() {
    display_.shownSamples = 0;
    display_.replayStep = 0;
    display_.traceLength = settings_.graph.liveWindowSamples();
    store_.liveTrace.reset(display_.traceLength + 1);
}

void ReplayProcedure::centreOnFirstSample() {
    display_.displayCentreX = 0.0f;
    display_.displayCentreY = 0.0f;
    if (settings_.graph.copCentred == 0) return;
    const int32_t a = display_.selectedAttempt;
    if (a < 0 || a >= MaxAttempts) return;
    const CopSample& first = store_.samples(a)[0];
    display_.displayCentreX = sampleMetric(MetricCopX, first, first, store_.calibration);
    display_.displayCentreY = sampleMetric(MetricCopY, first, first, store_.calibration);
}

}  // namespace kenvo
