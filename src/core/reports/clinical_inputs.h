#pragma once

#include <optional>
#include <string>
#include <vector>

#include "clinical/measures_csv.h"

namespace kenvo {

// What to analyse in each file: one attempt (counted from 1) or all of them, and the low-pass
// cut-off (nothing: the samples as they are).
struct ClinicalInputOptions {
    std::optional<int> attempt;
    std::optional<double> lowPassHz = DefaultLowPassHz;
};

// The longest CSV recording analysed: one hour at 100 Hz.
inline constexpr std::size_t MaxClinicalCsvSamples = 3600 * 100;

// Reads every file and computes the clinical measures of its attempts, one row each, in the
// order given. A name ending in ".csv" is a recording "t_s,x_mm,y_mm" at 100 Hz, analysed as
// read (one attempt); anything else is a measurement file, whose attempts are converted with
// the data set's own scales. Only stance data sets qualify. On the first file that cannot be
// used, returns false with a message naming the file and the reason, and `rows` is empty.
bool analyseClinicalFiles(const std::vector<std::string>& paths,
                          const ClinicalInputOptions& options, std::vector<ClinicalRow>& rows,
                          std::string& error);

// The same files straight to the CSV text the measures are exported as; nothing on failure.
std::optional<std::string> clinicalCsvOfFiles(const std::vector<std::string>& paths,
                                              const ClinicalInputOptions& options,
                                              std::string& error);

}  // namespace kenvo
