#include "graphs/report_y_fit.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "graphs/report_time_graphs.h"
#include "model/limits.h"
#include "model/measurement_store.h"
#include "model/sample_metric.h"

namespace kenvo {

namespace {

// The smallest of 1, 2, 5 times a power of ten that is at least `raw` (> 0).
double roundStep(double raw) {
    const double power = std::pow(10.0, std::floor(std::log10(raw)));
    for (const double m : std::array{1.0, 2.0, 5.0}) {
        // A hair of tolerance so a raw step of exactly 2 x 10^k is not pushed to 5 x 10^k.
        if (m * power >= raw * (1.0 - 1e-9)) return m * power;
    }
    return 10.0 * power;
}

// Digits after the point that show every multiple of `step` exactly (0 for whole steps).
int32_t decimalsOf(double step) {
    if (step >= 1.0) return 0;
    return static_cast<int32_t>(std::ceil(-std::log10(step) - 1e-9));
}

}  // namespace

std::optional<ReportValueRange> fitValueRange(double low, double high) {
    if (!std::isfinite(low) || !std::isfinite(high) || low > high) return std::nullopt;
    const double margin = (high - low) * FitMarginFraction;
    double min = low - margin, max = high + margin;
    if (max - min < FitMinimumSpan) {
        const double centre = low + (high - low) / 2.0;
        min = centre - FitMinimumSpan / 2.0;
        max = centre + FitMinimumSpan / 2.0;
    }
    const double step = roundStep((max - min) / FitMaxTickIntervals);
    // Values near the largest floats widen past what a double holds.
    if (!std::isfinite(max - min) || !std::isfinite(step) || !(step > 0.0)) return std::nullopt;
    return ReportValueRange{min, max, step, std::ceil(min / step) * step, decimalsOf(step)};
}

std::optional<ValueExtent> shownValueExtent(const MeasurementStore& store, int32_t attempt,
                                            int32_t kind, int32_t from, int32_t end) {
    if (attempt < 0 || attempt >= MaxAttempts) return std::nullopt;
    const int32_t recorded =
        std::clamp(store.length[static_cast<std::size_t>(attempt)], 0, MaxSamples);
    const int32_t first = std::max(from, 0);
    const int32_t last = std::min(end, recorded);
    const CopSample* samples = store.samples(attempt);
    std::optional<ValueExtent> extent;
    for (int32_t i = first; i < last; ++i) {
        const int32_t previous = i == first ? i : i - 1;
        const double v = shownMetric(kind, samples[i], samples[previous], store.calibration);
        if (!std::isfinite(v)) continue;
        if (!extent) {
            extent = ValueExtent{v, v};
        } else {
            extent->low = std::min(extent->low, v);
            extent->high = std::max(extent->high, v);
        }
    }
    return extent;
}

ReportValueRange reportValueRange(const MeasurementStore& store, const DisplayState& state,
                                  int32_t kind, int32_t min, int32_t max, int32_t step, bool fit) {
    if (fit) {
        const auto extent =
            shownValueExtent(store, state.selectedAttempt, kind, state.rangeStart, state.rangeEnd);
        if (extent) {
            if (const auto fitted = fitValueRange(extent->low, extent->high)) return *fitted;
        }
    }
    const double first = static_cast<double>(min);
    return ReportValueRange{first, static_cast<double>(max),
                            static_cast<double>(reportValueStep(min, max, step)), first,
                            std::nullopt};
}

}  // namespace kenvo
