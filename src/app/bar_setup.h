#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace kenvo {

// Dialog bar templates, one per group of view commands.
enum BarTemplate : int32_t {
    BarTest = 142,          // stance and target hitting tests
    BarDriving = 150,       // driving test
    BarReplay = 139,        // real simulation
    BarList = 138,          // the digital tables
    BarIntervalList = 143,  // interval summary
    BarGraphReport = 140,   // graph report
    BarDiffusion = 141,     // diffusion analysis
};

// Control ids shared by several bars.
enum BarControl : int32_t {
    BarAttemptCombo = 32801,
    BarIntervalCombo = 32802,
    BarY1Combo = 32806,
    BarY2Combo = 32807,
    BarDiffusionIntervalCombo = 1055,
    BarDeleteButton = 1065,
};

// The entries of a combo and the one selected (-1 when empty).
struct ComboFill {
    std::vector<std::string> entries;
    int32_t selected = -1;
};

// "Attempt No. 1" .. "Attempt No. <attemptCount>", the first selected.
ComboFill attemptComboFill(int32_t attemptCount);
// "interval 1 s" .. "interval <attemptSeconds> s", the first selected.
ComboFill intervalComboFill(int32_t attemptSeconds);
// For an attempt of `samples` samples: the whole seconds, at least 10, each a possible end of
// the diffusion fit from 10 s on; the last is selected.
ComboFill diffusionComboFill(int32_t samples);

// What a view command shows on the bar: its template, the controls it shows or hides after
// the bar is made, and the combos filled then.
struct BarSetup {
    int32_t templateId = 0;
    std::vector<int32_t> shown;
    std::vector<int32_t> hidden;
    bool fillAttempts = false;
    bool fillIntervals = false;
    bool fillDiffusion = false;
};

// The bar of a view command; empty for commands without a bar (the blank view removes it).
std::optional<BarSetup> barSetupFor(int32_t viewCommand);

}  // namespace kenvo
