#include "graphs/target_tick.h"

#include "graphs/target_hit_decision.h"
#include "model/measurement_store.h"
#include "platform/acquisition_control.h"

namespace kenvo {

TargetTickDecision decideTargetTick(int32_t targetReached, int32_t sampleCount,
                                    int32_t attemptCount, int32_t stimuliCount) {
    if (targetReached == 0 && sampleCount < TargetAttemptLimit)
        return TargetTickDecision::AttemptContinues;
    if (sampleCount < MinTargetSamples) return TargetTickDecision::TooShort;
    return attemptCount + 1 < stimuliCount ? TargetTickDecision::NextTarget
                                           : TargetTickDecision::TestFinished;
}

TargetTickResult targetTick(MeasurementStore& store, const AcquisitionControl& control) {
    TargetTickResult result;
    const int32_t attempt = store.attemptCount;
    if (attempt < 0 || attempt >= MaxAttempts) {
        // No slot left to record into: nothing can continue.
        result.decision = TargetTickDecision::TestFinished;
        return result;
    }
    auto& reached = store.targetReached[static_cast<std::size_t>(attempt)];
    result.sampleCount = control.sampleCount.load(std::memory_order_acquire);
    result.decision =
        decideTargetTick(reached, result.sampleCount, attempt, store.settings.stimuliCount);
    switch (result.decision) {
        case TargetTickDecision::AttemptContinues:
            break;
        case TargetTickDecision::TooShort:
            reached = 0;
            break;
        case TargetTickDecision::NextTarget:
        case TargetTickDecision::TestFinished:
            // Also marks the data set unsaved, so a following test offers to save these targets.
            store.completeAttempt();
            break;
    }
    return result;
}

void beginNextTarget(MeasurementStore& store, AcquisitionControl& control, DisplayState& display,
                     TargetTestState& state, int32_t finishedSamples, int64_t now,
                     const NextTarget& next) {
    const int32_t attempt = store.attemptCount;
    if (attempt < 0 || attempt >= MaxAttempts) return;

    store.liveTrace.reset(MaxSamples);
    display.traceStart = -1;
    // The destination first, then the count: a sample arriving in between lands in the new
    // attempt's slot (at the old count), never over the finished attempt's first samples.
    control.dest.store(store.beginAttempt(attempt, now, false), std::memory_order_release);
    control.sampleCount.store(0, std::memory_order_release);
    store.targetReached[static_cast<std::size_t>(attempt)] = 0;
    // No time until the target is reached: an attempt that runs out ends without one, rather
    // than with whatever an earlier data set left in the slot.
    store.length[static_cast<std::size_t>(attempt)] = 0;
    display.selectedAttempt = attempt;

    state.elapsedBefore += finishedSamples;
    state.testedSamples = 0;
    state.hitState = HitStart;
    state.holdFrames = 0;
    state.circleX = next.circleX;
    state.circleY = next.circleY;
    state.cup = next.cup;
    state.newTargetFlag = 1;
    display.traceLength = TargetAttemptLimit;
}

}  // namespace kenvo
