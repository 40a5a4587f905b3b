#pragma once

#include <array>
#include <cstdint>
#include <string_view>

namespace kenvo {

inline constexpr int32_t PlatformModelCount = 4;

// The platform models in discovery order, recognised by their USB product descriptions. The
// first character gives the number of load cells.
inline constexpr std::array<std::string_view, PlatformModelCount> PlatformDescriptions = {
    "4KenvoPlat", "4KenvoPlatW", "3KenvoPlatP", "3KenvoPlatT"};

// Millimetres per unit of COP fraction, indexed by orientation x 4 + model: with orientation 1
// the axes are turned, so the two columns swap.
inline constexpr std::array<float, 8> CalibrationScaleX = {175.0f, 117.0f, 265.0f, 241.0f,
                                                           276.0f, 112.0f, 230.0f, 208.5f};
inline constexpr std::array<float, 8> CalibrationScaleY = {276.0f, 112.0f, 230.0f, 208.5f,
                                                           175.0f, 117.0f, 265.0f, 241.0f};

struct ModelScales {
    float scaleX;
    float scaleY;
};

inline constexpr bool isValidModel(int32_t model) { return model >= 0 && model < PlatformModelCount; }

inline constexpr ModelScales modelScales(int32_t model, int32_t orientation) {
    const int32_t i = (orientation == 1 ? 4 : 0) + model;
    return {CalibrationScaleX[static_cast<std::size_t>(i)], CalibrationScaleY[static_cast<std::size_t>(i)]};
}

inline constexpr bool isFourSensorModel(int32_t model) {
    return PlatformDescriptions[static_cast<std::size_t>(model)].front() == '4';
}

}  // namespace kenvo
