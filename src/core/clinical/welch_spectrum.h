#pragma once

#include <optional>
#include <span>
#include <vector>

namespace kenvo {

// One-sided power spectral density of one axis by Welch's method: segments of half the
// signal's length overlapping by a quarter of it, each with its own mean removed, weighted
// by a periodic Hann window and transformed at its own length. frequency[k] = k fs / m.
struct WelchSpectrum {
    std::vector<double> frequency;  // Hz
    std::vector<double> power;      // units^2 / Hz
};

// The spectrum of `signal` sampled at `sampleRateHz`; nothing for fewer than 4 samples.
// Safe to call from several threads at once.
std::optional<WelchSpectrum> welchSpectrum(std::span<const double> signal, double sampleRateHz);

// Frequency summaries of a spectrum; each is nothing when the spectrum holds no power.
// The mean power frequency: trapezoid integral of f P(f) over that of P(f).
std::optional<double> meanPowerFrequency(const WelchSpectrum& spectrum);
// The frequency below which `fraction` of the power lies (trapezoid cumulative integral,
// interpolated linearly between bins): 0.5 gives the median, 0.95 the 95 % frequency.
std::optional<double> powerFractionFrequency(const WelchSpectrum& spectrum, double fraction);
// The plain sum of the power over the bins.
double totalPower(const WelchSpectrum& spectrum);

}  // namespace kenvo
