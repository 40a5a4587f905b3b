#include "clinical/low_pass.h"

#include <algorithm>
#include <cmath>
#include <complex>
#include <numbers>

namespace kenvo {

namespace {

constexpr std::size_t Order = 4;

// Filters `x` in place (transposed direct form II) starting from the state `zi` times x[0].
void runFilter(std::vector<double>& x, const LowPassCoefficients& f,
               const std::array<double, Order>& zi) {
    std::array<double, Order> z{};
    for (std::size_t i = 0; i < Order; ++i) z[i] = zi[i] * x.front();
    for (double& sample : x) {
        const double in = sample;
        const double out = f.b[0] * in + z[0];
        for (std::size_t k = 0; k + 1 < Order; ++k)
            z[k] = z[k + 1] + f.b[k + 1] * in - f.a[k + 1] * out;
        z[Order - 1] = f.b[Order] * in - f.a[Order] * out;
        sample = out;
    }
}

}  // namespace

LowPassCoefficients butterworthLowPass(double cutoffHz, double sampleRateHz) {
    const double c = std::tan(std::numbers::pi * cutoffHz / sampleRateHz);
    // Poles of the analog prototype, mapped to the z plane; the conjugate pairs (m = +-1, +-3)
    // give two real quadratics z^2 - 2 Re(z_m) z + |z_m|^2.
    std::array<double, 3> q1{}, q2{};
    for (int m : {1, 3}) {
        const std::complex<double> p = -std::exp(std::complex<double>(0.0, std::numbers::pi * m / 8.0));
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
    const std::size_t n = signal.size();
    if (n <= LowPassEdge) return false;

    // Steady-state start: the state a constant input of 1 leaves behind.
    double sumB = 0.0, sumA = 0.0;
    for (std::size_t i = 0; i <= Order; ++i) sumB += f.b[i], sumA += f.a[i];
    const double gain = sumB / sumA;
    std::array<double, Order> zi{};
    for (std::size_t i = 0; i < Order; ++i)
        for (std::size_t j = i + 1; j <= Order; ++j) zi[i] += f.b[j] - f.a[j] * gain;

    // Odd reflection about each end sample keeps the signal's level and slope there.
    std::vector<double> x(n + 2 * LowPassEdge);
    for (std::size_t k = 1; k <= LowPassEdge; ++k) {
        x[LowPassEdge - k] = 2.0 * signal[0] - signal[k];
        x[LowPassEdge + n - 1 + k] = 2.0 * signal[n - 1] - signal[n - 1 - k];
    }
    std::copy(signal.begin(), signal.end(), x.begin() + LowPassEdge);

    runFilter(x, f, zi);
    std::reverse(x.begin(), x.end());
    runFilter(x, f, zi);
    std::reverse(x.begin(), x.end());
    out.assign(x.begin() + LowPassEdge, x.begin() + LowPassEdge + n);
    return true;
}

}  // namespace kenvo
