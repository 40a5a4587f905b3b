#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "analysis/table_descriptors.h"
#include "model/measurement_store.h"

namespace kenvo {

// One column of a table whose columns follow its data set rather than a fixed descriptor.
struct TableColumn {
    std::string title;  // two lines joined by '\n'
    int32_t screenWidth = 0;  // pixels
    int32_t printWidth = 0;   // 0.1 mm
    bool leftAligned = false;  // a text column; numbers are right-aligned
    bool numeric = true;       // exported as a number where the cell reads as one
};

// What the list of a digital table shows: every row has the table's column count of cell
// texts; cells a row does not fill are empty.
struct TableContent {
    SummaryTable table = SummaryTable::Summary;
    int32_t shownColumns = 0;  // the Attempt table of a non-driving data set shows 4 of its 7
    std::vector<std::vector<std::string>> rows;
    // The columns of a table with a variable layout; empty for the fixed tables, whose
    // descriptor says what their columns are.
    std::vector<TableColumn> columns;
};

// How many columns each row of `table` has: its own columns, or its descriptor's.
int32_t tableColumnCount(const TableContent& table);

// The view's choices a table depends on.
struct TableRequest {
    int32_t selectedAttempt = 0;
    int32_t intervalSeconds = 1;
    float filterFrequency = 1.0f;
};

// Builds the rows of a table from the store, with the texts exactly as the list shows them
// (printf formats, the process's numeric locale).
TableContent buildTable(SummaryTable table, const MeasurementStore& store, const TableRequest& request);

}  // namespace kenvo
