#pragma once

#include <algorithm>
#include <optional>

#include "clinical/clinical_measures.h"

namespace kenvo {

// How the program shows the clinical measures: the low-pass the attempts go through first and
// whether the pictures draw the 95 % prediction ellipse. Kept with the user's preferences, not
// in the configuration file.
struct ClinicalViewOptions {
    bool lowPassOn = true;
    double lowPassHz = DefaultLowPassHz;
    bool drawEllipse = false;

    // The cut-off to filter with, within the range offered; nothing when the filter is off.
    std::optional<double> lowPass() const {
        if (!lowPassOn) return std::nullopt;
        return std::clamp(lowPassHz, MinLowPassHz, MaxLowPassHz);
    }
};

}  // namespace kenvo
