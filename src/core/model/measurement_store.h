#pragma once

#include <algorithm>
#include <array>
#include <cstdint>

#include "model/cop_sample.h"
#include "model/limits.h"
#include "model/live_trace.h"
#include "model/platform_calibration.h"
#include "model/reserved_array.h"
#include "model/subject_record.h"
#include "model/test_settings.h"

namespace kenvo {

// Everything a test records or a data file brings back: 501 attempt slots of 31000 samples,
// the per-sample driving deviations and tracks, the per-attempt bookkeeping, the data set
// header and the state flags, plus the live trace. All memory is reserved once here; the
// sample path only stores into it.
class MeasurementStore {
public:
    MeasurementStore();
    MeasurementStore(const MeasurementStore&) = delete;
    MeasurementStore& operator=(const MeasurementStore&) = delete;

    // Samples of attempt slot `attempt` (MaxSamples entries).
    CopSample* samples(int32_t attempt) const { return samples_.data() + slot(attempt); }
    float* deviation(int32_t attempt) const { return deviation_.data() + slot(attempt); }
    float* track(int32_t attempt) const { return track_.data() + slot(attempt); }
    // The whole arrays, indexed by attempt x MaxSamples + sample.
    const ReservedArray<CopSample>& allSamples() const { return samples_; }
    const ReservedArray<float>& allDeviations() const { return deviation_; }
    const ReservedArray<float>& allTracks() const { return track_; }

    // New data set: clears every deviation, empties the attempt list, and takes the current
    // settings (with their test mode set to `mode`) as the data set's settings.
    void resetDataSet(TestSettings& current, int32_t mode);
    void clearDeviations() { deviation_.clearAll(); }

    // Starts attempt `attempt` at wall-clock `now` (seconds since 1970, low 32 bits kept). A
    // stance attempt gets its planned length. Returns the sample array to record into.
    CopSample* beginAttempt(int32_t attempt, int64_t now, bool stance);
    void completeAttempt();

    // Removes attempt k, moving the later attempts down by one. Deviations, tracks and the
    // reached flags stay where they are. Returns false when k is not a valid attempt.
    bool deleteAttempt(int32_t k);

    // Per-attempt bookkeeping.
    std::array<int32_t, MaxAttempts> length{};
    std::array<int32_t, MaxAttempts> startTime{};
    std::array<int32_t, MaxAttempts> targetLocation{};  // 0 left, 1 front, 2 right, 3 rear
    std::array<int32_t, MaxAttempts> targetReached{};

    // Data set header.
    int32_t attemptCount = 0;
    TestSettings settings{};
    PlatformCalibration calibration{};
    int32_t attemptSeconds = 0;
    // The samples an attempt of attemptSeconds holds, within the arrays; a damaged duration
    // read from a file cannot overflow or index past them.
    int32_t plannedSamples() const noexcept {
        return static_cast<int32_t>(std::clamp<int64_t>(int64_t{attemptSeconds} * 100, 0, MaxSamples));
    }
    SubjectRecord subject;

    // Flags.
    int32_t dataSaved = 1;
    int32_t testRunning = 0;
    int32_t dataPresent = 0;

    LiveTrace liveTrace;

private:
    static std::size_t slot(int32_t attempt) {
        return static_cast<std::size_t>(attempt) * MaxSamples;
    }

    ReservedArray<CopSample> samples_;
    ReservedArray<float> deviation_;
    ReservedArray<float> track_;
};

}  // namespace kenvo
