#include "clinical/welch_spectrum.h"

#include <fftw3.h>

#include <cmath>
#include <map>
#include <memory>
#include <mutex>
#include <numbers>

#include "clinical/sample_mean.h"

namespace kenvo {

namespace {

// What every segment of one length shares: FFTW's plan and the Hann window.
struct SegmentTransform {
    fftw_plan plan = nullptr;
    std::vector<double> window;
    double windowPower = 0.0;  // sum of the squared weights
};

// FFTW's planner is not thread-safe, executing a plan is: each length's plan (and window) is
// made once under this lock and then run by any thread on its own arrays. Map nodes never
// move, so the references handed out stay valid.
class PlanCache {
  public:
    ~PlanCache() {
        for (auto& [length, t] : transforms_) fftw_destroy_plan(t.plan);
    }

    const SegmentTransform& transformFor(std::size_t length) {
        const std::lock_guard lock(mutex_);
        auto it = transforms_.find(length);
        if (it != transforms_.end()) return it->second;
        SegmentTransform t;
        // Planning with FFTW_ESTIMATE leaves the arrays alone and always picks the same
        // algorithm, so results do not vary from run to run; the arrays only set the
        // alignment, which fftw_alloc_* gives every later array too.
        double* in = fftw_alloc_real(length);
        fftw_complex* out = fftw_alloc_complex(length / 2 + 1);
        t.plan = fftw_plan_dft_r2c_1d(static_cast<int>(length), in, out, FFTW_ESTIMATE);
        fftw_free(in);
        fftw_free(out);
        // The periodic Hann window, as spectral estimates use it.
        t.window.resize(length);
        for (std::size_t j = 0; j < length; ++j) {
            t.window[j] = 0.5 - 0.5 * std::cos(2.0 * std::numbers::pi * static_cast<double>(j) /
                                               static_cast<double>(length));
            t.windowPower += t.window[j] * t.window[j];
        }
        return transforms_.emplace(length, std::move(t)).first->second;
    }

  private:
    std::mutex mutex_;
    std::map<std::size_t, SegmentTransform> transforms_;
};

PlanCache& planCache() {
    static PlanCache cache;
    return cache;
}

struct FftwFree {
    void operator()(void* p) const { fftw_free(p); }
};

double trapezoid(double left, double right, double width) {
    return 0.5 * (left + right) * width;
}

}  // namespace

std::optional<WelchSpectrum> welchSpectrum(std::span<const double> signal, double sampleRateHz) {
    const std::size_t n = signal.size();
    const std::size_t m = n / 2;  // segment length
    const std::size_t overlap = n / 4;
    if (m < 2) return std::nullopt;
    const std::size_t step = m - overlap;
    const std::size_t segments = (n - overlap) / step;
    const std::size_t bins = m / 2 + 1;

    const SegmentTransform& transform = planCache().transformFor(m);
    const std::vector<double>& window = transform.window;
    const double scale = 1.0 / (sampleRateHz * transform.windowPower);
    const std::unique_ptr<double, FftwFree> in(fftw_alloc_real(m));
    const std::unique_ptr<fftw_complex, FftwFree> out(fftw_alloc_complex(bins));

    WelchSpectrum result;
    result.power.assign(bins, 0.0);
    for (std::size_t s = 0; s < segments; ++s) {
        const double* segment = signal.data() + s * step;
        const double mean = *sampleMean(std::span(segment, m));
        for (std::size_t j = 0; j < m; ++j) in.get()[j] = (segment[j] - mean) * window[j];
        fftw_execute_dft_r2c(transform.plan, in.get(), out.get());
        for (std::size_t k = 0; k < bins; ++k) {
            const double re = out.get()[k][0], im = out.get()[k][1];
            // Each bin but 0 Hz and (for an even length) the Nyquist bin also stands for
            // its negative-frequency twin.
            const bool single = k == 0 || (m % 2 == 0 && k == m / 2);
            result.power[k] += (re * re + im * im) * scale * (single ? 1.0 : 2.0);
        }
    }
    result.frequency.resize(bins);
    for (std::size_t k = 0; k < bins; ++k) {
        result.power[k] /= static_cast<double>(segments);
        result.frequency[k] = static_cast<double>(k) * sampleRateHz / static_cast<double>(m);
    }
    return result;
}

std::optional<double> meanPowerFrequency(const WelchSpectrum& s) {
    double moment = 0.0, area = 0.0;
    for (std::size_t k = 1; k < s.power.size(); ++k) {
        const double width = s.frequency[k] - s.frequency[k - 1];
        moment +=
            trapezoid(s.frequency[k - 1] * s.power[k - 1], s.frequency[k] * s.power[k], width);
        area += trapezoid(s.power[k - 1], s.power[k], width);
    }
    if (!(area > 0.0)) return std::nullopt;
    return moment / area;
}

std::optional<double> powerFractionFrequency(const WelchSpectrum& s, double fraction) {
    const std::size_t bins = s.power.size();
    if (bins < 2) return std::nullopt;
    std::vector<double> cumulative(bins, 0.0);
    for (std::size_t k = 1; k < bins; ++k)
        cumulative[k] = cumulative[k - 1] +
                        trapezoid(s.power[k - 1], s.power[k], s.frequency[k] - s.frequency[k - 1]);
    if (!(cumulative.back() > 0.0)) return std::nullopt;
    const double target = fraction * cumulative.back();
    std::size_t k = 0;
    while (k + 1 < bins && cumulative[k] < target) ++k;
    if (k == 0) return s.frequency[0];
    const double share = (target - cumulative[k - 1]) / (cumulative[k] - cumulative[k - 1]);
    return s.frequency[k - 1] + share * (s.frequency[k] - s.frequency[k - 1]);
}

double totalPower(const WelchSpectrum& s) {
    double sum = 0.0;
    for (double p : s.power) sum += p;
    return sum;
}

}  // namespace kenvo
