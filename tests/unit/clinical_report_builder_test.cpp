#include <gtest/gtest.h>

#include <memory>

#include "files/cop_import.h"
#include "platform/cop_source.h"
#include "reports/clinical_report_builder.h"

namespace kenvo {
namespace {

// Four 20 s attempts of the simulated subject, one per condition in the test's order.
std::unique_ptr<MeasurementStore> fourAttempts() {
    auto store = std::make_unique<MeasurementStore>();
    uint32_t seed = 3;
    int32_t attempt = 0;
    for (const SensoryCondition c : SensoryConditions) {
        QuietStanceSource subject(seed++);
        subject.setCondition(c);
        std::vector<CopPoint> points;
        for (int i = 0; i < 2000; ++i) points.push_back(subject.at(i));
        importCopAttempt(*store, attempt, points, 0, 1796720000 + 30 * attempt);
        ++attempt;
    }
    finishCopImport(*store, 4, 0);
    return store;
}

Sidecar sensorySidecar(std::optional<std::string> birth) {
    Sidecar s;
    s.birthDate = std::move(birth);
    s.protocol = "sensory";
    s.conditions =
        std::vector<std::optional<std::string>>{"eo-firm", "ec-firm", "eo-foam", "ec-foam"};
    return s;
}

const ReportConditionPanel& panelTitled(const ClinicalReportContent& c, const std::string& title) {
    for (const auto& p : c.conditions)
        if (p.title == title) return p;
    throw std::out_of_range(title);
}

TEST(ClinicalReportBuilder, ASensoryTestGetsFourPanelsWithReferenceRangesAndQuotients) {
    const auto store = fourAttempts();
    const Sidecar sidecar = sensorySidecar("1960-01-01");
    const SensorySession session = analyseSensorySession(*store, sidecar, DefaultLowPassHz);
    const ClinicalReportContent c =
        buildClinicalReport(*store, sidecar, session, {"Clinic", {}, "1.0"});
    ASSERT_EQ(c.conditions.size(), 4u);
    const ReportConditionPanel& foam = panelTitled(c, "Eyes closed, foam");
    ASSERT_EQ(foam.lines.size(), 5u);
    EXPECT_EQ(foam.lines[0].unit, "mm²");
    EXPECT_FALSE(foam.lines[0].reference.empty());
    EXPECT_NE(foam.lines[0].band, ReportBand::None);
    EXPECT_TRUE(foam.lines[2].reference.empty());  // velocity AP / ML has no reference values
    EXPECT_EQ(foam.x.size(), 2000u);
    EXPECT_TRUE(foam.ellipse.has_value());
    EXPECT_NE(foam.verdict.find("age group Old"), std::string::npos)
        << foam.verdict;  // 66 on the day
    EXPECT_EQ(c.quotients.size(), 6u);
    EXPECT_NE(c.quotients[0].second, "n/a");
    // 20 s trials are compared with 60 s reference trials, and the page says so.
    bool shortNote = false;
    for (const auto& note : c.notes)
        shortNote = shortNote || note.find("60 s") != std::string::npos;
    EXPECT_TRUE(shortNote);
    EXPECT_EQ(c.program, "KenvoPlat 1.0");
}

TEST(ClinicalReportBuilder, WithoutABirthDateOrConditionsNothingIsComparedAndThePageSaysWhy) {
    const auto store = fourAttempts();
    const Sidecar unknownAge = sensorySidecar(std::nullopt);
    const SensorySession s1 = analyseSensorySession(*store, unknownAge, DefaultLowPassHz);
    const ClinicalReportContent c1 = buildClinicalReport(*store, unknownAge, s1, {});
    for (const auto& panel : c1.conditions)
        for (const auto& line : panel.lines) EXPECT_EQ(line.band, ReportBand::None) << panel.title;
    bool said = false;
    for (const auto& note : c1.notes) said = said || note.find("age unknown") != std::string::npos;
    EXPECT_TRUE(said);

    // A plain stance data set: one panel over every attempt, no reference values, no quotients.
    const Sidecar plain;
    const SensorySession s2 = analyseSensorySession(*store, plain, std::nullopt);
    const ClinicalReportContent c2 = buildClinicalReport(*store, plain, s2, {});
    ASSERT_EQ(c2.conditions.size(), 1u);
    EXPECT_EQ(c2.conditions[0].title, "All attempts");
    EXPECT_EQ(c2.conditions[0].trials.substr(0, 8), "4 trials");
    EXPECT_TRUE(c2.conditions[0].lines[0].reference.empty());
    EXPECT_TRUE(c2.quotients.empty());
    // Analysed without the low-pass, the note says the velocities read higher.
    EXPECT_NE(c2.notes.front().find("without the low-pass"), std::string::npos) << c2.notes.front();
}

TEST(ClinicalReportBuilder, DiscardedAttemptsAreLeftOutOfTheResultsAndThePicture) {
    const auto store = fourAttempts();
    Sidecar sidecar = sensorySidecar("1990-01-01");
    sidecar.discardedAttempts = {0};  // the eyes-open firm trial was repeated... and not again
    const SensorySession session = analyseSensorySession(*store, sidecar, DefaultLowPassHz);
    const ClinicalReportContent c = buildClinicalReport(*store, sidecar, session, {});
    const ReportConditionPanel& firm = panelTitled(c, "Eyes open, firm surface");
    EXPECT_EQ(firm.trials, "not recorded");
    EXPECT_TRUE(firm.x.empty());
    EXPECT_EQ(c.quotients[0].second, "n/a");  // Romberg firm area needs eyes open firm
}

}  // namespace
}  // namespace kenvo
