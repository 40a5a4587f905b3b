#pragma once

#include <array>
#include <atomic>
#include <cstdint>

#include "model/cop_sample.h"
#include "model/limits.h"

namespace kenvo {

// The ring of the most recent samples drawn by the live displays. It is always full: after
// reset(N) all N entries are dummies at the origin. Each entry carries a sequence number:
// -1 for a sample shown live but not recorded, 0 for the sample just before recording began,
// 1, 2, 3 ... for recorded samples in order.
//
// During a test the reader thread pushes and the user-interface thread draws; during playback
// the user-interface thread does both. Indices are atomics and the entries are accessed
// through relaxed atomic references, so a drawing that races a push is defined behaviour.
class LiveTrace {
public:
    static constexpr int16_t DummyPulse = 40;

    LiveTrace() { reset(1); }

    void reset(int32_t capacity) noexcept;
    void pushLive(const CopSample& sample) noexcept;
    void pushRecorded(const CopSample& sample) noexcept;
    // Reverse playback: removes the newest sample, rotating the ring one step backward.
    void dropNewest() noexcept;
    // Reverse playback: puts a sample back at the old end of the ring.
    void pushOldest(const CopSample& sample, int32_t sequence) noexcept;

    int32_t capacity() const noexcept { return capacity_.load(std::memory_order_acquire); }
    int32_t oldest() const noexcept { return oldest_.load(std::memory_order_acquire); }
    int32_t newest() const noexcept { return newest_.load(std::memory_order_acquire); }
    int32_t recordedCounter() const noexcept {
        return recordedCounter_.load(std::memory_order_relaxed);
    }
    CopSample entry(int32_t index) const noexcept { return loadRelaxed(entries_[clampIndex(index)]); }
    int32_t sequence(int32_t index) const noexcept {
        return loadRelaxed(sequence_[clampIndex(index)]);
    }

private:
    static constexpr CopSample dummy() { return CopSample{0.0f, 0.0f, DummyPulse}; }
    static int32_t clampIndex(int32_t i) noexcept {
        return (i < 0 || i >= MaxSamples) ? 0 : i;
    }
    void put(int32_t index, const CopSample& sample, int32_t sequence) noexcept {
        storeRelaxed(entries_[index], sample);
        storeRelaxed(sequence_[index], sequence);
    }
    int32_t previous(int32_t index, int32_t capacity) const noexcept {
        return index == 0 ? capacity - 1 : index - 1;
    }

    std::array<CopSample, MaxSamples> entries_{};
    std::array<int32_t, MaxSamples> sequence_{};
    std::atomic<int32_t> recordedCounter_{0};
    std::atomic<int32_t> capacity_{1};
    std::atomic<int32_t> oldest_{0};
    std::atomic<int32_t> newest_{0};
};

}  // namespace kenvo
