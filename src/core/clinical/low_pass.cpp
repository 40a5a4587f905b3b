#include "clinical/low_pass.h"

#include <algorithm>
#include <cmath>
#include <complex>
#include <numbers>

namespace kenvo {

namespace {

constexpr std::size_t Order = 4;

// Filters each of the equally long `signals` in place (transposed direct form II), starting
// from the state `zi` times its first sample. The channels run in one loop: their recursions
// are independent, so the processor overlaps them.
template <std::size_t N>
void runFilters(const std::array<double*, N>& signals, std::size_t length,
                const LowPassCoefficients& f, const std::array<double, Order>& zi) {
    std::array<std::array<double, Order>, N> z{};
    for (std::size_t c = 0; c < N; ++c)
        for (std::size_t i = 0; i < Order; ++i) z[c][i] = zi[i] * signals[c][0];
    for (std::size_t n = 0; n < length; ++n) {
        for (std::size_t c = 0; c < N; ++c) {
            const double in = signals[c][n];
            const double out = f.b[0] * in + z[c][0];
            for (std::size_t k = 0; k + 1 < Order; ++k)
                z[c][k] = z[c][k + 1] + f.b[k + 1] * in - f.a[k + 1] * out;
            z[c][Order - 1] = f.b[Order] * in - f.a[Order] * out;
            signals[c][n] = out;
        }
    }
}

// The state a constant input of 1 leaves behind, so a filter started from it passes the
// signal's opening level without a transient.
std::array<double, Order> steadyState(const LowPassCoefficients& f) {
    double sumB = 0.0, sumA = 0.0;
    for (std::size_t i = 0; i <= Order; ++i) sumB += f.b[i], sumA += f.a[i];
    const double gain = sumB / sumA;
    std::array<double, Order> zi{};
    for (std::size_t i = 0; i < Order; ++i)
        for (std::size_t j = i + 1; j <= Order; ++j) zi[i] += f.b[j] - f.a[j] * gain;
    return zi;
}

// The signal with LowPassEdge samples added at each end by odd reflection about the end
// sample, which keeps the signal's level and slope there.
std::vector<double> extended(std::span<const double> signal) {
    const std::size_t n = signal.size();
    std::vector<double> x(n + 2 * LowPassEdge);
    for (std::size_t k = 1; k <= LowPassEdge; ++k) {
        x[LowPassEdge - k] = 2.0 * signal[0] - signal[k];
        x[LowPassEdge + n - 1 + k] = 2.0 * signal[n - 1] - signal[n - 1 - k];
    }
    std::copy(signal.begin(), signal.end(), x.begin() + LowPassEdge);
    return x;
}

// Forward pass, reverse, backward pass, reverse, extensions dropped.
template <std::size_t N>
void zeroPhase(std::array<std::vector<double>, N>& x, const LowPassCoefficients& f,
               const std::array<std::vector<double>*, N>& out) {
    const std::array<double, Order> zi = steadyState(f);
    std::array<double*, N> data{};
    for (std::size_t c = 0; c < N; ++c) data[c] = x[c].data();
    const std::size_t length = x[0].size();
    runFilters(data, length, f, zi);
    for (auto& v : x) std::reverse(v.begin(), v.end());
    runFilters(data, length, f, zi);
    for (std::size_t c = 0; c < N; ++c) {
        std::reverse(x[c].begin(), x[c].end());
        out[c]->assign(x[c].begin() + LowPassEdge, x[c].end() - LowPassEdge);
    }
}

}  // namespace

LowPassCoefficients butterworthLowPass(double cutoffHz, double sampleRateHz) {
    const double c = std::tan(std::numbers::pi * cutoffHz / sampleRateHz);
    // Poles of the analog prototype, mapped to the z plane; the conjugate pairs (m = +-1, +-3)
    // give two real quadratics z^2 - 2 Re(z_m) z + |z_m|^2.
    std::array<double, 3> q1{}, q2{};
    for (int m : {1, 3}) {
        const std::complex<double> p =
            -std::exp(std::complex<double>(0.0, std::numbers::pi * m / 8.0));
        const std::complex<double> z = (1.0 + c * p) / (1.0 - c * p);
        auto& q = m == 1 ? q1 : q2;
        q = {1.0, -2.0 * z.real(), std::norm(z)};
    }
    LowPassCoefficients f;
    for (std::size_t i = 0; i < 3; ++i)
        for (std::size_t j = 0; j < 3; ++j) f.a[i + j] += q1[i] * q2[j];
    double sum = 0.0;
    for (double v : f.a) sum += v;
    // Four zeros at z = -1, scaled so that the gain at 0 Hz is exactly 1.
    constexpr std::array<double, 5> Binomial = {1.0, 4.0, 6.0, 4.0, 1.0};
    for (std::size_t i = 0; i < 5; ++i) f.b[i] = Binomial[i] * sum / 16.0;
    return f;
}

bool zeroPhaseLowPass(std::span<const double> signal, const LowPassCoefficients& f,
                      std::vector<double>& out) {
    out.clear();
    if (signal.size() <= LowPassEdge) return false;
    std::array<std::vector<double>, 1> x = {extended(signal)};
    zeroPhase<1>(x, f, {&out});
    return true;
}

bool zeroPhaseLowPass(std::span<const double> x, std::span<const double> y,
                      const LowPassCoefficients& f, std::vector<double>& outX,
                      std::vector<double>& outY) {
    outX.clear();
    outY.clear();
    if (x.size() != y.size() || x.size() <= LowPassEdge) return false;
    std::array<std::vector<double>, 2> xy = {extended(x), extended(y)};
    zeroPhase<2>(xy, f, {&outX, &outY});
    return true;
}

}  // namespace kenvo
