#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "analysis/table_descriptors.h"
#include "measurement/measurement_store.h"

namespace kenvo {

// What the list of a digital table shows: every row has the descriptor's column count of cell
// texts; cells a row does not fill are empty.
struct TableContent {
    SummaryTable table = SummaryTable::Summary;
    int32_t shownColumns = 0;  // the Attempt table of a non-driving data set shows 4 of its 7
    std::vector<std::vector<std::string>> rows;
};

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
