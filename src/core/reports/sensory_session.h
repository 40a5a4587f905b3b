#pragma once

#include <optional>
#include <string>
#include <vector>

#include "clinical/sensory_results.h"
#include "clinical/sway_trace.h"
#include "files/sidecar.h"

namespace kenvo {

class MeasurementStore;

// A stance data set read as a sensory test: every attempt's trace as analysed (after the
// low-pass) and its measures, each attempt's condition and whether it was discarded (from the
// sidecar), the subject's birth date and the session's day, and the results per condition.
struct SensorySession {
    std::vector<SwayTrace> traces;  // per attempt, as analysed
    SensoryInput input;
    SensoryResults results;
    // At least one attempt has a condition; without, the data set is a plain stance test.
    bool hasConditions = false;
    std::optional<double> lowPassHz;  // what the measures were computed with
    int64_t firstAttemptStart = 0;    // seconds since 1970
};

// The session's first attempt's day in the local calendar, as the age on the day is counted.
std::optional<CalendarDate> localDateOf(int64_t secondsSince1970);

// Analyses every attempt of `store` with the optional low-pass and sets the conditions and
// discarded attempts of `sidecar` (entries beyond the attempts are ignored; an unknown
// condition counts as none) against the reference values for the birth date it holds.
SensorySession analyseSensorySession(const MeasurementStore& store, const Sidecar& sidecar,
                                     std::optional<double> lowPassHz);

}  // namespace kenvo
