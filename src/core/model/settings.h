#pragma once

#include <array>
#include <cstdint>

#include "model/graph_settings.h"
#include "model/platform_calibration.h"
#include "model/test_settings.h"

namespace kenvo {

// The user's settings between runs: what the configuration file keeps, plus the diffusion
// line, which no file keeps. The values here are those at program start, before any
// configuration is read. The data set's own copies of the test settings and calibration live
// in the MeasurementStore; a loaded data file replaces those, never these.
struct Settings {
    TestSettings test{};
    GraphSettings graph{};
    std::array<int32_t, 3> configReserved = {0, 10, 1};  // kept in the file, used by nothing
    PlatformCalibration calibration{};
    float filterFrequency = 1.0f;  // frequency analysis filter
    DiffusionLine diffusionLine{};

    friend bool operator==(const Settings&, const Settings&) = default;
};

}  // namespace kenvo
