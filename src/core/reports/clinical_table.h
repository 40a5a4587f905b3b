#pragma once

#include <optional>
#include <string>

#include "analysis/table_rows.h"
#include "clinical/clinical_measures.h"
#include "model/measurement_store.h"

namespace kenvo {

// The text of a value that is not defined: a measure of an attempt too short or too still for
// it, or a spread over fewer than two attempts.
inline constexpr const char* NotDefinedText = "n/a";

// The Clinical measures table of a data set: one row per measure (its label and unit), one
// column per attempt, then the Mean and the SD (divisor n - 1) over the attempts where the
// measure is defined. `lowPassHz` filters every attempt first; nothing takes them as stored.
TableContent buildClinicalTable(const MeasurementStore& store, std::optional<double> lowPassHz);

// A measure's value as the table shows it.
std::string clinicalCellText(ClinicalMeasure measure, const std::optional<double>& value);

}  // namespace kenvo
