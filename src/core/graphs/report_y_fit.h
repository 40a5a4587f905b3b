#pragma once

#include <cstdint>
#include <optional>

#include "graphs/display_state.h"

namespace kenvo {

class MeasurementStore;

// The range a report value axis shows and where its ticks go. From the graph settings it is
// their whole-number min, max and step with a tick on the minimum; fitted to the data it is
// the data's extent with a margin and ticks on round multiples of the step.
struct ReportValueRange {
    double min = 0.0;
    double max = 0.0;
    double step = 1.0;
    double firstTick = 0.0;
    // Digits after the point of the tick labels; none for the settings' whole numbers.
    std::optional<int32_t> decimals;
};

// Share of the data's span added below and above it when the axis is fitted.
inline constexpr double FitMarginFraction = 0.05;
// The narrowest fitted axis, in the quantity's unit: a flat signal is shown in this band
// around its value instead of collapsing the axis.
inline constexpr double FitMinimumSpan = 2.0;
// At most this many tick intervals over a fitted axis (the settings' default draws ten).
inline constexpr int32_t FitMaxTickIntervals = 10;

struct ValueExtent {
    double low = 0.0;
    double high = 0.0;
};

// The axis for data from `low` to `high`: the span widened by the margin on both sides and to
// at least FitMinimumSpan around its centre, the step 1, 2 or 5 times a power of ten that
// gives at most FitMaxTickIntervals intervals. None when a bound is not finite or low > high.
std::optional<ReportValueRange> fitValueRange(double low, double high);

// The smallest and largest value of quantity `kind` the report's trace draws for samples
// from .. end - 1 of `attempt` (each sample with the one before it, the first with itself):
// recorded samples only, values that are not finite left out. None when nothing is left.
std::optional<ValueExtent> shownValueExtent(const MeasurementStore& store, int32_t attempt,
                                            int32_t kind, int32_t from, int32_t end);

// The range one report axis shows: fitted to the displayed window of the selected attempt
// when `fit` is set and that window has values, otherwise the settings' min, max and step.
ReportValueRange reportValueRange(const MeasurementStore& store, const DisplayState& state,
                                  int32_t kind, int32_t min, int32_t max, int32_t step, bool fit);

}  // namespace kenvo
