// The results of the sensory balance test: medians per condition, the norm comparisons for the
// subject's age, the quotients, the median trial, and the CSV the command line writes.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include <sstream>

#include "support/csv_rows.h"
#include "clinical/measures_csv.h"
#include "clinical/sensory_output.h"
#include "clinical/sensory_results.h"

namespace kenvo {
namespace {

SensoryAttempt attempt(SensoryCondition c, double area, double velocity = 10.0,
                       double seconds = 60.0) {
    SensoryAttempt a;
    a.condition = c;
    a.measures[ClinicalMeasure::Area95] = area;
    a.measures[ClinicalMeasure::Velocity] = velocity;
    a.measures[ClinicalMeasure::MeanFrequency] = 0.3;
    a.measures[ClinicalMeasure::Duration] = seconds;
    a.measures[ClinicalMeasure::SampleCount] = seconds * 100;
    return a;
}

const std::optional<double>& median(const SensoryResults& r, SensoryCondition c,
                                    ClinicalMeasure m) {
    return r[c].median[static_cast<std::size_t>(m)];
}

using test::csvRows;

using C = SensoryCondition;

TEST(SensoryResults, MedianOfOddAndEvenCountsLeavingUndefinedValuesOut) {
    SensoryInput input;
    input.attempts = {attempt(C::EoFirm, 300), attempt(C::EoFirm, 100), attempt(C::EoFirm, 200),
                      attempt(C::EcFirm, 400), attempt(C::EcFirm, 100), attempt(C::EcFirm, 300),
                      attempt(C::EcFirm, 200), attempt(C::EoFoam, 900), attempt(C::EoFoam, 500)};
    // A third eo-foam trial whose area is not defined: the median is over the other two.
    input.attempts.push_back(attempt(C::EoFoam, 0));
    input.attempts.back().measures[ClinicalMeasure::Area95].reset();
    const SensoryResults r = computeSensoryResults(input);
    EXPECT_EQ(median(r, C::EoFirm, ClinicalMeasure::Area95), 200.0);
    EXPECT_EQ(median(r, C::EcFirm, ClinicalMeasure::Area95), 250.0);
    EXPECT_EQ(median(r, C::EoFoam, ClinicalMeasure::Area95), 700.0);
    EXPECT_EQ(r[C::EoFoam].attempts.size(), 3u);
    EXPECT_EQ(r[C::EoFoam].trials[static_cast<std::size_t>(ClinicalMeasure::Area95)], 2);
    EXPECT_EQ(r[C::EoFoam].trials[static_cast<std::size_t>(ClinicalMeasure::Velocity)], 3);
    EXPECT_TRUE(r[C::EcFoam].attempts.empty());
    EXPECT_FALSE(median(r, C::EcFoam, ClinicalMeasure::Area95).has_value());
    // Measures never set are undefined in every trial, so their median is too.
    EXPECT_FALSE(median(r, C::EoFirm, ClinicalMeasure::RmsX).has_value());
}

TEST(SensoryResults, DiscardedAndUnassignedAttemptsAreLeftOut) {
    SensoryInput input;
    input.attempts = {attempt(C::EoFirm, 5000), attempt(C::EoFirm, 100), attempt(C::EoFirm, 300)};
    input.attempts[0].discarded = true;  // repeated: kept in the file, not in the results
    SensoryAttempt plain = attempt(C::EoFirm, 7000);
    plain.condition.reset();  // an attempt outside the protocol
    input.attempts.push_back(plain);
    const SensoryResults r = computeSensoryResults(input);
    EXPECT_EQ(r[C::EoFirm].attempts, (std::vector<int>{1, 2}));
    EXPECT_EQ(median(r, C::EoFirm, ClinicalMeasure::Area95), 200.0);
    EXPECT_EQ(r[C::EoFirm].medianAttempt, 1);
}

// The report's picture is of a real trial: the middle one by area, or for an even count the
// lower of the two middle ones (not the one closest to the mean of the two).
TEST(SensoryResults, MedianTrialIsTheLowerMiddleForEvenCounts) {
    SensoryInput input;
    input.attempts = {attempt(C::EcFoam, 400), attempt(C::EcFoam, 100), attempt(C::EcFoam, 300),
                      attempt(C::EcFoam, 200), attempt(C::EoFoam, 50),  attempt(C::EoFoam, 70),
                      attempt(C::EoFoam, 60)};
    const SensoryResults r = computeSensoryResults(input);
    EXPECT_EQ(r[C::EcFoam].medianAttempt, 3);  // areas 100 200 | 300 400 -> 200
    EXPECT_EQ(r[C::EoFoam].medianAttempt, 6);  // 60 of 50 60 70
    EXPECT_FALSE(r[C::EoFirm].medianAttempt.has_value());
}

TEST(SensoryResults, QuotientsOfMediansAndEmptyWhenOneIsMissingOrZero) {
    SensoryInput input;
    input.attempts = {attempt(C::EoFirm, 200, 8), attempt(C::EcFirm, 500, 12),
                      attempt(C::EoFoam, 0, 20), attempt(C::EcFoam, 1500, 30)};
    const SensoryResults r = computeSensoryResults(input);
    const auto ratio = [&](SensoryRatio q) { return r.ratios[static_cast<std::size_t>(q)]; };
    EXPECT_DOUBLE_EQ(*ratio(SensoryRatio::RombergFirmArea), 2.5);  // ec / eo
    EXPECT_DOUBLE_EQ(*ratio(SensoryRatio::RombergFirmVelocity), 1.5);
    EXPECT_DOUBLE_EQ(*ratio(SensoryRatio::RombergFoamVelocity), 1.5);
    EXPECT_DOUBLE_EQ(*ratio(SensoryRatio::FoamEcArea), 3.0);         // foam / firm
    EXPECT_FALSE(ratio(SensoryRatio::RombergFoamArea).has_value());  // eo-foam area is zero
    EXPECT_FALSE(ratio(SensoryRatio::FoamEoArea).has_value());       // zero numerator

    SensoryInput firmOnly;
    firmOnly.attempts = {attempt(C::EoFirm, 200), attempt(C::EcFirm, 300)};
    const SensoryResults f = computeSensoryResults(firmOnly);
    for (std::size_t q = 0; q < SensoryRatioCount; ++q)
        EXPECT_EQ(f.ratios[q].has_value(), q == 0 || q == 2) << q;
}

TEST(SensoryResults, NormsOfTheSubjectsAgeGroupOnTheSessionsDay) {
    SensoryInput input;
    input.attempts = {attempt(C::EoFirm, 250), attempt(C::EcFoam, 2688.42992266, 43.75)};
    input.birthDate = CalendarDate{1966, 3, 10};
    input.sessionDate = CalendarDate{2026, 3, 9};  // 59 the day before the birthday: Young
    SensoryResults r = computeSensoryResults(input);
    EXPECT_EQ(r.age, 59);
    EXPECT_EQ(r.reference.group, AgeGroup::Young);
    const NormRow& young =
        findNorm(AgeGroup::Young, Vision::Open, StanceSurface::Firm, NormMeasure::Area95);
    EXPECT_EQ(r[C::EoFirm].norm[0], &young);
    EXPECT_DOUBLE_EQ(*r[C::EoFirm].comparison[0]->z, (250 - young.mean) / young.sd);

    input.sessionDate = CalendarDate{2026, 3, 10};
    r = computeSensoryResults(input);
    EXPECT_EQ(r.reference.group, AgeGroup::Old);
    EXPECT_NEAR(*r[C::EcFoam].comparison[0]->z, 0.0, 1e-12);
    EXPECT_EQ(conditionVerdict(r, C::EcFoam)
                  .find("within the range of the reference group: "
                        "Santos & Duarte 2016, age group Old, n = 72"),
              0u);
    // A condition without trials has its reference row but nothing to compare.
    EXPECT_NE(r[C::EoFoam].norm[0], nullptr);
    EXPECT_FALSE(r[C::EoFoam].comparison[0].has_value());
}

TEST(SensoryResults, NoComparisonWithoutBirthDateOrUnder18) {
    SensoryInput input;
    input.attempts = {attempt(C::EoFirm, 250)};
    SensoryResults r = computeSensoryResults(input);
    EXPECT_EQ(r.reference.reason, "no reference values: age unknown");
    EXPECT_EQ(r[C::EoFirm].norm[0], nullptr);
    EXPECT_FALSE(r[C::EoFirm].comparison[0].has_value());
    EXPECT_EQ(conditionVerdict(r, C::EoFirm), "no reference values: age unknown");

    input.birthDate = CalendarDate{2010, 1, 1};
    input.sessionDate = CalendarDate{2026, 1, 1};
    r = computeSensoryResults(input);
    EXPECT_EQ(r.age, 16);
    EXPECT_EQ(r.reference.reason, "no reference values: under 18");
    EXPECT_FALSE(r[C::EoFirm].comparison[1].has_value());
}

TEST(SensoryResults, TrialsShorterThanTheReferenceAreFlagged) {
    SensoryInput input;
    input.attempts = {attempt(C::EoFirm, 100, 8, 60.0), attempt(C::EcFirm, 100, 8, 60.0),
                      attempt(C::EcFirm, 100, 8, 59.99), attempt(C::EoFoam, 100, 8, 120.0)};
    const SensoryResults r = computeSensoryResults(input);
    EXPECT_FALSE(r[C::EoFirm].shorterThanNorms);
    EXPECT_TRUE(r[C::EcFirm].shorterThanNorms);
    EXPECT_FALSE(r[C::EoFoam].shorterThanNorms);
    EXPECT_NE(sensoryText(r).find(shortTrialWarning()), std::string::npos);
}

TEST(SensoryResults, ConditionNamesReadBack) {
    for (SensoryCondition c : SensoryConditions)
        EXPECT_EQ(conditionFromName(conditionName(c)), c);
    EXPECT_FALSE(conditionFromName("EO-FIRM").has_value());
    EXPECT_FALSE(conditionFromName("").has_value());
    EXPECT_EQ(visionOf(C::EcFoam), Vision::Closed);
    EXPECT_EQ(surfaceOf(C::EcFoam), StanceSurface::Foam);
    EXPECT_EQ(surfaceOf(C::EcFirm), StanceSurface::Firm);
    EXPECT_EQ(visionOf(C::EoFoam), Vision::Open);
}

// --- CSV and JSON ----------------------------------------------------------------------------

class SensoryCsv : public testing::Test {
  protected:
    void SetUp() override {
        input.attempts = {attempt(C::EoFirm, 10.0), attempt(C::EoFirm, 30.0),
                          attempt(C::EcFirm, 5000.0), attempt(C::EcFoam, 1.0 / 3.0)};
        input.birthDate = CalendarDate{1950, 1, 1};
        input.sessionDate = CalendarDate{2026, 1, 1};
        rows = csvRows(sensoryCsv(computeSensoryResults(input)));
    }
    const std::vector<std::string>& find(const std::string& condition, const std::string& measure) {
        for (const auto& r : rows)
            if (r[0] == condition && r[1] == measure) return r;
        static const std::vector<std::string> none;
        return none;
    }
    SensoryInput input;
    std::vector<std::vector<std::string>> rows;
};

TEST_F(SensoryCsv, EveryConditionAndMeasureThenTheQuotients) {
    ASSERT_EQ(rows.size(), 1 + SensoryConditionCount * ClinicalMeasureCount + SensoryRatioCount);
    EXPECT_EQ(rows[0],
              (std::vector<std::string>{"condition", "measure", "trials", "value", "norm_mean",
                                        "norm_sd", "z", "percentile", "band"}));
    for (const auto& r : rows) EXPECT_EQ(r.size(), 9u);
    EXPECT_EQ(rows[1][0], "eo-firm");
    EXPECT_EQ(rows[1][1], "n");
    EXPECT_EQ(rows[1 + ClinicalMeasureCount][0], "ec-firm");
    EXPECT_EQ(rows[3 * ClinicalMeasureCount + 1][0], "ec-foam");
    // eo-foam was not recorded, so its quotient is empty.
    EXPECT_EQ(rows[rows.size() - 2],
              (std::vector<std::string>{"ratio", "foam_eo_area", "", "", "", "", "", "", ""}));
    EXPECT_EQ(rows.back()[1], "foam_ec_area");
    EXPECT_EQ(std::stod(rows.back()[3]), (1.0 / 3.0) / 5000.0);
    EXPECT_EQ(
        find("ratio", "romberg_firm_area"),
        (std::vector<std::string>{"ratio", "romberg_firm_area", "", "250", "", "", "", "", ""}));
}

TEST_F(SensoryCsv, NormColumnsOnlyForNormedMeasuresAndPercentileOnlyWithinTheRange) {
    const NormRow& area = findNorm(AgeGroup::Old, Vision::Open, StanceSurface::Firm, NormMeasure::Area95);
    const auto& eo = find("eo-firm", "area95_mm2");
    EXPECT_EQ(eo[2], "2");
    EXPECT_EQ(eo[3], "20");
    EXPECT_EQ(eo[4], csvNumber(area.mean));
    EXPECT_EQ(eo[5], csvNumber(area.sd));
    EXPECT_EQ(std::stod(eo[6]), (20.0 - area.mean) / area.sd);
    EXPECT_EQ(eo[7], "");  // 20 mm^2 is below P5
    EXPECT_EQ(eo[8], "below");
    EXPECT_EQ(find("ec-firm", "area95_mm2")[8], "above");
    const auto& velocity = find("eo-firm", "velocity_mm_s");
    EXPECT_EQ(velocity[8], "within");
    EXPECT_FALSE(velocity[7].empty());
    const auto& path = find("eo-firm", "path_mm");
    EXPECT_EQ(path, (std::vector<std::string>{"eo-firm", "path_mm", "0", "", "", "", "", "", ""}));
    // A condition without trials keeps its reference values but compares nothing.
    const auto& missing = find("eo-foam", "area95_mm2");
    EXPECT_EQ(missing[2], "0");
    EXPECT_EQ(missing[3], "");
    EXPECT_FALSE(missing[4].empty());
    EXPECT_EQ(missing[6], "");
    EXPECT_EQ(missing[8], "");
}

TEST_F(SensoryCsv, NumbersReadBackExactly) {
    EXPECT_EQ(std::stod(find("ec-foam", "area95_mm2")[3]), 1.0 / 3.0);
    EXPECT_EQ(find("ec-foam", "area95_mm2")[3].size(), 18u);  // 0.3333333333333333
}

TEST_F(SensoryCsv, NoNormColumnsWithoutAReferenceGroup) {
    input.birthDate.reset();
    for (const auto& r : csvRows(sensoryCsv(computeSensoryResults(input)))) {
        if (r[0] == "condition") continue;
        for (std::size_t i = 4; i < r.size(); ++i) EXPECT_EQ(r[i], "") << r[0] << " " << r[1];
    }
}

TEST_F(SensoryCsv, JsonCarriesTheSameValuesAndNullsWhereMissing) {
    const auto json = nlohmann::json::parse(sensoryJson(computeSensoryResults(input)));
    EXPECT_EQ(json["age"], 76);
    EXPECT_EQ(json["age_group"], "Old");
    EXPECT_TRUE(json["no_reference_reason"].is_null());
    ASSERT_EQ(json["conditions"].size(), SensoryConditionCount);
    const auto& eo = json["conditions"][0];
    EXPECT_EQ(eo["condition"], "eo-firm");
    EXPECT_EQ(eo["attempts"], nlohmann::json({1, 2}));
    EXPECT_EQ(eo["median_attempt"], 1);
    EXPECT_EQ(eo["measures"]["area95_mm2"]["value"], 20.0);
    EXPECT_EQ(eo["measures"]["area95_mm2"]["band"], "below");
    EXPECT_TRUE(eo["measures"]["area95_mm2"]["percentile"].is_null());
    EXPECT_EQ(eo["measures"]["area95_mm2"]["norm"]["n"], 76);
    EXPECT_FALSE(eo["measures"]["path_mm"].contains("norm"));
    EXPECT_TRUE(json["conditions"][2]["median_attempt"].is_null());
    EXPECT_EQ(json["ratios"]["romberg_firm_area"], 250.0);
    EXPECT_TRUE(json["ratios"]["foam_eo_area"].is_null());
}

}  // namespace
}  // namespace kenvo

namespace kenvo {
namespace {

// The text for people says why there is no comparison, keeps conditions without trials apart,
// and always names the source of the reference values.
TEST(SensoryText, SaysWhyThereAreNoReferenceValuesAndNamesTheSource) {
    SensoryInput input;
    input.attempts = {attempt(SensoryCondition::EoFirm, 200)};
    input.birthDate = CalendarDate{2015, 5, 5};
    input.sessionDate = CalendarDate{2026, 5, 5};
    const std::string text = sensoryText(computeSensoryResults(input));
    EXPECT_EQ(text.find("no reference values: under 18\n"), 0u) << text;
    EXPECT_NE(text.find("ec-foam (eyes closed, foam): 0 trials\n"), std::string::npos) << text;
    EXPECT_EQ(text.find("P5-P95"), std::string::npos) << text;
    EXPECT_NE(text.find(std::string(NormsSource)), std::string::npos);
    EXPECT_EQ(conditionVerdict(computeSensoryResults(input), SensoryCondition::EcFoam),
              "not recorded");
}

}  // namespace
}  // namespace kenvo
