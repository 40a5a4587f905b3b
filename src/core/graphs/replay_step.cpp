#include "graphs/replay_step.h"

#include <algorithm>

#include "graphs/live_traces.h"

namespace kenvo {

bool advanceReplay(MeasurementStore& store, DisplayState& st) {
    if (st.replayStep == 0) return false;
    if (st.selectedAttempt < 0 || st.selectedAttempt >= MaxAttempts) {
        st.replayStep = 0;
        return false;
    }
    const int32_t n = st.traceLength;
    const int32_t full = store.plannedSamples();
    const CopSample* samples = store.samples(st.selectedAttempt);
    LiveTrace& trace = store.liveTrace;
    // A position left over from another attempt must not index past this one.
    st.shownSamples = std::clamp(st.shownSamples, 0, full);

    if (st.replayStep > 0) {
        for (int32_t i = 0; i < st.replayStep && st.shownSamples < full; ++i)
            trace.pushRecorded(samples[st.shownSamples++]);
        if (st.replayStep == 1) st.replayStep = 0;
    } else {
        // Down to -1: the last drop also takes off the marker entry of sequence 0 that the first
        // recorded push set, so the ring is back to its state before the replay began.
        for (int32_t i = 0; i < -int64_t{st.replayStep} && st.shownSamples >= 0; ++i) {
            if (st.shownSamples > n + 1)
                trace.pushOldest(samples[st.shownSamples - n - 2], st.shownSamples - n - 1);
            else
                trace.dropNewest();
            --st.shownSamples;
        }
        if (st.replayStep == -1) st.replayStep = 0;
    }

    if (st.shownSamples <= 0) {
        st.shownSamples = 0;
        st.replayStep = 0;
    }
    if (st.shownSamples >= full) {
        st.shownSamples = full;
        st.replayStep = 0;
    }
    return true;
}

void replayStep(const StanceContext& ctx, Surface& s, const Rect& copPlane, const Rect& timeGraph) {
    if (!advanceReplay(ctx.store, ctx.state)) return;
    const int32_t n = ctx.state.traceLength;
    drawLiveTimeTraces(ctx, s, timeGraph, 0, n);
    drawLiveCopTrace(ctx, s, copPlane, n);
}

}  // namespace kenvo
