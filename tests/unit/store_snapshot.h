#pragma once

#include <array>
#include <vector>

#include "model/graph_settings.h"
#include "model/measurement_store.h"

namespace kenvo::test {

// What a load may touch of a store, captured to show that a refused load touched none of it:
// the header, subject, flags, the per-attempt arrays, and the first `samples` samples and
// deviations of the first `attempts` slots.
struct StoreSnapshot {
    StoreSnapshot(const MeasurementStore& store, const GraphSettings& graph, int attempts,
                  int samples)
        : length(store.length),
          startTime(store.startTime),
          targetLocation(store.targetLocation),
          attemptCount(store.attemptCount),
          settings(store.settings),
          calibration(store.calibration),
          attemptSeconds(store.attemptSeconds),
          subject(store.subject),
          flags{store.dataSaved, store.testRunning, store.dataPresent},
          graph(graph) {
        for (int i = 0; i < attempts; ++i)
            for (int j = 0; j < samples; ++j) {
                this->samples.push_back(store.samples(i)[j]);
                deviations.push_back(store.deviation(i)[j]);
            }
    }

    std::array<int32_t, MaxAttempts> length, startTime, targetLocation;
    int32_t attemptCount;
    TestSettings settings;
    PlatformCalibration calibration;
    int32_t attemptSeconds;
    SubjectRecord subject;
    std::array<int32_t, 3> flags;
    GraphSettings graph;
    std::vector<CopSample> samples;
    std::vector<float> deviations;

    friend bool operator==(const StoreSnapshot&, const StoreSnapshot&) = default;
};

}  // namespace kenvo::test
