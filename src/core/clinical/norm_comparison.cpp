#include "clinical/norm_comparison.h"

#include <cmath>

namespace kenvo {

namespace {

std::optional<double> interpolatedPercentile(double value, const NormRow& row) {
    const auto& cuts = row.percentile;
    for (std::size_t k = 0; k < cuts.size(); ++k)
        if (value == cuts[k]) return NormPercentiles[k];  // the first, so the lowest of equals
    for (std::size_t k = 0; k + 1 < cuts.size(); ++k) {
        const double low = cuts[k];
        const double high = cuts[k + 1];
        if (low < value && value < high) {
            const double a = NormPercentiles[k];
            const double b = NormPercentiles[k + 1];
            return a + (b - a) * (value - low) / (high - low);
        }
    }
    return std::nullopt;  // outside P5..P95
}

}  // namespace

std::string_view normBandName(NormBand band) {
    switch (band) {
        case NormBand::Below:
            return "below";
        case NormBand::Within:
            return "within";
        case NormBand::Above:
            return "above";
    }
    return "within";
}

std::optional<NormComparison> compareWithNorms(double value, const NormRow& row) {
    if (!std::isfinite(value)) return std::nullopt;
    NormComparison result;
    if (row.sd > 0.0 && std::isfinite(row.sd)) result.z = (value - row.mean) / row.sd;
    result.band = value < row.percentile.front()  ? NormBand::Below
                  : value > row.percentile.back() ? NormBand::Above
                                                  : NormBand::Within;
    if (result.band == NormBand::Within) result.percentile = interpolatedPercentile(value, row);
    return result;
}

}  // namespace kenvo
