#pragma once

#include <array>
#include <cstdint>
#include <string_view>

namespace kenvo {

// The digital tables, numbered by the view mode that shows them.
enum class SummaryTable : int32_t {
    Attempt = 3,
    Summary = 4,
    IntervalSummary = 5,
    TargetSummary = 10,
    DrivingSummary = 12,
    FrequencyAnalysis = 13,
    // One row per clinical sway measure, one column per attempt: its columns follow the data
    // set, so its descriptor has none and the table content carries them.
    ClinicalMeasures = 20,
};

inline constexpr int32_t MaxTableColumns = 7;

// Column count, two-line titles (screen and export: lines joined by '\n'; print: as the printed
// report uses them) and widths (screen pixels; print in 0.1 mm). A descriptor may hold more
// titles than its count; only the first `count` columns exist.
struct TableDescriptor {
    SummaryTable table;
    int32_t count;
    std::array<std::string_view, MaxTableColumns> screenTitles;
    std::array<std::string_view, MaxTableColumns> printTitles;
    std::array<int32_t, MaxTableColumns> screenWidths;
    std::array<int32_t, MaxTableColumns> printWidths;
    bool printsTitles;  // the driving summary is printed without column titles
};

const TableDescriptor& tableDescriptor(SummaryTable table);
// Whether a view mode number is one of the tables.
bool isSummaryTable(int32_t viewMode);
// Whether `table` means anything for a data set of `testMode`: the Target Summary lists the
// targets of a target hitting test (modes 1 and 2), the Driving Summary the deviations of a
// driving test (mode 3), the Clinical measures the sway of a stance test (mode 0); the other
// tables suit every data set.
bool tableSuitsTestMode(SummaryTable table, int32_t testMode);
// Why `table` is not offered for a data set of `testMode`, for a plain message; empty when it is.
std::string_view tableMismatchReason(SummaryTable table, int32_t testMode);

inline constexpr std::array<std::string_view, 4> TargetDirectionNames = {"left", "front", "right", "rear"};

}  // namespace kenvo
