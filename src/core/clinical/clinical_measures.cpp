#include "clinical/clinical_measures.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <vector>

#include "clinical/low_pass.h"
#include "clinical/prediction_ellipse.h"
#include "clinical/sample_mean.h"
#include "clinical/welch_spectrum.h"
#include "model/limits.h"

namespace kenvo {

namespace {

using M = ClinicalMeasure;

constexpr double Fs = SampleRate;
// Below this the Welch segments are too short for the frequency measures to mean anything.
constexpr std::size_t MinFrequencySamples = 200;

void pathMeasures(std::span<const double> x, std::span<const double> y, ClinicalMeasures& r) {
    const std::size_t n = x.size();
    if (n < 2) return;
    double path = 0.0, pathX = 0.0, pathY = 0.0;
    for (std::size_t i = 1; i < n; ++i) {
        const double dx = x[i] - x[i - 1], dy = y[i] - y[i - 1];
        path += std::sqrt(dx * dx + dy * dy);
        pathX += std::fabs(dx);
        pathY += std::fabs(dy);
    }
    // Divided by the whole duration n / fs (not by the n - 1 intervals), as published norms are.
    const double duration = static_cast<double>(n) / Fs;
    r[M::Path] = path;
    r[M::PathX] = pathX;
    r[M::PathY] = pathY;
    r[M::Velocity] = path / duration;
    r[M::VelocityX] = pathX / duration;
    r[M::VelocityY] = pathY / duration;
}

void spreadMeasures(std::span<const double> x, std::span<const double> y, ClinicalMeasures& r) {
    const std::size_t n = x.size();
    if (n == 0) return;
    const double mx = *sampleMean(x), my = *sampleMean(y);
    r[M::MeanX] = mx;
    r[M::MeanY] = my;
    double sxx = 0.0, syy = 0.0, distance = 0.0;
    for (std::size_t i = 0; i < n; ++i) {
        const double dx = x[i] - mx, dy = y[i] - my;
        sxx += dx * dx;
        syy += dy * dy;
        distance += std::sqrt(dx * dx + dy * dy);
    }
    const double nd = static_cast<double>(n);
    r[M::RmsX] = std::sqrt(sxx / nd);
    r[M::RmsY] = std::sqrt(syy / nd);
    r[M::Rms] = std::sqrt((sxx + syy) / nd);
    const auto [xlo, xhi] = std::minmax_element(x.begin(), x.end());
    const auto [ylo, yhi] = std::minmax_element(y.begin(), y.end());
    r[M::RangeX] = *xhi - *xlo;
    r[M::RangeY] = *yhi - *ylo;
    r[M::MeanDistance] = distance / nd;

    if (n < 2) return;
    double swept = 0.0;
    for (std::size_t i = 0; i + 1 < n; ++i) {
        const double x0 = x[i] - mx, y0 = y[i] - my, x1 = x[i + 1] - mx, y1 = y[i + 1] - my;
        swept += std::fabs(x1 * y0 - y1 * x0);
    }
    r[M::SwayAreaPerSecond] = swept / (2.0 * (nd - 1.0) / Fs);
}

void ellipseMeasures(std::span<const double> x, std::span<const double> y, ClinicalMeasures& r) {
    const auto e = predictionEllipse95(x, y);
    if (!e) return;
    r[M::Area95] = e->area;
    r[M::EllipseMajor] = e->major;
    r[M::EllipseMinor] = e->minor;
    r[M::EllipseAngle] = e->angleDeg;
}

void frequencyMeasures(std::span<const double> x, std::span<const double> y, ClinicalMeasures& r) {
    if (x.size() < MinFrequencySamples) return;
    const auto px = welchSpectrum(x, Fs);
    const auto py = welchSpectrum(y, Fs);
    r[M::MeanFrequencyX] = meanPowerFrequency(*px);
    r[M::MeanFrequencyY] = meanPowerFrequency(*py);
    r[M::MedianFrequencyX] = powerFractionFrequency(*px, 0.5);
    r[M::MedianFrequencyY] = powerFractionFrequency(*py, 0.5);
    r[M::Frequency95X] = powerFractionFrequency(*px, 0.95);
    r[M::Frequency95Y] = powerFractionFrequency(*py, 0.95);
    // Both axes together: each axis's mean frequency weighted by its total power. An axis
    // without power adds nothing.
    double weighted = 0.0, weight = 0.0;
    for (const auto& [spectrum, mean] :
         {std::pair{&*px, r[M::MeanFrequencyX]}, std::pair{&*py, r[M::MeanFrequencyY]}}) {
        if (!mean) continue;
        const double power = totalPower(*spectrum);
        weighted += *mean * power;
        weight += power;
    }
    if (weight > 0.0) r[M::MeanFrequency] = weighted / weight;
}

}  // namespace

ClinicalMeasures measuresOfTrace(std::span<const double> x, std::span<const double> y) {
    const std::size_t n = std::min(x.size(), y.size());
    x = x.first(n);
    y = y.first(n);
    ClinicalMeasures r;
    r[M::SampleCount] = static_cast<double>(n);
    r[M::Duration] = static_cast<double>(n) / Fs;
    pathMeasures(x, y, r);
    spreadMeasures(x, y, r);
    ellipseMeasures(x, y, r);
    frequencyMeasures(x, y, r);
    if (r[M::Velocity] && r[M::MeanDistance] && *r[M::MeanDistance] > 0.0)
        r[M::PrietoFrequency] = *r[M::Velocity] / (2.0 * std::numbers::pi * *r[M::MeanDistance]);
    // Coordinates near the limits of double overflow in differences and squares; such a
    // measure is reported as not computable rather than as inf or NaN.
    for (auto& value : r.values)
        if (value && !std::isfinite(*value)) value.reset();
    return r;
}

ClinicalMeasures computeClinicalMeasures(const SwayTrace& trace, std::optional<double> lowPassHz) {
    if (lowPassHz) {
        const LowPassCoefficients filter = butterworthLowPass(*lowPassHz, Fs);
        std::vector<double> x, y;
        if (zeroPhaseLowPass(trace.x, trace.y, filter, x, y)) {
            ClinicalMeasures r = measuresOfTrace(x, y);
            r.lowPassHz = lowPassHz;
            return r;
        }
    }
    return measuresOfTrace(trace.x, trace.y);
}

}  // namespace kenvo
