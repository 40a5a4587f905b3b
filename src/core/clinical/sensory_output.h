#pragma once

#include <string>

#include "clinical/sensory_results.h"

namespace kenvo {

// The results as CSV, '.' decimals whatever the locale. Header
// "condition,measure,trials,value,norm_mean,norm_sd,z,percentile,band"; per condition (in the
// test's order) one row per clinical measure (its CSV column): the trials its median is taken
// over, the median, and for area, velocity and mean frequency the reference mean and SD, z, the
// percentile (empty outside P5-P95) and the band. Norm columns are empty for the other measures
// and when no reference group applies. Then the quotients as rows of condition "ratio" with
// only a value, empty when either median is missing or zero. Numbers in the shortest form that
// reads back to the same double (at least 12 significant digits where they have them).
std::string sensoryCsv(const SensoryResults& results);

// The same as JSON: {"age", "age_group", "no_reference_reason", "source", "conditions":
// [{"condition", "attempts" (1-based), "median_attempt", "shorter_than_reference",
//   "measures": {column: {"trials", "value", and for the normed ones "norm": {"n", "mean",
//   "sd", "p5".."p95"}|null, "z", "percentile", "band"}}}], "ratios": {name: value|null}};
// null where a value is missing.
std::string sensoryJson(const SensoryResults& results);

// For people: per condition the normed measures and their comparison, a line in words, then the
// quotients and the source of the reference values. Numbers with the decimal separator of the
// process's numeric locale.
std::string sensoryText(const SensoryResults& results);

// One line in plain words about a condition, e.g. "within the range of the reference group:
// Santos & Duarte 2016, age group Old, n = 72", or why there is no comparison.
std::string conditionVerdict(const SensoryResults& results, SensoryCondition condition);

// Said of a condition with trials shorter than the reference trials.
std::string shortTrialWarning();

}  // namespace kenvo
