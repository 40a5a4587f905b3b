// The CSV text of the clinical measures: the columns a spreadsheet or script relies on.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "clinical/measures_csv.h"

namespace kenvo {
namespace {

std::vector<std::string> split(const std::string& line) {
    std::vector<std::string> cells;
    std::size_t start = 0;
    for (;;) {
        const auto comma = line.find(',', start);
        cells.push_back(line.substr(start, comma - start));
        if (comma == std::string::npos) return cells;
        start = comma + 1;
    }
}

TEST(ClinicalCsv, HeaderListsEveryMeasureBetweenFileAndCutoff) {
    const auto header = split(clinicalCsvHeader());
    ASSERT_EQ(header.size(), ClinicalMeasureCount + 3);
    EXPECT_EQ(header.front(), "file");
    EXPECT_EQ(header[1], "attempt");
    EXPECT_EQ(header[2], "n");
    EXPECT_EQ(header[18], "area95_mm2");
    EXPECT_EQ(header[9], "velocity_mm_s");
    EXPECT_EQ(header[25], "mean_freq_hz");
    EXPECT_EQ(header[header.size() - 2], "prieto_freq_hz");
    EXPECT_EQ(header.back(), "lowpass_hz");
}

// Undefined measures and an unfiltered attempt's cut-off are empty; numbers read back exactly;
// a file name with a comma is quoted so the columns stay in place.
TEST(ClinicalCsv, RowsKeepExactNumbersAndEmptyCells) {
    ClinicalRow row{"a,b.csv", 3, {}};
    row.measures[ClinicalMeasure::SampleCount] = 6000;
    row.measures[ClinicalMeasure::Area95] = 94.46915167236926;
    row.measures[ClinicalMeasure::MeanX] = -1.0e-7;
    ClinicalRow filtered{"plain.kplat", 1, {}};
    filtered.measures.lowPassHz = 7.5;
    const std::vector<ClinicalRow> rows = {row, filtered};
    const std::string csv = clinicalCsv(rows);

    const auto first = csv.find('\n'), second = csv.find('\n', first + 1);
    const std::string line = csv.substr(first + 1, second - first - 1);
    ASSERT_EQ(line.rfind("\"a,b.csv\",3,6000,", 0), 0u) << line;
    const auto cells = split(line.substr(std::string("\"a,b.csv\",").size()));
    ASSERT_EQ(cells.size(), ClinicalMeasureCount + 2);
    EXPECT_EQ(std::strtod(cells[17].c_str(), nullptr), 94.46915167236926);
    EXPECT_EQ(std::strtod(cells[3].c_str(), nullptr), -1.0e-7);
    EXPECT_EQ(cells[4], "");
    EXPECT_EQ(cells.back(), "");

    const std::string last = csv.substr(second + 1);
    EXPECT_EQ(last.rfind("plain.kplat,1,", 0), 0u);
    EXPECT_EQ(last.substr(last.size() - 5), ",7.5\n");
    EXPECT_EQ(csv.back(), '\n');
}

}  // namespace
}  // namespace kenvo
