#pragma once

#include <array>
#include <string>
#include <vector>

#include "clinical/sensory_results.h"
#include "graphs/surface.h"
#include "model/sensory_condition.h"
#include "reports/clinical_report.h"

namespace kenvo {

// The sensory test's results as the window shows them: one column per condition, one row per
// measure (median with its unit), and under area, velocity and mean frequency the reference
// range, the z-score with the percentile, and the band in words and colour. Below, the Romberg
// and foam quotients and a warning when trials were shorter than the reference trials.

struct SensoryScreenCell {
    std::string text;
    ReportBand band = ReportBand::None;  // coloured when not None
};

struct SensoryScreenRow {
    std::string label;
    std::array<SensoryScreenCell, SensoryConditionCount> cells;
    bool measure = false;  // a measure's own row (bold label); false for its reference rows
};

struct SensoryResultsScreen {
    std::string heading;    // "Sensory test results – NAME"
    std::string reference;  // the age and reference group, or why there is none
    std::array<std::string, SensoryConditionCount> columns;
    std::vector<SensoryScreenRow> rows;
    std::vector<std::string> notes;  // quotients, short trials, filter
};

// `subjectName` in UTF-8; `lowPassHz` as the measures were computed (nothing: unfiltered).
SensoryResultsScreen buildSensoryResultsScreen(const SensoryResults& results,
                                               const std::string& subjectName,
                                               std::optional<double> lowPassHz);

// Lays the screen out in `area` (view pixels, y downward); it fits 720 x 400 pixels.
void drawSensoryResultsScreen(Surface& surface, const Rect& area,
                              const SensoryResultsScreen& screen);

}  // namespace kenvo
