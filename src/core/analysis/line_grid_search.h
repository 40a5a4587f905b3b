#pragma once

#include <cstdint>
#include <span>
#include <vector>

namespace kenvo {

// The values of consecutive lags firstLag, firstLag + 1, ... of one curve quantity.
struct LagSeries {
    const float* values = nullptr;
    int32_t firstLag = 0;
    int32_t count = 0;
};

// The residual sum of the line s·i + b over the series, in single precision exactly as the
// grid search defines it: e = (value − s·i) − b, e², summed in lag order from 0.
float lineResidual(const LagSeries& series, float slope, float intercept);

// The grid lo, lo + st, ... <= hi of a running single-precision value. Where adding the step
// no longer changes the value (the step is below half a unit in the last place, from 2048
// upwards for a step of 0.0001), the value moves on to the next float instead: a plain
// running sum would repeat that value for ever. Every grid that a plain running sum ends is
// produced unchanged.
std::vector<float> runningGrid(float lo, float hi, float step);

struct GridPick {
    bool found = false;  // some candidate was strictly lower than the starting best
    float slope = 0.0f;
    float intercept = 0.0f;
    float residual = 0.0f;
    int64_t candidates = 0;  // grid points searched
    int64_t evaluated = 0;   // of them, residual sums computed in full
};

// Searches intercepts (outer) and slopes (inner) in grid order and keeps the first candidate
// whose residual sum is strictly lower than the best so far, the best starting at
// `initialBest`: the same pick as evaluating lineResidual for every candidate.
//
// Only candidates that could win are summed in full. The exact residual E(s, b) is a
// quadratic in s and b whose coefficients are moments of the series, evaluated in double for
// every candidate; the single-precision sum F differs from E by at most a bound that follows
// from the rounding of each operation (see the implementation). Summing the candidate with
// the smallest E gives an attained value T; every candidate whose E lies so far above T that
// F > T is certain is skipped. Series with values that are not finite or are too large for
// the bound take the plain path.
GridPick searchLineGrid(const LagSeries& series, std::span<const float> intercepts,
                        std::span<const float> slopes, float initialBest);

}  // namespace kenvo
