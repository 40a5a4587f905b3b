#pragma once

#include <atomic>
#include <cstdint>

namespace kenvo {

// One centre-of-pressure sample. x and y are signed fractions of the platform's half-spans
// (x right positive, y front positive); SampleMetric turns them into millimetres. pulse is the
// heart rate in beats per minute, plus 1000 on the one sample where a new beat was reported.
struct CopSample {
    float x = 0.0f;
    float y = 0.0f;
    int16_t pulse = 0;

    friend bool operator==(const CopSample&, const CopSample&) = default;
};

// Samples are written by the reader thread while the user-interface thread draws them. The
// design tolerates a reader one sample ahead of the drawing; these relaxed accesses make that
// race defined behaviour at no cost (plain moves on every common processor).
inline void storeRelaxed(CopSample& target, const CopSample& value) noexcept {
    std::atomic_ref<float>(target.x).store(value.x, std::memory_order_relaxed);
    std::atomic_ref<float>(target.y).store(value.y, std::memory_order_relaxed);
    std::atomic_ref<int16_t>(target.pulse).store(value.pulse, std::memory_order_relaxed);
}

inline CopSample loadRelaxed(const CopSample& source) noexcept {
    auto& s = const_cast<CopSample&>(source);  // atomic_ref needs a non-const referent
    return CopSample{std::atomic_ref<float>(s.x).load(std::memory_order_relaxed),
                     std::atomic_ref<float>(s.y).load(std::memory_order_relaxed),
                     std::atomic_ref<int16_t>(s.pulse).load(std::memory_order_relaxed)};
}

template <typename T>
inline void storeRelaxed(T& target, T value) noexcept {
    std::atomic_ref<T>(target).store(value, std::memory_order_relaxed);
}

template <typename T>
inline T loadRelaxed(const T& source) noexcept {
    return std::atomic_ref<T>(const_cast<T&>(source)).load(std::memory_order_relaxed);
}

}  // namespace kenvo
