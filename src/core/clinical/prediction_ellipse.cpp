#include "clinical/prediction_ellipse.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "clinical/sample_mean.h"

namespace kenvo {

std::optional<PredictionEllipse> predictionEllipse95(std::span<const double> x,
                                                     std::span<const double> y) {
    const std::size_t n = std::min(x.size(), y.size());
    if (n < 3) return std::nullopt;
    PredictionEllipse e;
    e.centreX = *sampleMean(x.first(n));
    e.centreY = *sampleMean(y.first(n));
    // Sample covariance about the mean (second pass), divisor n - 1.
    double sxx = 0.0, syy = 0.0, sxy = 0.0;
    for (std::size_t i = 0; i < n; ++i) {
        const double dx = x[i] - e.centreX, dy = y[i] - e.centreY;
        sxx += dx * dx;
        syy += dy * dy;
        sxy += dx * dy;
    }
    const double nd = static_cast<double>(n);
    sxx /= nd - 1.0;
    syy /= nd - 1.0;
    sxy /= nd - 1.0;

    const double half = 0.5 * (sxx + syy);
    const double spread = std::hypot(0.5 * (sxx - syy), sxy);
    const double l1 = half + spread;
    const double l2 = std::max(half - spread, 0.0);  // a line's rounding may leave it below 0

    // F(0.95; 2, d) has the closed form (d / 2)(0.05^(-2/d) - 1); expm1 keeps it exact for
    // large d. The factor widens the confidence region of the mean into a prediction region.
    const double d = nd - 2.0;
    const double f95 = 0.5 * d * std::expm1(2.0 * std::log(20.0) / d);
    const double k = f95 * 2.0 * (nd - 1.0) * (nd + 1.0) / (nd * d);
    e.major = std::sqrt(k * l1);
    e.minor = std::sqrt(k * l2);
    e.area = std::numbers::pi * k * std::sqrt(l1 * l2);
    if (l1 - l2 > 1e-12 * (l1 + l2)) {
        // Half of atan2's (-180, 180]: the major axis within (-90, 90].
        e.angleDeg = 0.5 * std::atan2(2.0 * sxy, sxx - syy) * 180.0 / std::numbers::pi;
    }
    return e;
}

}  // namespace kenvo
