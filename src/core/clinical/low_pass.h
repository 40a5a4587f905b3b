#pragma once

#include <array>
#include <span>
#include <vector>

namespace kenvo {

// A fourth-order Butterworth low-pass as a transfer function: b over a, with a[0] = 1.
struct LowPassCoefficients {
    std::array<double, 5> b{};
    std::array<double, 5> a{};
};

// The coefficients for cut-off `cutoffHz` at sampling rate `sampleRateHz` (bilinear transform
// with the cut-off pre-warped, unity gain at 0 Hz). Needs 0 < cutoff < sampleRate / 2.
LowPassCoefficients butterworthLowPass(double cutoffHz, double sampleRateHz);

// Samples each end is extended by (odd reflection) before the two passes; a signal must be
// longer than this to be filtered.
inline constexpr std::size_t LowPassEdge = 15;

// Runs the low-pass forward and backward (zero phase) over `signal`, extended at both ends by
// odd reflection of LowPassEdge samples and started from the filter's steady state, so a
// constant or a straight line passes unchanged. Returns false, leaving `out` empty, when the
// signal is not longer than LowPassEdge.
bool zeroPhaseLowPass(std::span<const double> signal, const LowPassCoefficients& filter,
                      std::vector<double>& out);
// Both axes of a trace at once (equal lengths), the same as filtering each alone.
bool zeroPhaseLowPass(std::span<const double> x, std::span<const double> y,
                      const LowPassCoefficients& filter, std::vector<double>& outX,
                      std::vector<double>& outY);

}  // namespace kenvo
