#include "analysis/line_grid_search.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace kenvo {

float lineResidual(const LagSeries& series, float slope, float intercept) {
    float sum = 0.0f;
    for (int32_t j = 0; j < series.count; ++j) {
        const float lag = static_cast<float>(series.firstLag + j);
        const float e = series.values[j] - slope * lag - intercept;
        sum += e * e;
    }
    return sum;
}

std::vector<float> runningGrid(float lo, float hi, float step) {
    std::vector<float> grid;
    for (float v = lo; v <= hi;) {
        grid.push_back(v);
        float next = v + step;
        if (next == v) next = std::nextafter(v, std::numeric_limits<float>::infinity());
        if (next == v) break;  // v is +infinity
        v = next;
    }
    return grid;
}

namespace {

// Why a skipped candidate cannot win.
//
// With u = 2^-24, w_i = |c_i| + |s|·i + |b| and e_i = c_i − s·i − b, the three roundings of
// (c_i − s·i) − b give |ê_i − e_i| <= 3.001·u·w_i (plus at most 3·2^-149 for underflow,
// covered by w_i + 1e-37). With H >= Σ (3.001·u·(w_i + 1e-37))², E = Σ e_i² and Cauchy-Schwarz,
// |Σ ê_i² − E| <= D = 2·sqrt(H·E) + H. Rounding the squares and the n − 1 additions of
// non-negative terms adds at most γ(n+1)·(E + D) (γ(k) = k·u / (1 − k·u)) and n·2^-149. So
//     F >= (1 − γ)·E − (1 + γ)·(2·sqrt(H·E) + H) − slack =: g(sqrt(E)),
// which rises with E above its vertex. If x0 is the larger root of g(x) = T, any candidate
// with E > x0² has F > T: it is beaten by the candidate that gave T (an attained residual),
// so it is neither the minimum nor the first of equal minima.
//
// E is evaluated from moments in double. The moments A = Σc², P = Σc·i, Q = Σc are sums of
// exact products, and the quadratic needs a handful of further roundings, all bounded by
// the magnitudes summed in W = Σ w_i²: |Ê − E| <= (n + 10)·2^-53·W, taken here as 1e-12·W.
// W and H use the largest |s| and |b| of the grid, which bound every candidate's own.
struct Moments {
    double n = 0, s1 = 0, s2 = 0;  // count, Σi, Σi² (exact integers)
    double a = 0, p = 0, q = 0;    // Σc², Σc·i, Σc
    double pAbs = 0, qAbs = 0;     // Σ|c|·i, Σ|c|
    bool finite = true;
};

Moments momentsOf(const LagSeries& series) {
    Moments m;
    m.n = series.count;
    for (int32_t j = 0; j < series.count; ++j) {
        const double i = series.firstLag + j;
        const double c = series.values[j];
        if (!std::isfinite(series.values[j])) m.finite = false;
        m.s1 += i;
        m.s2 += i * i;
        m.a += c * c;
        m.p += c * i;
        m.q += c;
        m.pAbs += std::fabs(c) * i;
        m.qAbs += std::fabs(c);
    }
    return m;
}

float largestMagnitude(std::span<const float> grid) {
    float most = 0.0f;
    for (float v : grid) most = std::max(most, std::fabs(v));
    return most;
}

// Above this bound (or with values that are not finite) the plain search runs instead:
// residual sums stay far from overflow.
constexpr double LargestBoundedWeight = 1e30;

// Ê above the returned threshold guarantees F > attained.
double pruneThreshold(const Moments& m, double weight, double attained) {
    constexpr double u = 0x1p-24;
    const double k = (m.n + 1) * u;
    const double gamma = k / (1 - k) * (1 + 1e-6);
    const double root = std::sqrt(weight) + std::sqrt(m.n) * 1e-37;
    const double h = (3.001 * u) * (3.001 * u) * root * root * (1 + 1e-9);
    const double slack = m.n * 1e-44;
    const double rest = (1 + gamma) * h + slack + attained;
    const double x0 = ((1 + gamma) * std::sqrt(h) +
                       std::sqrt((1 + gamma) * (1 + gamma) * h + (1 - gamma) * rest)) /
                      (1 - gamma);
    const double evaluationError = 1e-12 * weight;
    return (x0 * x0 * (1 + 1e-9) + evaluationError) * (1 + 1e-12) + 1e-300;
}

}  // namespace

GridPick searchLineGrid(const LagSeries& series, std::span<const float> intercepts,
                        std::span<const float> slopes, float initialBest) {
    GridPick pick;
    pick.candidates = static_cast<int64_t>(intercepts.size()) * static_cast<int64_t>(slopes.size());
    if (pick.candidates == 0) return pick;
    if (series.count == 0) {
        // Every candidate sums nothing: residual 0 throughout, so the first one is kept.
        pick.evaluated = 1;
        pick.found = 0.0f < initialBest;
        if (pick.found) {
            pick.slope = slopes.front();
            pick.intercept = intercepts.front();
        }
        return pick;
    }

    const Moments m = momentsOf(series);
    const double sMax = largestMagnitude(slopes);
    const double bMax = largestMagnitude(intercepts);
    const double weight = (m.a + 2 * sMax * m.pAbs + 2 * bMax * m.qAbs + sMax * sMax * m.s2 +
                           2 * sMax * bMax * m.s1 + bMax * bMax * m.n) *
                          (1 + 1e-12);
    const bool bounded = m.finite && std::isfinite(weight) && weight <= LargestBoundedWeight;

    // Ê(s, b) = A − 2bQ + b²n + s·(2(b·S1 − P) + s·S2), one quadratic in s per intercept.
    const auto rowBase = [&m](double b) { return m.a - 2 * b * m.q + b * b * m.n; };
    const auto rowSlope = [&m](double b) { return 2 * (b * m.s1 - m.p); };

    double threshold = std::numeric_limits<double>::infinity();
    if (bounded) {
        double smallest = std::numeric_limits<double>::infinity();
        std::size_t bestB = 0, bestS = 0;
        for (std::size_t ib = 0; ib < intercepts.size(); ++ib) {
            const double b = intercepts[ib];
            const double base = rowBase(b), lin = rowSlope(b);
            for (std::size_t is = 0; is < slopes.size(); ++is) {
                const double s = slopes[is];
                const double e = base + s * (lin + s * m.s2);
                if (e < smallest) {
                    smallest = e;
                    bestB = ib;
                    bestS = is;
                }
            }
        }
        const float attained = lineResidual(series, slopes[bestS], intercepts[bestB]);
        if (std::isfinite(attained)) threshold = pruneThreshold(m, weight, attained);
    }

    float best = initialBest;
    for (std::size_t ib = 0; ib < intercepts.size(); ++ib) {
        const float b = intercepts[ib];
        const double base = rowBase(b), lin = rowSlope(b);
        for (std::size_t is = 0; is < slopes.size(); ++is) {
            const float s = slopes[is];
            if (base + s * (lin + s * m.s2) > threshold) continue;
            ++pick.evaluated;
            const float f = lineResidual(series, s, b);
            if (f < best) {
                best = f;
                pick.found = true;
                pick.slope = s;
                pick.intercept = b;
                pick.residual = f;
            }
        }
    }
    return pick;
}

}  // namespace kenvo
