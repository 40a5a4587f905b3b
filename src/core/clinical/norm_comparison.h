#pragma once

#include <optional>
#include <string_view>

#include "clinical/norms.h"

namespace kenvo {

// Where a value lies against the reference group's 5th and 95th percentiles.
enum class NormBand { Below, Within, Above };
// "below", "within", "above".
std::string_view normBandName(NormBand band);

// A value set against one row of the norms.
struct NormComparison {
    // (value - mean) / sd; nothing when the row has no spread.
    std::optional<double> z;
    // Interpolated between the row's percentiles; nothing below P5 or above P95, where the
    // table says no more than "below" or "above".
    std::optional<double> percentile;
    NormBand band = NormBand::Within;
};

// z = (value - mean) / sd. Percentile: with P_a < P_b the neighbouring table values around the
// value, a + (b - a)(value - P_a) / (P_b - P_a); a value equal to a table value takes its
// percentile, the lowest of equal neighbours. Band: within when P5 <= value <= P95. Nothing for
// a value that is not a finite number.
std::optional<NormComparison> compareWithNorms(double value, const NormRow& row);

}  // namespace kenvo
