#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "model/graph_settings.h"
#include "model/test_settings.h"

namespace kenvo {

// One word of the test or graph settings: its name, and the range a loaded value is held to.
// A value outside the range moves to the nearer end, or takes `fallback` when one is given (a
// choice among named values has no "nearer" one). Words without a range are taken as read.
struct SettingField {
    const char* name;
    bool ranged;
    int32_t min;
    int32_t max;
    std::optional<int32_t> fallback;
};

// The eleven test settings and the 28 graph words, in file order.
extern const std::array<SettingField, 11> TestSettingFields;
extern const std::array<SettingField, 28> GraphSettingFields;

using TestSettingWords = std::array<int32_t, 11>;
TestSettingWords testSettingWords(const TestSettings& settings);
TestSettings testSettingsFromWords(const TestSettingWords& words);

// A value a load changed, with what the file held.
struct AdjustedField {
    std::string name;
    int64_t fileValue;
};
using AdjustedFields = std::vector<AdjustedField>;

// Holds every ranged test and graph setting to its range; each value moved is appended to
// `adjusted` when given. A damaged or hand-edited file can then never hand the displays a
// negative ring size or a product that overflows.
void holdSettingsToRanges(TestSettings& test, GraphSettings& graph, AdjustedFields* adjusted);

}  // namespace kenvo
