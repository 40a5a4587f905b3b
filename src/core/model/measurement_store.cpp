#include "model/measurement_store.h"

#include <algorithm>

namespace kenvo {

namespace {
constexpr std::size_t TotalSamples = static_cast<std::size_t>(MaxAttempts) * MaxSamples;
}

MeasurementStore::MeasurementStore()
    : samples_(TotalSamples), deviation_(TotalSamples), track_(TotalSamples) {}

void MeasurementStore::resetDataSet(TestSettings& current, int32_t mode) {
    clearDeviations();
    attemptCount = 0;
    current.testMode = mode;
    settings = current;
}

CopSample* MeasurementStore::beginAttempt(int32_t attempt, int64_t now, bool stance) {
    startTime[attempt] = static_cast<int32_t>(static_cast<uint32_t>(now & 0xFFFFFFFF));
    if (stance) length[attempt] = std::clamp(settings.stanceTime, 0, MaxStanceSeconds) * SampleRate;
    return samples(attempt);
}

void MeasurementStore::completeAttempt() {
    ++attemptCount;
    dataSaved = 0;
}

bool MeasurementStore::deleteAttempt(int32_t k) {
    if (k < 0 || k >= attemptCount) return false;
    for (int32_t j = k; j < attemptCount - 1; ++j) {
        targetLocation[j] = targetLocation[j + 1];
        startTime[j] = startTime[j + 1];
        length[j] = length[j + 1];
        const int32_t n = std::clamp(length[j + 1], 0, MaxSamples);
        std::copy_n(samples(j + 1), n, samples(j));
    }
    --attemptCount;
    return true;
}

}  // namespace kenvo
