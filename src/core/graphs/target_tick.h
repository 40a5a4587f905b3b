#pragma once

#include <array>
#include <cstdint>

#include "graphs/display_state.h"

namespace kenvo {

class MeasurementStore;
struct AcquisitionControl;

inline constexpr int32_t MinTargetSamples = 15;       // a shorter attempt is not accepted
inline constexpr int32_t TargetAttemptLimit = 30999;  // samples; the attempt ends unreached here

// What the target tick decides after a frame.
enum class TargetTickDecision {
    AttemptContinues,  // not reached and time left
    TooShort,          // reached, but with fewer than MinTargetSamples samples: not accepted
    NextTarget,        // the attempt is over and another target follows
    TestFinished,      // the attempt is over and it was the last target
};

// The decision alone, from the current attempt's reached flag and sample count and the
// targets done before it.
TargetTickDecision decideTargetTick(int32_t targetReached, int32_t sampleCount,
                                    int32_t attemptCount, int32_t stimuliCount);

struct TargetTickResult {
    TargetTickDecision decision = TargetTickDecision::AttemptContinues;
    int32_t sampleCount = 0;  // the current attempt's sample count, read once for this tick
};

// Runs the tick on the data set: reads the sample count once, decides, clears the reached flag
// of a too-short attempt, and counts a finished attempt (attemptCount + 1, data unsaved).
// On NextTarget the caller chooses the next target and calls beginNextTarget with this result's
// sampleCount; on TestFinished it ends the test the way Exit does and stops the sound.
TargetTickResult targetTick(MeasurementStore& store, const AcquisitionControl& control);

// The next target as the target test draws it: the circular target's centre and the cup.
struct NextTarget {
    int32_t circleX = 0;
    int32_t circleY = 0;
    std::array<Point, 6> cup{};
};

// Starts attempt store.attemptCount for `next`: a fresh live ring of MaxSamples entries,
// recording redirected to the attempt's samples with its clock at 0 and its reached flag
// clear, the view on the new attempt, and the per-target state reset with the finished
// attempt's samples added to the elapsed time. `now` is the attempt's start time (seconds
// since 1970).
void beginNextTarget(MeasurementStore& store, AcquisitionControl& control, DisplayState& display,
                     TargetTestState& state, int32_t finishedSamples, int64_t now,
                     const NextTarget& next);

}  // namespace kenvo
