#pragma once

#include <optional>
#include <string>

namespace kenvo::cli {

// --lowpass: "none", or a plain decimal number of hertz (digits and at most one '.') within
// the cut-offs a user may choose. False when the text is neither.
bool parseLowPassOption(const std::string& text, std::optional<double>& cutoff);

inline constexpr const char* LowPassOptionProblem =
    "--lowpass takes none or a number of hertz from 1 to 20";

}  // namespace kenvo::cli
