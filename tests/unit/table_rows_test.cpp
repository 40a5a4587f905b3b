#include <gtest/gtest.h>

#include <clocale>
#include <memory>

#include "analysis/clipboard_text.h"
#include "analysis/spreadsheet_xml.h"
#include "analysis/table_rows.h"

namespace kenvo {
namespace {

std::unique_ptr<MeasurementStore> storeWith(int attempts, int samples, int32_t mode = TestModeStance) {
    auto s = std::make_unique<MeasurementStore>();
    s->calibration.scaleX = 100.0f;
    s->calibration.scaleY = 100.0f;
    s->settings.testMode = mode;
    for (int a = 0; a < attempts; ++a) {
        s->length[static_cast<std::size_t>(a)] = samples;
        for (int k = 0; k < samples; ++k)
            s->samples(a)[k] = {0.01f * static_cast<float>(k), 0.0f, static_cast<int16_t>(70)};
    }
    s->attemptCount = attempts;
    return s;
}

TEST(TableDescriptors, CountsTitlesAndWidths) {
    EXPECT_EQ(tableDescriptor(SummaryTable::Attempt).count, 7);
    EXPECT_EQ(tableDescriptor(SummaryTable::Summary).count, 6);
    EXPECT_EQ(tableDescriptor(SummaryTable::IntervalSummary).count, 5);
    EXPECT_EQ(tableDescriptor(SummaryTable::IntervalSummary).screenTitles[5], "Mean Distance\n(mm)");
    EXPECT_EQ(tableDescriptor(SummaryTable::TargetSummary).printTitles[2], "Distance\r(m)");
    EXPECT_EQ(tableDescriptor(SummaryTable::DrivingSummary).screenWidths[0], 400);
    EXPECT_FALSE(tableDescriptor(SummaryTable::DrivingSummary).printsTitles);
    EXPECT_EQ(tableDescriptor(SummaryTable::Attempt).printWidths[2], 30);
    EXPECT_TRUE(isSummaryTable(13));
    EXPECT_FALSE(isSummaryTable(7));
}

TEST(TableRows, SummaryRowPerAttempt) {
    auto s = storeWith(2, 11);  // x walks 1 mm per sample for 10 mm
    const TableContent t = buildTable(SummaryTable::Summary, *s, {});
    ASSERT_EQ(t.rows.size(), 2u);
    EXPECT_EQ(t.rows[1], (std::vector<std::string>{"2", "   10.0", "    0.0", "    0.0", "   90.9", "    2.7"}));
    // The DX/DY ratio is 0 here because the Y path is 0.
}

TEST(TableRows, AttemptShowsFourColumnsForStanceAndSevenForDriving) {
    auto s = storeWith(1, 3);
    TableContent t = buildTable(SummaryTable::Attempt, *s, {});
    EXPECT_EQ(t.shownColumns, 4);
    ASSERT_EQ(t.rows.size(), 2u);  // samples 1 .. n-1
    EXPECT_EQ(t.rows[0], (std::vector<std::string>{"10", "    1.0", "    0.0", "  100.0", "", "", ""}));
    auto d = storeWith(1, 3, TestModeDriving);
    d->settings.drivingDirection = 2;
    d->deviation(0)[2] = -1.25f;
    t = buildTable(SummaryTable::Attempt, *d, {});
    EXPECT_EQ(t.shownColumns, 7);
    EXPECT_EQ(t.rows[1], (std::vector<std::string>{"20", "    2.0", "    0.0", "  100.0", "    2.0", "   -1.2", "   -1.2"}));
    EXPECT_TRUE(buildTable(SummaryTable::Attempt, *s, {5, 1, 1.0f}).rows.empty());  // no such attempt
}

// A ramp of 3 mm right and 4 mm forward per sample moves 5 mm every 10 ms: 500 mm/s. The
// Attempt table says so wherever it goes, while the summary's path stays in millimetres.
TEST(TableRows, AttemptVelocityIsTheStepTimesTheSampleRate) {
    auto s = storeWith(1, 4);
    for (int k = 0; k < 4; ++k) s->samples(0)[k] = {0.03f * float(k), 0.04f * float(k), int16_t(70)};
    const TableContent attempt = buildTable(SummaryTable::Attempt, *s, {});
    ASSERT_EQ(attempt.rows.size(), 3u);
    for (const auto& row : attempt.rows) EXPECT_EQ(row[3], "  500.0") << row[0];
    EXPECT_EQ(clipboardText(attempt, {2}), "30     9.0    12.0   500.0    \r\n");
    const std::string sheet = buildTableDocument(attempt, {"", 0, 0, 0});
    EXPECT_NE(sheet.find("<ss:Data ss:Type=\"Number\">500.0</ss:Data>"), std::string::npos);
    EXPECT_EQ(sheet.find("<ss:Data ss:Type=\"Number\">5.0</ss:Data>"), std::string::npos);

    const TableContent summary = buildTable(SummaryTable::Summary, *s, {});
    ASSERT_EQ(summary.rows.size(), 1u);
    EXPECT_EQ(summary.rows[0][1], "    9.0");  // path X: three 3 mm steps
    EXPECT_EQ(summary.rows[0][4], "  375.0");  // 15 mm over 4 samples of 10 ms
}

TEST(TableRows, IntervalSummaryCutsThenBlankThenSummary) {
    auto s = storeWith(1, 1050);
    const TableContent t = buildTable(SummaryTable::IntervalSummary, *s, {0, 5, 1.0f});
    ASSERT_EQ(t.rows.size(), 5u);
    EXPECT_EQ(t.rows[0][0], "  0 -   5");
    EXPECT_EQ(t.rows[1][0], "  5 -  10");
    EXPECT_EQ(t.rows[2][0], " 10 -  10");
    EXPECT_EQ(t.rows[2][1], "   49.0");  // the last 50 samples: 49 steps of 1 mm
    EXPECT_EQ(t.rows[3], (std::vector<std::string>{" ", "", "", "", ""}));
    EXPECT_EQ(t.rows[4][0], "Summary:");
    EXPECT_EQ(t.rows[4][1], " 1049.0");
    EXPECT_EQ(t.rows[4].size(), 5u);  // no mean distance column
}

TEST(TableRows, TargetSummaryRowsAndAverages) {
    auto s = storeWith(2, 347, TestModeTargetHitting);
    s->targetLocation[0] = 3;
    s->targetLocation[1] = 0;
    TableContent t = buildTable(SummaryTable::TargetSummary, *s, {});
    ASSERT_EQ(t.rows.size(), 4u);
    EXPECT_EQ(t.rows[0], (std::vector<std::string>{"    1", "    rear", "   0.346", "    3470", "   0.100"}));
    EXPECT_EQ(t.rows[1][1], "    left");
    EXPECT_EQ(t.rows[2][0], "  ");
    EXPECT_EQ(t.rows[3], (std::vector<std::string>{"Average:", "mean value & SD", "   0.346   SD:0.000",
                                                   "    3470   SD:    0", "   0.100   SD:0.000"}));
    auto empty = storeWith(0, 0, TestModeTargetHitting);
    t = buildTable(SummaryTable::TargetSummary, *empty, {});
    ASSERT_EQ(t.rows.size(), 2u);
    EXPECT_EQ(t.rows[1][3], "       0   SD:    0");
}

TEST(TableRows, DrivingSummaryTexts) {
    auto s = storeWith(1, 4, TestModeDriving);
    const float dev[] = {1, -1, 3, -3};
    std::copy(std::begin(dev), std::end(dev), s->deviation(0));
    const TableContent t = buildTable(SummaryTable::DrivingSummary, *s, {});
    ASSERT_EQ(t.rows.size(), 3u);
    EXPECT_EQ(t.rows[0][0], "Average distance:       2.0   SD:  3.0");
    EXPECT_EQ(t.rows[1][0], std::string(45, ' '));
    EXPECT_EQ(t.rows[2][0], "Average distance squared:       5.0   SD:  4.0");
    EXPECT_EQ(t.rows[0][1], "");
}

TEST(TableRows, FrequencyAnalysisUsesTheThreshold) {
    auto s = storeWith(1, 200);
    const TableContent t = buildTable(SummaryTable::FrequencyAnalysis, *s, {0, 1, 1.0f});
    ASSERT_EQ(t.rows.size(), 1u);
    EXPECT_EQ(t.rows[0], (std::vector<std::string>{"1", "  199.0", "    0.0", "    0.0", "    0.0"}));
}

TEST(TableRows, NumbersFollowTheNumericLocale) {
    const char* locales[] = {"de_DE.UTF-8", "de_DE.utf8", "cs_CZ.UTF-8", "fr_FR.UTF-8"};
    const char* chosen = nullptr;
    for (const char* l : locales)
        if (std::setlocale(LC_NUMERIC, l)) {
            chosen = l;
            break;
        }
    if (!chosen) GTEST_SKIP() << "no locale with a decimal comma is installed";
    auto s = storeWith(1, 11);
    const TableContent t = buildTable(SummaryTable::Summary, *s, {});
    std::setlocale(LC_NUMERIC, "C");
    EXPECT_EQ(t.rows[0][1], "   10,0");
}

TEST(ClipboardText, CellsFollowedBySpaceRowsEndedByCrLf) {
    auto s = storeWith(2, 11);
    const TableContent summary = buildTable(SummaryTable::Summary, *s, {});
    EXPECT_EQ(clipboardText(summary, {0}), "1    10.0     0.0     0.0    90.9     2.7 \r\n");
    const TableContent attempt = buildTable(SummaryTable::Attempt, *s, {});
    // The three driving columns of a stance data set are copied empty.
    EXPECT_EQ(clipboardText(attempt, {0}), "10     1.0     0.0   100.0    \r\n");
    EXPECT_EQ(*copySelectedRows(attempt, {3, 1}), clipboardText(attempt, {1, 3}));
    EXPECT_FALSE(copySelectedRows(attempt, {}).has_value());
    EXPECT_FALSE(copySelectedRows(attempt, {99}).has_value());
    auto empty = storeWith(0, 0);
    EXPECT_EQ(copyAllRows(buildTable(SummaryTable::Summary, *empty, {})), "");
    EXPECT_EQ(copyAllRows(buildTable(SummaryTable::DrivingSummary, *s, {})).substr(0, 3), "Ave");
}

}  // namespace
}  // namespace kenvo
