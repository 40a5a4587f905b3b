#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <span>
#include <string_view>

#include "clinical/sway_trace.h"

namespace kenvo {

// The clinical sway measures of one attempt, in the order of their CSV columns.
enum class ClinicalMeasure : std::size_t {
    SampleCount,
    Duration,
    MeanX,
    MeanY,
    Path,
    PathX,
    PathY,
    Velocity,
    VelocityX,
    VelocityY,
    RmsX,
    RmsY,
    Rms,
    RangeX,
    RangeY,
    MeanDistance,
    Area95,
    EllipseMajor,
    EllipseMinor,
    EllipseAngle,
    SwayAreaPerSecond,
    MeanFrequencyX,
    MeanFrequencyY,
    MeanFrequency,
    MedianFrequencyX,
    MedianFrequencyY,
    Frequency95X,
    Frequency95Y,
    PrietoFrequency,
    Count
};
inline constexpr std::size_t ClinicalMeasureCount =
    static_cast<std::size_t>(ClinicalMeasure::Count);

// How a measure is named and explained: its CSV column, a short label for people, its unit
// and one line saying what it is.
struct ClinicalMeasureInfo {
    std::string_view column;
    std::string_view label;
    std::string_view unit;
    std::string_view description;
};
std::span<const ClinicalMeasureInfo, ClinicalMeasureCount> clinicalMeasureInfo();
const ClinicalMeasureInfo& clinicalMeasureInfo(ClinicalMeasure m);

// The default cut-off of the zero-phase low-pass and the range a user may choose.
inline constexpr double DefaultLowPassHz = 10.0;
inline constexpr double MinLowPassHz = 1.0;
inline constexpr double MaxLowPassHz = 20.0;

struct ClinicalMeasures {
    // Each measure, or nothing where it is not defined for this attempt (too few samples, no
    // power in the spectrum, a round ellipse, no sway at all).
    std::array<std::optional<double>, ClinicalMeasureCount> values{};
    // The cut-off the low-pass ran with; nothing when no filter was asked for or the attempt is
    // too short to be filtered.
    std::optional<double> lowPassHz;

    const std::optional<double>& operator[](ClinicalMeasure m) const {
        return values[static_cast<std::size_t>(m)];
    }
    std::optional<double>& operator[](ClinicalMeasure m) {
        return values[static_cast<std::size_t>(m)];
    }
};

// Every measure of `trace` (mm, 100 Hz). With `lowPassHz` the trace first goes through the
// zero-phase fourth-order Butterworth low-pass at that cut-off; an attempt too short for it is
// analysed as it is.
ClinicalMeasures computeClinicalMeasures(const SwayTrace& trace, std::optional<double> lowPassHz);

// The measures of a trace taken as it is (no filter).
ClinicalMeasures measuresOfTrace(std::span<const double> x, std::span<const double> y);

}  // namespace kenvo
