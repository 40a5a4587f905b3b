#include <gtest/gtest.h>

#include <memory>

#include "analysis/spreadsheet_xml.h"

namespace kenvo {
namespace {

std::unique_ptr<MeasurementStore> twoAttempts() {
    auto s = std::make_unique<MeasurementStore>();
    s->calibration.scaleX = 100.0f;
    s->calibration.scaleY = 100.0f;
    for (int a = 0; a < 2; ++a) {
        s->length[static_cast<std::size_t>(a)] = 11;
        for (int k = 0; k < 11; ++k) s->samples(a)[k] = {0.01f * static_cast<float>(k), 0.0f, 70};
    }
    s->attemptCount = 2;
    return s;
}

TEST(SpreadsheetCells, PreparationAndTypes) {
    EXPECT_EQ(prepareCellText("   12,5 \t"), "12.5");
    EXPECT_STREQ(cellType(CellKind::Number, "12.5"), "Number");
    EXPECT_STREQ(cellType(CellKind::Number, ""), "String");
    EXPECT_STREQ(cellType(CellKind::NumberIfNumeric, prepareCellText("  0 -   1")), "String");
    EXPECT_STREQ(cellType(CellKind::NumberIfNumeric, "3470"), "Number");
    EXPECT_STREQ(cellType(CellKind::NumberIfNumeric, "-1.5"), "String");  // only digits and points
    EXPECT_STREQ(cellType(CellKind::String, "12"), "String");
    EXPECT_EQ(escapeXml("<Smith & \"Co\">"), "&lt;Smith &amp; &quot;Co&quot;&gt;");
}

TEST(SpreadsheetDocument, SingleTableExportByteForByte) {
    auto s = twoAttempts();
    TableContent t = buildTable(SummaryTable::Summary, *s, {});
    t.rows.resize(1);
    setenv("TZ", "UTC", 1);
    tzset();
    const std::string doc = buildTableDocument(t, {"Jana <J&K>", 61, 1700000000, 0});
    const std::string expected =
        spreadsheetHeadSingle() +
        "  <ss:Table>\n"
        "      <ss:Column ss:Width=\"70\"/>\n"
        "      <ss:Column ss:Width=\"70\"/>\n"
        "      <ss:Column ss:Width=\"70\"/>\n"
        "      <ss:Column ss:Width=\"50\"/>\n"
        "      <ss:Column ss:Width=\"120\"/>\n"
        "      <ss:Column ss:Width=\"120\"/>\n"
        "    <ss:Row ss:StyleID=\"1\"><ss:Cell><ss:Data ss:Type=\"String\">Name: Jana &lt;J&amp;K&gt;\r\n </ss:Data></ss:Cell></ss:Row>\n"
        "    <ss:Row ss:StyleID=\"1\"><ss:Cell><ss:Data ss:Type=\"String\">Weight: 61\r\n </ss:Data></ss:Cell></ss:Row>\n"
        "    <ss:Row ss:StyleID=\"1\"><ss:Cell><ss:Data ss:Type=\"String\">Date: 14.11.2023    Time: 22:13:20\r\n </ss:Data></ss:Cell></ss:Row>\n"
        "    <ss:Row ss:StyleID=\"1\"><ss:Cell><ss:Data ss:Type=\"String\">  </ss:Data></ss:Cell></ss:Row>\n"
        "  <ss:Row>\n"
        "      <ss:Cell ss:StyleID=\"2\"><ss:Data ss:Type=\"String\"> Attempt </ss:Data></ss:Cell>\n"
        "      <ss:Cell ss:StyleID=\"2\"><ss:Data ss:Type=\"String\"> Length X </ss:Data></ss:Cell>\n"
        "      <ss:Cell ss:StyleID=\"2\"><ss:Data ss:Type=\"String\"> Length Y </ss:Data></ss:Cell>\n"
        "      <ss:Cell ss:StyleID=\"2\"><ss:Data ss:Type=\"String\"> DX/DY </ss:Data></ss:Cell>\n"
        "      <ss:Cell ss:StyleID=\"2\"><ss:Data ss:Type=\"String\"> Velocity-mean </ss:Data></ss:Cell>\n"
        "      <ss:Cell ss:StyleID=\"2\"><ss:Data ss:Type=\"String\"> Mean Distance </ss:Data></ss:Cell>\n"
        "    </ss:Row>\n"
        "  <ss:Row>\n"
        "      <ss:Cell ss:StyleID=\"2\"><ss:Data ss:Type=\"String\"> # </ss:Data></ss:Cell>\n"
        "      <ss:Cell ss:StyleID=\"2\"><ss:Data ss:Type=\"String\"> (mm) </ss:Data></ss:Cell>\n"
        "      <ss:Cell ss:StyleID=\"2\"><ss:Data ss:Type=\"String\"> (mm) </ss:Data></ss:Cell>\n"
        "      <ss:Cell ss:StyleID=\"2\"><ss:Data ss:Type=\"String\"> (1) </ss:Data></ss:Cell>\n"
        "      <ss:Cell ss:StyleID=\"2\"><ss:Data ss:Type=\"String\"> (mm/s) </ss:Data></ss:Cell>\n"
        "      <ss:Cell ss:StyleID=\"2\"><ss:Data ss:Type=\"String\"> (mm) </ss:Data></ss:Cell>\n"
        "    </ss:Row>\n"
        "  <ss:Row>\n"
        "      <ss:Cell><ss:Data ss:Type=\"Number\">1</ss:Data></ss:Cell>\n"
        "      <ss:Cell><ss:Data ss:Type=\"Number\">10.0</ss:Data></ss:Cell>\n"
        "      <ss:Cell><ss:Data ss:Type=\"Number\">0.0</ss:Data></ss:Cell>\n"
        "      <ss:Cell><ss:Data ss:Type=\"Number\">0.0</ss:Data></ss:Cell>\n"
        "      <ss:Cell><ss:Data ss:Type=\"Number\">90.9</ss:Data></ss:Cell>\n"
        "      <ss:Cell><ss:Data ss:Type=\"Number\">2.7</ss:Data></ss:Cell>\n"
        "  </ss:Row>\n"
        "    </ss:Table>\n"
        "</ss:Worksheet>\n</ss:Workbook>\n";
    EXPECT_EQ(doc, expected);
    EXPECT_EQ(spreadsheetHeadSingle().substr(0, 22), "<?xml version=\"1.0\"?>\n");
    EXPECT_NE(spreadsheetHeadBatch().find("#0000CC"), std::string::npos);
}

TEST(SpreadsheetDocument, AttemptAndDrivingExportsAddRepetitionAndKeepTheirColumns) {
    auto s = twoAttempts();
    const std::string attempt = buildTableDocument(buildTable(SummaryTable::Attempt, *s, {1, 1, 1.0f}), {"", 0, 0, 1});
    EXPECT_NE(attempt.find("Repetition No: 2\r\n"), std::string::npos);
    // A stance data set shows 4 columns, but all 7 are exported: the last three empty strings.
    EXPECT_NE(attempt.find("<ss:Data ss:Type=\"Number\">100.0</ss:Data></ss:Cell>\n"
                           "      <ss:Cell><ss:Data ss:Type=\"String\"></ss:Data></ss:Cell>\n"
                           "      <ss:Cell><ss:Data ss:Type=\"String\"></ss:Data></ss:Cell>\n"
                           "      <ss:Cell><ss:Data ss:Type=\"String\"></ss:Data></ss:Cell>\n"
                           "  </ss:Row>"),
              std::string::npos);
    const std::string driving = buildTableDocument(buildTable(SummaryTable::DrivingSummary, *s, {}), {"", 0, 0, 0});
    EXPECT_NE(driving.find("      <ss:Column ss:Width=\"300\"/>\n    <ss:Row"), std::string::npos);
    EXPECT_NE(driving.find("<ss:Data ss:Type=\"String\">Average distance:       0.0   SD:  0.0</ss:Data>"),
              std::string::npos);
    const std::string summary = buildTableDocument(buildTable(SummaryTable::Summary, *s, {}), {"", 0, 0, 0});
    EXPECT_EQ(summary.find("Repetition"), std::string::npos);
    const std::string interval =
        buildTableDocument(buildTable(SummaryTable::IntervalSummary, *s, {0, 1, 1.0f}), {"", 0, 0, 0});
    EXPECT_NE(interval.find("<ss:Data ss:Type=\"String\">0 -   0</ss:Data>"), std::string::npos);
}

TEST(SpreadsheetDocument, BatchRowsPerAttemptWithTheNameInTheFirstRowOfEachFile) {
    auto s = twoAttempts();
    BatchDocument batch(1.0f);
    batch.addDataSet(*s, "A & B");
    batch.addDataSet(*s, "");
    EXPECT_EQ(batch.rowCount(), 4);
    const std::string doc = batch.document();
    EXPECT_EQ(doc.substr(0, spreadsheetHeadBatch().size()), spreadsheetHeadBatch());
    EXPECT_NE(doc.find("<ss:Data ss:Type=\"String\">A &amp; B</ss:Data>"), std::string::npos);
    EXPECT_NE(doc.find("<ss:Data ss:Type=\"String\">no name</ss:Data>"), std::string::npos);
    EXPECT_NE(doc.find("<ss:Cell ss:StyleID=\"3\"><ss:Data ss:Type=\"String\"> Pocet prechodov </ss:Data>"),
              std::string::npos);
    EXPECT_NE(doc.find("<ss:Cell ss:StyleID=\"1\"><ss:Data ss:Type=\"String\"> Driving summary </ss:Data>"),
              std::string::npos);
    EXPECT_NE(doc.find("NAME: </ss:Data>"), std::string::npos);
    // Column 5 holds the mean velocity under its title, column 6 the mean distance.
    EXPECT_NE(doc.find("<ss:Data ss:Type=\"Number\">90.9</ss:Data></ss:Cell>\n"
                       "      <ss:Cell><ss:Data ss:Type=\"String\">2.7</ss:Data>"),
              std::string::npos);
    int rows = 0;
    for (std::size_t p = doc.find("  <ss:Row>\n      <ss:Cell><ss:Data"); p != std::string::npos;
         p = doc.find("  <ss:Row>\n      <ss:Cell><ss:Data", p + 1))
        ++rows;
    EXPECT_EQ(rows, 4);
    // No data set at all: the header rows only.
    const std::string empty = BatchDocument(1.0f).document();
    EXPECT_EQ(empty.find("<ss:Data ss:Type=\"Number\">"), std::string::npos);
}

}  // namespace
}  // namespace kenvo
