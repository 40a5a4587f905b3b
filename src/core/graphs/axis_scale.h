#pragma once

#include <cstdint>
#include <functional>

namespace kenvo {

// The linear mapping every graph shares: an axis from `min` to `max` drawn over `length`
// pixels has the factor length / (max - min), and a value lands at left + trunc((v - min) * s)
// on a horizontal axis or bottom - trunc((v - min) * s) on a vertical one.
//
// The settings allow max <= min. Such an axis has the factor 0 (every value lands on the
// axis origin) instead of dividing by zero, and offsets saturate instead of overflowing.
class AxisScale {
  public:
    AxisScale(double min, double max, int32_t length);

    bool degenerate() const { return degenerate_; }
    double factor() const { return factor_; }
    double min() const { return min_; }

    // trunc((v - min) * factor), kept within +-1e9 so callers may add it to a coordinate;
    // NaN gives 0.
    int32_t offset(double value) const;
    int32_t horizontal(int32_t left, double value) const { return left + offset(value); }
    int32_t vertical(int32_t bottom, double value) const { return bottom - offset(value); }

  private:
    double min_;
    double factor_ = 0.0;
    bool degenerate_ = false;
};

// Most ticks any axis draws; a tiny step over a wide range stops here rather than drawing
// (or looping) for ever.
inline constexpr int32_t MaxAxisTicks = 1000;

// Calls `tick` for first, first + step, first + 2 step, ... while the value is <= last, at most
// MaxAxisTicks times. A step <= 0 or last < first gives no ticks. Returns the number of calls.
int32_t forEachTick(double first, double last, double step,
                    const std::function<void(double)>& tick);

// Calls `tick` for every whole multiple of `step` within [min, max], in increasing order, with
// the same bounds as forEachTick.
int32_t forEachMultiple(double min, double max, double step,
                        const std::function<void(double)>& tick);

}  // namespace kenvo
