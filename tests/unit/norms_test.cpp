// The compiled reference values, the age and reference group of a subject, and how a value is
// set against a row of the table.
#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <set>
#include <sstream>
#include <tuple>

#include "clinical/norm_comparison.h"
#include "clinical/norms.h"
#include "clinical/subject_age.h"

namespace kenvo {
namespace {

std::string shippedTable() {
    std::ifstream in(KENVO_NORMS_CSV, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

TEST(NormsTable, CompiledTableIsTheShippedCsvByteForByte) {
    const std::string shipped = shippedTable();
    ASSERT_FALSE(shipped.empty()) << "cannot read " << KENVO_NORMS_CSV;
    EXPECT_EQ(normsCsv(), shipped);
}

// Every group x vision x surface x measure once, in the documented order, with ascending
// percentiles (a column shifted by the generator would break that).
TEST(NormsTable, HoldsEveryCombinationOnceInOrderWithAscendingPercentiles) {
    const auto rows = normsTable();
    ASSERT_EQ(rows.size(), 24u);
    std::set<std::tuple<int, int, int, int>> seen;
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const NormRow& r = rows[i];
        seen.insert({int(r.ageGroup), int(r.vision), int(r.surface), int(r.measure)});
        EXPECT_EQ(r.measure, static_cast<NormMeasure>(i % 3)) << i;
        EXPECT_GT(r.sd, 0.0) << i;
        for (std::size_t k = 1; k < r.percentile.size(); ++k)
            EXPECT_LT(r.percentile[k - 1], r.percentile[k]) << i;
        EXPECT_EQ(&findNorm(r.ageGroup, r.vision, r.surface, r.measure), &r) << i;
    }
    EXPECT_EQ(seen.size(), 24u);
    EXPECT_EQ(rows.front().ageGroup, AgeGroup::Old);
    EXPECT_EQ(rows.front().vision, Vision::Closed);
    EXPECT_EQ(rows.front().surface, StanceSurface::Firm);
    EXPECT_EQ(rows.back().ageGroup, AgeGroup::Young);
    EXPECT_EQ(rows.back().vision, Vision::Open);
    EXPECT_EQ(rows.back().surface, StanceSurface::Foam);
}

// The data set's authors summarise the same subjects' medians: older adults, eyes closed on
// foam, 72 subjects with an area of 2688.4 +- 1221.9 mm^2; the young, eyes open on the firm
// plate, are 87.
TEST(NormsTable, AgreesWithTheDataSetAuthorsSummary) {
    const NormRow& oldFoam =
        findNorm(AgeGroup::Old, Vision::Closed, StanceSurface::Foam, NormMeasure::Area95);
    EXPECT_EQ(oldFoam.subjects, 72);
    EXPECT_NEAR(oldFoam.mean, 2688.4, 0.05);
    EXPECT_NEAR(oldFoam.sd, 1221.9, 0.05);
    EXPECT_EQ(
        findNorm(AgeGroup::Young, Vision::Open, StanceSurface::Firm, NormMeasure::Velocity).subjects, 87);
    // Units: velocities are mm/s (tens, not the data set's cm/s) and frequencies below 1 Hz.
    const NormRow& velocity =
        findNorm(AgeGroup::Young, Vision::Open, StanceSurface::Firm, NormMeasure::Velocity);
    EXPECT_GT(velocity.mean, 5.0);
    EXPECT_LT(velocity.mean, 15.0);
    EXPECT_LT(findNorm(AgeGroup::Old, Vision::Open, StanceSurface::Firm, NormMeasure::MeanFrequency)
                  .percentile.back(),
              1.0);
}

TEST(NormsTable, NamesAreTheDataSetsAndTheMeasuresColumns) {
    EXPECT_EQ(ageGroupName(AgeGroup::Old), "Old");
    EXPECT_EQ(visionName(Vision::Closed), "Closed");
    EXPECT_EQ(surfaceName(StanceSurface::Foam), "Foam");
    EXPECT_EQ(normMeasureName(NormMeasure::Area95), "area95_mm2");
    EXPECT_EQ(normMeasureName(NormMeasure::Velocity), "velocity_mm_s");
    EXPECT_EQ(normMeasureName(NormMeasure::MeanFrequency), "mean_freq_hz");
    EXPECT_EQ(normMeasureOf(ClinicalMeasure::MeanFrequency), NormMeasure::MeanFrequency);
    EXPECT_FALSE(normMeasureOf(ClinicalMeasure::VelocityX).has_value());
    EXPECT_NE(NormsSource.find("10.7717/peerj.2648"), std::string_view::npos);
    EXPECT_NE(NormsSource.find("CC BY 4.0"), std::string_view::npos);
}

// --- age -------------------------------------------------------------------------------------

TEST(SubjectAge, CompletesAYearOnTheBirthdayItself) {
    const CalendarDate born{1960, 6, 15};
    EXPECT_EQ(ageInCompletedYears(born, {2020, 6, 15}), 60);
    EXPECT_EQ(ageInCompletedYears(born, {2020, 6, 14}), 59);
    EXPECT_EQ(ageInCompletedYears(born, {2020, 5, 31}), 59);
    EXPECT_EQ(ageInCompletedYears(born, {2020, 12, 31}), 60);
    EXPECT_EQ(ageInCompletedYears(born, born), 0);
}

TEST(SubjectAge, LeapDayBirthdayCountsFromFirstMarchInCommonYears) {
    const CalendarDate born{2000, 2, 29};
    EXPECT_EQ(ageInCompletedYears(born, {2018, 2, 28}), 17);
    EXPECT_EQ(ageInCompletedYears(born, {2018, 3, 1}), 18);
    EXPECT_EQ(ageInCompletedYears(born, {2024, 2, 28}), 23);
    EXPECT_EQ(ageInCompletedYears(born, {2024, 2, 29}), 24);
}

TEST(SubjectAge, NoAgeBeforeBirthOrForDaysThatDoNotExist) {
    EXPECT_FALSE(ageInCompletedYears({1990, 5, 2}, {1990, 5, 1}).has_value());
    EXPECT_FALSE(ageInCompletedYears({1989, 2, 29}, {2020, 1, 1}).has_value());
    EXPECT_FALSE(ageInCompletedYears({1990, 1, 1}, {2020, 4, 31}).has_value());
    EXPECT_FALSE(ageInCompletedYears({}, {2020, 1, 1}).has_value());
}

TEST(SubjectAge, ParsesOnlyRealIsoDays) {
    EXPECT_EQ(parseIsoDate("2024-02-29"), (CalendarDate{2024, 2, 29}));
    EXPECT_EQ(parseIsoDate("1931-12-01"), (CalendarDate{1931, 12, 1}));
    for (const char* bad : {"2023-02-29", "2024-13-01", "2024-00-10", "2024-1-01", "2024/01/01",
                            "2024-01-01T", "", "-024-01-01", "2024-01-+1"})
        EXPECT_FALSE(parseIsoDate(bad).has_value()) << bad;
}

TEST(SubjectAge, ReferenceGroupByAgeAndWhyThereIsNone) {
    EXPECT_EQ(ageGroupOf(18).group, AgeGroup::Young);
    EXPECT_EQ(ageGroupOf(59).group, AgeGroup::Young);
    EXPECT_EQ(ageGroupOf(60).group, AgeGroup::Old);
    EXPECT_EQ(ageGroupOf(97).group, AgeGroup::Old);
    EXPECT_TRUE(ageGroupOf(60).reason.empty());
    EXPECT_FALSE(ageGroupOf(17).group.has_value());
    EXPECT_EQ(ageGroupOf(17).reason, "no reference values: under 18");
    EXPECT_FALSE(ageGroupOf(std::nullopt).group.has_value());
    EXPECT_EQ(ageGroupOf(std::nullopt).reason, "no reference values: age unknown");
}

// --- comparison ------------------------------------------------------------------------------

NormRow row(std::array<double, 5> cuts, double mean = 30.0, double sd = 10.0) {
    return {AgeGroup::Young, Vision::Open, StanceSurface::Firm, NormMeasure::Area95, 50, mean, sd, cuts};
}

TEST(NormComparison, ZScoreIsDistanceFromTheMeanInStandardDeviations) {
    const NormRow r = row({10, 20, 30, 40, 50}, 32.0, 8.0);
    EXPECT_DOUBLE_EQ(*compareWithNorms(48.0, r)->z, 2.0);
    EXPECT_DOUBLE_EQ(*compareWithNorms(28.0, r)->z, -0.5);
    // Outside P5-P95 the z-score is still given.
    EXPECT_DOUBLE_EQ(*compareWithNorms(0.0, r)->z, -4.0);
    EXPECT_FALSE(compareWithNorms(30.0, row({10, 20, 30, 40, 50}, 30.0, 0.0))->z.has_value());
}

TEST(NormComparison, PercentileAtTableValuesAndLinearBetweenThem) {
    const NormRow r = row({10, 20, 30, 40, 80});
    EXPECT_DOUBLE_EQ(*compareWithNorms(10.0, r)->percentile, 5.0);
    EXPECT_DOUBLE_EQ(*compareWithNorms(30.0, r)->percentile, 50.0);
    EXPECT_DOUBLE_EQ(*compareWithNorms(80.0, r)->percentile, 95.0);
    EXPECT_DOUBLE_EQ(*compareWithNorms(15.0, r)->percentile, 15.0);  // 5 + 20 * 5/10
    EXPECT_DOUBLE_EQ(*compareWithNorms(36.0, r)->percentile, 65.0);  // 50 + 25 * 6/10
    EXPECT_DOUBLE_EQ(*compareWithNorms(50.0, r)->percentile, 80.0);  // 75 + 20 * 10/40
}

TEST(NormComparison, EqualNeighboursTakeTheLowerPercentile) {
    const NormRow r = row({10, 20, 20, 20, 50});
    EXPECT_DOUBLE_EQ(*compareWithNorms(20.0, r)->percentile, 25.0);
    EXPECT_DOUBLE_EQ(*compareWithNorms(35.0, r)->percentile, 85.0);  // 75 + 20 * 15/30
    EXPECT_DOUBLE_EQ(*compareWithNorms(19.0, r)->percentile, 23.0);  // 5 + 20 * 9/10
}

TEST(NormComparison, BandEdgesBelongToTheRangeAndNoPercentileOutsideIt) {
    const NormRow r = row({10, 20, 30, 40, 50});
    EXPECT_EQ(compareWithNorms(10.0, r)->band, NormBand::Within);
    EXPECT_EQ(compareWithNorms(50.0, r)->band, NormBand::Within);
    const auto below = compareWithNorms(std::nextafter(10.0, 0.0), r);
    EXPECT_EQ(below->band, NormBand::Below);
    EXPECT_FALSE(below->percentile.has_value());
    const auto above = compareWithNorms(std::nextafter(50.0, 100.0), r);
    EXPECT_EQ(above->band, NormBand::Above);
    EXPECT_FALSE(above->percentile.has_value());
    EXPECT_EQ(normBandName(NormBand::Below), "below");
    EXPECT_EQ(normBandName(NormBand::Within), "within");
    EXPECT_EQ(normBandName(NormBand::Above), "above");
    EXPECT_FALSE(compareWithNorms(std::nan(""), r).has_value());
}

// On the real table: the median of the reference group is its 50th percentile.
TEST(NormComparison, TheGroupMedianIsTheFiftiethPercentile) {
    const NormRow& r = findNorm(AgeGroup::Old, Vision::Closed, StanceSurface::Foam, NormMeasure::Area95);
    const auto c = compareWithNorms(r.percentile[2], r);
    EXPECT_DOUBLE_EQ(*c->percentile, 50.0);
    EXPECT_NEAR(*c->z, (2327.3990131 - 2688.42992266) / 1221.91431513, 1e-12);
}

}  // namespace
}  // namespace kenvo
