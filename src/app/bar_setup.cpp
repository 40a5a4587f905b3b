#include "bar_setup.h"

#include <algorithm>
#include <cstdio>

#include "command_ids.h"
#include "model/limits.h"

namespace kenvo {

namespace {

std::string formatted(const char* format, int32_t value) {
    char text[64];
    std::snprintf(text, sizeof text, format, value);
    return text;
}

ComboFill numbered(const char* format, int32_t first, int32_t last, bool selectLast) {
    ComboFill fill;
    for (int32_t v = first; v <= last; ++v) fill.entries.push_back(formatted(format, v));
    if (!fill.entries.empty())
        fill.selected = selectLast ? static_cast<int32_t>(fill.entries.size()) - 1 : 0;
    return fill;
}

// No attempt is longer than the store's slots; a duration beyond them can come only from a
// damaged file and would otherwise fill a combo with millions of entries.
constexpr int32_t LongestAttemptSeconds = MaxSamples / SampleRate;

}  // namespace

ComboFill attemptComboFill(int32_t attemptCount) {
    return numbered("Attempt No. %d", 1, attemptCount, false);
}

ComboFill intervalComboFill(int32_t attemptSeconds) {
    return numbered("interval %d s", 1, std::min(attemptSeconds, LongestAttemptSeconds), false);
}

ComboFill diffusionComboFill(int32_t samples) {
    const int32_t seconds = std::clamp(samples / 100, 10, std::max(LongestAttemptSeconds, 10));
    return numbered("vypocet od 0 s po %d s", 10, seconds, true);
}

std::optional<BarSetup> barSetupFor(int32_t viewCommand) {
    switch (viewCommand) {
        case CmdStanceTest:
        case CmdContinueStance:
        case CmdTargetTest:
            return BarSetup{BarTest, {}, {}, false, false, false};
        case CmdDrivingTest:
        case CmdContinueDriving:
            return BarSetup{BarDriving, {}, {}, false, false, false};
        case CmdRealSimulation:
            return BarSetup{BarReplay, {}, {}, true, false, false};
        case CmdAttempt:
        case CmdDrivingSummary:
            return BarSetup{BarList, {BarAttemptCombo}, {BarDeleteButton}, true, false, false};
        case CmdSummary:
        case CmdFrequencyAnalysis:
        case CmdClinicalMeasures:
            return BarSetup{BarList, {}, {BarAttemptCombo, BarDeleteButton}, false, false, false};
        case CmdTargetSummary:
            return BarSetup{BarList, {BarDeleteButton}, {BarAttemptCombo}, false, false, false};
        case CmdIntervalSummary:
            return BarSetup{BarIntervalList, {}, {}, true, true, false};
        case CmdGraphReport:
            return BarSetup{BarGraphReport, {}, {}, true, false, false};
        case CmdDifusAnalysis:
            return BarSetup{BarDiffusion, {}, {}, true, false, true};
        default:
            return std::nullopt;
    }
}

}  // namespace kenvo
