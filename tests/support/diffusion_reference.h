#pragma once

#include <cstdint>
#include <span>

#include "analysis/diffusion_curve.h"
#include "analysis/diffusion_fit.h"
#include "model/cop_sample.h"
#include "model/platform_calibration.h"

namespace kenvo::test {

// Plain, deliberately unoptimised forms of the diffusion analysis, written straight from
// its description: the yardstick for the product's fast versions in the equivalence tests
// and the benchmarks.

// Lag outer, pairs inner, four single-precision sums per lag.
DiffusionCurve literalDiffusionCurve(std::span<const CopSample> samples,
                                     const PlatformCalibration& calibration, int32_t span);

// Every grid candidate's residual summed in full. Only originSlope, lineA and lineB (and
// the per-pass values) are filled in.
DiffusionFit literalDiffusionFit(const DiffusionCurve& curve, int32_t kind, int32_t marker,
                                 float startLineA = 0.0f);

}  // namespace kenvo::test
