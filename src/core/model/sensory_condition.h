#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <string_view>

namespace kenvo {

// The four conditions of the sensory balance test, in the order they are performed: eyes open
// and closed on the firm plate, then eyes open and closed standing on a foam pad.
enum class SensoryCondition { EoFirm, EcFirm, EoFoam, EcFoam };

inline constexpr std::size_t SensoryConditionCount = 4;
inline constexpr std::array<SensoryCondition, SensoryConditionCount> SensoryConditions = {
    SensoryCondition::EoFirm, SensoryCondition::EcFirm, SensoryCondition::EoFoam,
    SensoryCondition::EcFoam};

// The names files, the register and the command line use.
inline constexpr std::array<std::string_view, SensoryConditionCount> SensoryConditionNames = {
    "eo-firm", "ec-firm", "eo-foam", "ec-foam"};

constexpr std::string_view conditionName(SensoryCondition c) {
    return SensoryConditionNames[static_cast<std::size_t>(c)];
}

constexpr std::optional<SensoryCondition> conditionFromName(std::string_view name) {
    for (std::size_t i = 0; i < SensoryConditionCount; ++i)
        if (SensoryConditionNames[i] == name) return SensoryConditions[i];
    return std::nullopt;
}

constexpr bool eyesClosed(SensoryCondition c) {
    return c == SensoryCondition::EcFirm || c == SensoryCondition::EcFoam;
}
constexpr bool onFoam(SensoryCondition c) {
    return c == SensoryCondition::EoFoam || c == SensoryCondition::EcFoam;
}

}  // namespace kenvo
