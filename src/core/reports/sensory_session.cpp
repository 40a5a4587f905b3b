#include "reports/sensory_session.h"

#include <algorithm>
#include <ctime>

#include "clinical/attempt_trace.h"
#include "clinical/low_pass.h"
#include "model/limits.h"
#include "model/measurement_store.h"
#include "model/sensory_condition.h"

namespace kenvo {

std::optional<CalendarDate> localDateOf(int64_t secondsSince1970) {
    const auto t = static_cast<std::time_t>(secondsSince1970);
    std::tm local{};
    if (!localtime_r(&t, &local)) return std::nullopt;
    return CalendarDate{local.tm_year + 1900, local.tm_mon + 1, local.tm_mday};
}

SensorySession analyseSensorySession(const MeasurementStore& store, const Sidecar& sidecar,
                                     std::optional<double> lowPassHz) {
    SensorySession session;
    session.lowPassHz = lowPassHz;
    const int32_t attempts = std::clamp(store.attemptCount, 0, MaxAttempts);
    std::optional<LowPassCoefficients> filter;
    if (lowPassHz) filter = butterworthLowPass(*lowPassHz, SampleRate);
    for (int32_t a = 0; a < attempts; ++a) {
        SwayTrace trace = attemptTrace(store, a);
        SwayTrace analysed;
        if (filter && zeroPhaseLowPass(trace.x, trace.y, *filter, analysed.x, analysed.y))
            trace = std::move(analysed);
        SensoryAttempt attempt;
        // Already filtered (or too short to be), so measured as it is.
        attempt.measures = computeClinicalMeasures(trace, std::nullopt);
        if (filter && trace.size() > LowPassEdge) attempt.measures.lowPassHz = lowPassHz;
        if (sidecar.conditions && static_cast<std::size_t>(a) < sidecar.conditions->size()) {
            if (const auto& name = (*sidecar.conditions)[static_cast<std::size_t>(a)])
                attempt.condition = conditionFromName(*name);
        }
        attempt.discarded =
            std::find(sidecar.discardedAttempts.begin(), sidecar.discardedAttempts.end(), a) !=
            sidecar.discardedAttempts.end();
        session.hasConditions = session.hasConditions || attempt.condition.has_value();
        session.input.attempts.push_back(std::move(attempt));
        session.traces.push_back(std::move(trace));
    }
    if (attempts > 0) {
        session.firstAttemptStart = static_cast<int64_t>(static_cast<uint32_t>(store.startTime[0]));
        session.input.sessionDate = localDateOf(session.firstAttemptStart);
    }
    if (sidecar.birthDate) session.input.birthDate = parseIsoDate(*sidecar.birthDate);
    session.results = computeSensoryResults(session.input);
    return session;
}

}  // namespace kenvo
