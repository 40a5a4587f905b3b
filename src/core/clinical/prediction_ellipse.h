#pragma once

#include <optional>
#include <span>

namespace kenvo {

// The 95 % prediction ellipse of a cloud of COP samples: the region a new sample from the
// same (bivariate normal) sway falls into with probability 0.95. Lengths in the samples' unit.
struct PredictionEllipse {
    double centreX = 0.0;
    double centreY = 0.0;
    double major = 0.0;  // semi-axes
    double minor = 0.0;
    // Direction of the major axis from the +x axis in degrees, in (-90, 90]; nothing for a
    // round cloud, where no direction stands out.
    std::optional<double> angleDeg;
    double area = 0.0;
};

// Needs at least 3 samples (x and y of equal length); nothing otherwise.
std::optional<PredictionEllipse> predictionEllipse95(std::span<const double> x,
                                                     std::span<const double> y);

}  // namespace kenvo
