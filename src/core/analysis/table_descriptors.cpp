#include "analysis/table_descriptors.h"

#include "model/test_settings.h"

namespace kenvo {

namespace {

// The titles and widths as the program has always shown and printed them; the print titles
// mix carriage returns and line feeds, and the target distance prints as "(cm?]", exactly so.
constexpr TableDescriptor Descriptors[] = {
    {SummaryTable::Attempt, 7,
     {"Time\n(ms)", "COP X\n(mm)", "COP Y\n(mm)", "Velocity\n(mm/s)", "COP XG\n(mm)", "COP YG\n(mm)",
      "Distance\n(mm)"},
     {"Time\r(ms)", "COP X\r(mm)", "COP Y\r(mm)", "Velocity\r(mm/s)", "COP XG\n(mm)", "COP YG\n(mm)",
      "Distance\n(mm)"},
     {100, 100, 100, 100, 100, 100, 100},
     {250, 280, 30, 350, 280, 280, 280},
     true},
    {SummaryTable::Summary, 6,
     {"Attempt\n#", "Length X\n(mm)", "Length Y\n(mm)", "DX/DY\n(1)", "Velocity-mean\n(mm/s)",
      "Mean Distance\n(mm)", ""},
     {"Attempt\r#", "Length X\n(mm)", "Length Y\r(mm)", "DX/DY\r(1)", "Velocity-mean\r(mm/s)",
      "Mean Distance\r(mm)", ""},
     {70, 70, 70, 50, 120, 120, 0},
     {175, 175, 175, 175, 280, 280, 0},
     true},
    {SummaryTable::IntervalSummary, 5,
     {"Interval\n", "Length X\n(mm)", "Length Y\n(mm)", "DX/DY\n(1)", "Velocity-mean\n(mm/s)",
      "Mean Distance\n(mm)", ""},
     {"Interval\r", "Length X\r(mm)", "Length Y\r(mm)", "DX/DY\r(1)", "Velocity-mean\r(mm/s)",
      "Mean Distance\r(mm)", ""},
     {70, 70, 70, 50, 120, 120, 0},
     {175, 175, 175, 125, 280, 280, 0},
     true},
    {SummaryTable::TargetSummary, 5,
     {"No\n(#)", "Movement\nDirection", "Distance\n(m)", "Time\n(ms)", "Velocity\n(m/s)", "", ""},
     {"No\r(#)", "Movement\rDirection", "Distance\r(m)", "Time\r(ms)", "Velocity\r(m/s)", "", ""},
     {140, 140, 140, 140, 140, 0, 0},
     {275, 300, 325, 400, 300, 0, 0},
     true},
    {SummaryTable::DrivingSummary, 3,
     {"\n", "\n", "\n", "", "", "", ""},
     {"", "", "", "", "", "", ""},
     {400, 70, 50, 0, 0, 0, 0},
     {800, 205, 200, 0, 0, 0, 0},
     false},
    {SummaryTable::FrequencyAnalysis, 5,
     {"Attempt\n(#)", "Average X\n(mm)", "SD X\n(mm)", "Average Y\n(mm)", "SD Y\n(mm)", "", ""},
     {"Attempt\r(#)", "Average X\r(mm)", "SD X\r(mm)", "Average Y\r(mm)", "SD Y\r(mm)", "", ""},
     {70, 90, 90, 90, 90, 0, 0},
     {175, 200, 200, 200, 200, 0, 0},
     true},
    {SummaryTable::ClinicalMeasures, 0, {}, {}, {}, {}, true},
};

}  // namespace

const TableDescriptor& tableDescriptor(SummaryTable table) {
    for (const TableDescriptor& d : Descriptors)
        if (d.table == table) return d;
    return Descriptors[1];
}

bool tableSuitsTestMode(SummaryTable table, int32_t testMode) {
    switch (table) {
        case SummaryTable::TargetSummary:
            return testMode == TestModeTargetHitting || testMode == TestModeUnused;
        case SummaryTable::DrivingSummary:
            return testMode == TestModeDriving;
        case SummaryTable::ClinicalMeasures:
            return testMode == TestModeStance;
        default:
            return true;
    }
}

std::string_view tableMismatchReason(SummaryTable table, int32_t testMode) {
    if (tableSuitsTestMode(table, testMode)) return {};
    switch (table) {
        case SummaryTable::TargetSummary:
            return "the Target Summary needs a target hitting data set";
        case SummaryTable::ClinicalMeasures:
            return "the Clinical measures need a stance data set";
        default:
            return "the Driving Summary needs a driving data set";
    }
}

bool isSummaryTable(int32_t viewMode) {
    for (const TableDescriptor& d : Descriptors)
        if (static_cast<int32_t>(d.table) == viewMode) return true;
    return false;
}

}  // namespace kenvo
