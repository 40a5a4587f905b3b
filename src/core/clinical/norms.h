#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "clinical/clinical_measures.h"

namespace kenvo {

// The reference values of quiet stance: per age group, vision and surface the distribution of
// three measures over the subjects of the public balance data set (each subject's median of
// three 60 s trials). Compiled in from clinical/norms/norms_table.csv.

enum class AgeGroup { Young, Old };
enum class Vision { Open, Closed };
enum class StanceSurface { Firm, Foam };
enum class NormMeasure { Area95, Velocity, MeanFrequency };
inline constexpr std::size_t NormMeasureCount = 3;

// The percentiles every row holds, in this order.
inline constexpr std::array<double, 5> NormPercentiles = {5, 25, 50, 75, 95};

struct NormRow {
    AgeGroup ageGroup;
    Vision vision;
    StanceSurface surface;
    NormMeasure measure;
    int subjects;  // n
    double mean;
    double sd;                         // sample standard deviation, divisor n - 1
    std::array<double, 5> percentile;  // values at NormPercentiles
};

// The rows in the order of the shipped CSV: age group, vision, surface (each alphabetically as
// spelled: Old, Young; Closed, Open; Firm, Foam), then area, velocity, mean frequency.
std::span<const NormRow> normsTable();

// The row of one group and measure; every combination is in the table.
const NormRow& findNorm(AgeGroup group, Vision vision, StanceSurface surface, NormMeasure measure);

// Spellings of the table (those of the data set): "Young"/"Old", "Open"/"Closed",
// "Firm"/"Foam", and the measures' CSV columns "area95_mm2", "velocity_mm_s", "mean_freq_hz".
std::string_view ageGroupName(AgeGroup group);
std::string_view visionName(Vision vision);
std::string_view surfaceName(StanceSurface surface);
std::string_view normMeasureName(NormMeasure measure);

// The clinical measure a norm is about, and back (nothing for measures without norms).
ClinicalMeasure clinicalMeasureOf(NormMeasure measure);
std::optional<NormMeasure> normMeasureOf(ClinicalMeasure measure);

// The table as CSV, the same bytes as the shipped file: header
// "age_group,vision,surface,measure,n,mean,sd,p5,p25,p50,p75,p95", numbers with 12
// significant digits and '.' whatever the locale.
std::string normsCsv();

// The trial length the reference subjects stood for; shorter trials give smaller areas.
inline constexpr double NormTrialSeconds = 60.0;

// Where the reference values come from, in one place for the About box, the user guide, the
// command line and every report (the data set's licence asks for it).
inline constexpr std::string_view NormsSource =
    "Reference values: Santos DA, Duarte M. A public data set of human balance evaluations. "
    "PeerJ 4:e2648 (2016), doi 10.7717/peerj.2648; CC BY 4.0";
// The short form for sentences such as "within the range of the reference group: ...".
inline constexpr std::string_view NormsShortSource = "Santos & Duarte 2016";

}  // namespace kenvo
