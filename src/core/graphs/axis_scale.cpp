#include "graphs/axis_scale.h"

#include <cmath>

namespace kenvo {

namespace {
constexpr double OffsetLimit = 1e9;
}

AxisScale::AxisScale(double min, double max, int32_t length) : min_(min) {
    const double span = max - min;
    if (!(span > 0.0) || !std::isfinite(span)) {
        degenerate_ = true;
        return;
    }
    factor_ = static_cast<double>(length) / span;
}

int32_t AxisScale::offset(double value) const {
    const double scaled = (value - min_) * factor_;
    if (std::isnan(scaled)) return 0;
    if (scaled > OffsetLimit) return static_cast<int32_t>(OffsetLimit);
    if (scaled < -OffsetLimit) return static_cast<int32_t>(-OffsetLimit);
    return static_cast<int32_t>(scaled);  // truncation toward zero
}

int32_t forEachTick(double first, double last, double step,
                    const std::function<void(double)>& tick) {
    if (!(step > 0.0) || !std::isfinite(first) || !std::isfinite(last) || last < first) return 0;
    int32_t count = 0;
    // Each value is computed from its index, so rounding does not accumulate and a step too
    // small to change the value still ends at the bound.
    for (; count < MaxAxisTicks; ++count) {
        const double v = first + count * step;
        if (v > last) break;
        tick(v);
    }
    return count;
}

int32_t forEachMultiple(double min, double max, double step,
                        const std::function<void(double)>& tick) {
    if (!(step > 0.0) || !std::isfinite(min) || !std::isfinite(max)) return 0;
    const double first = std::ceil(min / step) * step;
    return forEachTick(first, max, step, tick);
}

}  // namespace kenvo
