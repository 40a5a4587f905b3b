#include "files/setting_ranges.h"

#include <bit>

#include "model/test_settings.h"

namespace kenvo {

namespace {

constexpr SettingField unranged(const char* name) { return {name, false, 0, 0, std::nullopt}; }
constexpr SettingField range(const char* name, int32_t min, int32_t max) {
    return {name, true, min, max, std::nullopt};
}
constexpr SettingField choice(const char* name, int32_t last, int32_t fallback) {
    return {name, true, 0, last, fallback};
}

template <std::size_t N>
void hold(std::array<int32_t, N>& words, const std::array<SettingField, N>& fields,
          AdjustedFields* adjusted) {
    for (std::size_t k = 0; k < N; ++k) {
        const SettingField& f = fields[k];
        const int32_t v = words[k];
        if (!f.ranged || (v >= f.min && v <= f.max)) continue;
        words[k] = f.fallback ? *f.fallback : v < f.min ? f.min : f.max;
        if (adjusted) adjusted->push_back({f.name, v});
    }
}

}  // namespace

const std::array<SettingField, 11> TestSettingFields = {
    unranged("spare"),
    range("stanceTime", 0, MaxStanceSeconds),
    range("orientation", 0, 1),
    choice("testMode", 3, TestModeStance),
    range("stimuliCount", 1, 500),
    range("drivingVelocity", 0, 10),
    choice("drivingDirection", 3, 0),
    range("drivingEndMode", 0, 1),
    range("drivingTime", 0, 300),
    range("objectSize", 10, 200),
    range("targetSize", 10, 300),
};

const std::array<SettingField, 28> GraphSettingFields = {
    range("timeAxisSeconds", 1, 60),
    range("copTraceLength", 10, 3000),
    unranged("attemptSeconds"),
    range("copDisplayTimeSeconds", 0, 10),
    range("graphFromSeconds", 0, 50),
    range("graphToSeconds", 1, 60),
    range("copCentred", 0, 1),
    range("copAxisMin", -600, 600),
    range("copAxisMax", -600, 600),
    range("copAxisStep", 1, 600),
    range("y1Parameter", 0, 3),
    range("y2Parameter", 0, 3),
    range("y1Min", -600, 600),
    range("y1Max", -600, 600),
    range("y1Step", 1, 600),
    range("y2Min", -600, 600),
    range("y2Max", -600, 600),
    range("y2Step", 1, 600),
    range("daY1Parameter", 0, DiffusionParameterCount - 1),
    range("daY2Parameter", 0, DiffusionParameterCount - 1),
    unranged("daMaxR"),
    unranged("daMaxR2"),
    unranged("daMaxX"),
    unranged("daMaxY"),
    unranged("daStepR"),
    unranged("daStepR2"),
    unranged("daStepX"),
    unranged("daStepY"),
};

TestSettingWords testSettingWords(const TestSettings& settings) {
    return std::bit_cast<TestSettingWords>(settings);
}

TestSettings testSettingsFromWords(const TestSettingWords& words) {
    return std::bit_cast<TestSettings>(words);
}

void holdSettingsToRanges(TestSettings& test, GraphSettings& graph, AdjustedFields* adjusted) {
    TestSettingWords testWords = testSettingWords(test);
    hold(testWords, TestSettingFields, adjusted);
    test = testSettingsFromWords(testWords);
    GraphSettings::Words graphWords = graph.words();
    hold(graphWords, GraphSettingFields, adjusted);
    graph = GraphSettings::fromWords(graphWords);
}

}  // namespace kenvo
