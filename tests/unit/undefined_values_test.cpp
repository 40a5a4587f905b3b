#include <gtest/gtest.h>

#include <cstdio>
#include <limits>
#include <memory>
#include <string>

#include "analysis/clipboard_text.h"
#include "analysis/spreadsheet_xml.h"
#include "analysis/table_rows.h"
#include "analysis/text_format.h"
#include "model/measurement_store.h"

namespace kenvo {
namespace {

constexpr double NaN = std::numeric_limits<double>::quiet_NaN();
constexpr double Inf = std::numeric_limits<double>::infinity();

bool showsNanOrInf(const std::string& text) {
    return text.find("nan") != std::string::npos || text.find("inf") != std::string::npos;
}

TEST(FormatText, AnUndefinedNumberIsLeftOutWithItsPadding) {
    EXPECT_EQ(formatText("%7.1f", NaN), "");
    EXPECT_EQ(formatText("%7.1f", -NaN), "");
    EXPECT_EQ(formatText("%8.3f", Inf), "");
    EXPECT_EQ(formatText("%5.1f", -Inf), "");
    // Only the undefined conversion goes; the text and the other numbers around it stay.
    EXPECT_EQ(formatText("Y1L: %7.1f", NaN), "Y1L: ");
    EXPECT_EQ(formatText("%8.3f   SD:%5.3f", NaN, 0.25), "   SD:0.250");
    EXPECT_EQ(formatText("%12s%10.1f   SD:%5.1f", "Average:", 2.0, Inf), "    Average:       2.0   SD:");
}

// Every other conversion the program uses prints as printf prints it.
TEST(FormatText, DefinedValuesPrintAsPrintfDoes) {
    auto printf = [](const char* format, auto... values) {
        char buffer[256];
        std::snprintf(buffer, sizeof buffer, format, values...);
        return std::string(buffer);
    };
    EXPECT_EQ(formatText("%7.1f|%5.3f|%6.4fx+%6.4f", -3.25, 0.5, 1.0, -2.0),
              printf("%7.1f|%5.3f|%6.4fx+%6.4f", -3.25, 0.5, 1.0, -2.0));
    EXPECT_EQ(formatText("%d %5d %-4d| %10d", -7, 42, 3, 2147483647),
              printf("%d %5d %-4d| %10d", -7, 42, 3, 2147483647));
    EXPECT_EQ(formatText("%8s|%s|%c", "left", "", 'x'), printf("%8s|%s|%c", "left", "", 'x'));
    EXPECT_EQ(formatText("%*d|%.*f|%ld|%zu", 6, 12, 2, 1.234, -5L, std::size_t{9}),
              printf("%*d|%.*f|%ld|%zu", 6, 12, 2, 1.234, -5L, std::size_t{9}));
    EXPECT_EQ(formatText("100%% of %d", 3), "100% of 3");
    EXPECT_EQ(formatText("Page: %d/%d", 1, 2), "Page: 1/2");
    EXPECT_EQ(formatText("%g %e", 1e-7, 12345.0), printf("%g %e", 1e-7, 12345.0));
    const std::string longText(500, 'a');
    EXPECT_EQ(formatText("[%s]", longText.c_str()), "[" + longText + "]");
}

// An attempt whose second sample is undefined (a position that is not a number): its cells in
// the table, the clipboard text and the spreadsheet are empty.
TEST(UndefinedValues, TableClipboardAndSpreadsheetShowAnEmptyCell) {
    auto s = std::make_unique<MeasurementStore>();
    s->calibration.scaleX = s->calibration.scaleY = 100.0f;
    s->length[0] = 3;
    s->samples(0)[0] = {0.0f, 0.0f, 70};
    s->samples(0)[1] = {std::numeric_limits<float>::quiet_NaN(), 0.01f, 70};
    s->samples(0)[2] = {0.02f, std::numeric_limits<float>::infinity(), 70};
    s->attemptCount = 1;

    const TableContent t = buildTable(SummaryTable::Attempt, *s, {});
    ASSERT_EQ(t.rows.size(), 2u);
    EXPECT_EQ(t.rows[0][1], "");  // x undefined
    EXPECT_EQ(t.rows[0][2], "    1.0");
    EXPECT_EQ(t.rows[0][3], "");  // so is the distance from it
    EXPECT_EQ(t.rows[1][2], "");

    for (const auto& row : t.rows)
        for (const std::string& cell : row) EXPECT_FALSE(showsNanOrInf(cell)) << cell;
    EXPECT_FALSE(showsNanOrInf(copyAllRows(t)));

    const std::string doc = buildTableDocument(t, {"", 0, 0, 0});
    EXPECT_FALSE(showsNanOrInf(doc));
    EXPECT_NE(doc.find("<ss:Data ss:Type=\"String\"></ss:Data>"), std::string::npos);
    EXPECT_EQ(doc.find("<ss:Data ss:Type=\"Number\"></ss:Data>"), std::string::npos);
}

}  // namespace
}  // namespace kenvo
