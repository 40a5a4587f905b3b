#include "model/live_trace.h"

namespace kenvo {

void LiveTrace::reset(int32_t capacity) noexcept {
    if (capacity < 1) capacity = 1;
    if (capacity > MaxSamples) capacity = MaxSamples;
    for (int32_t i = 0; i < capacity; ++i) put(i, dummy(), -1);
    capacity_.store(capacity, std::memory_order_relaxed);
    oldest_.store(0, std::memory_order_relaxed);
    recordedCounter_.store(0, std::memory_order_relaxed);
    newest_.store(capacity - 1, std::memory_order_release);
}

void LiveTrace::pushLive(const CopSample& sample) noexcept {
    const int32_t n = capacity_.load(std::memory_order_relaxed);
    const int32_t newest = (newest_.load(std::memory_order_relaxed) + 1) % n;
    put(newest, sample, -1);
    recordedCounter_.store(0, std::memory_order_relaxed);
    int32_t oldest = oldest_.load(std::memory_order_relaxed);
    if (oldest == newest) oldest_.store((oldest + 1) % n, std::memory_order_relaxed);
    newest_.store(newest, std::memory_order_release);
}

void LiveTrace::pushRecorded(const CopSample& sample) noexcept {
    const int32_t n = capacity_.load(std::memory_order_relaxed);
    int32_t counter = recordedCounter_.load(std::memory_order_relaxed);
    int32_t newest = newest_.load(std::memory_order_relaxed);
    if (counter == 0) {
        storeRelaxed(sequence_[newest], 0);
        counter = 1;
    }
    newest = (newest + 1) % n;
    put(newest, sample, counter);
    recordedCounter_.store(counter + 1, std::memory_order_relaxed);
    int32_t oldest = oldest_.load(std::memory_order_relaxed);
    if (oldest == newest) oldest_.store((oldest + 1) % n, std::memory_order_relaxed);
    newest_.store(newest, std::memory_order_release);
}

void LiveTrace::dropNewest() noexcept {
    const int32_t n = capacity_.load(std::memory_order_relaxed);
    const int32_t newest = newest_.load(std::memory_order_relaxed);
    const int32_t oldestSequence = loadRelaxed(sequence_[oldest_.load(std::memory_order_relaxed)]);
    recordedCounter_.fetch_sub(1, std::memory_order_relaxed);
    put(newest, dummy(), oldestSequence == 1 ? 0 : -1);
    oldest_.store(newest, std::memory_order_relaxed);
    newest_.store(previous(newest, n), std::memory_order_release);
}

void LiveTrace::pushOldest(const CopSample& sample, int32_t sequence) noexcept {
    const int32_t n = capacity_.load(std::memory_order_relaxed);
    const int32_t newest = newest_.load(std::memory_order_relaxed);
    recordedCounter_.fetch_sub(1, std::memory_order_relaxed);
    put(newest, sample, sequence);
    oldest_.store(newest, std::memory_order_relaxed);
    newest_.store(previous(newest, n), std::memory_order_release);
}

}  // namespace kenvo
