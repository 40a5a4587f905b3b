#pragma once

#include <optional>
#include <span>
#include <string>

#include "clinical/clinical_measures.h"

namespace kenvo {

// One analysed attempt: the file as the user named it and the attempt counted from 1.
struct ClinicalRow {
    std::string file;
    int attempt = 1;
    ClinicalMeasures measures;
};

// The CSV header: file, attempt, every measure's column, lowpass_hz.
std::string clinicalCsvHeader();

// The rows as CSV with '.' decimals whatever the locale: a header line, then one line per row.
// Numbers are written in the shortest form that reads back to the same double; an undefined
// measure, and the cut-off of an unfiltered attempt, are empty cells.
std::string clinicalCsv(std::span<const ClinicalRow> rows);

// A number as written in that CSV.
std::string csvNumber(double value);

// A text cell of that CSV: quoted when it holds a separator, a quote or a line break, with
// quotes doubled.
std::string csvText(const std::string& text);

}  // namespace kenvo
