// The sensory results as the window lays them out: which rows and cells a condition without
// trials, a subject without a reference group, short trials and a missing quotient give.
#include <gtest/gtest.h>

#include <algorithm>

#include "graphs/recording_surface.h"
#include "reports/sensory_results_view.h"

namespace kenvo {
namespace {

using C = SensoryCondition;

SensoryAttempt trial(C c, double area, double velocity, double seconds = 60.0) {
    SensoryAttempt a;
    a.condition = c;
    a.measures[ClinicalMeasure::Area95] = area;
    a.measures[ClinicalMeasure::Velocity] = velocity;
    a.measures[ClinicalMeasure::MeanFrequency] = 0.3;
    a.measures[ClinicalMeasure::Duration] = seconds;
    return a;
}

// A subject of 40 on the day of the test: the Young group.
SensoryInput youngSubject() {
    SensoryInput input;
    input.birthDate = CalendarDate{1985, 5, 1};
    input.sessionDate = CalendarDate{2025, 6, 1};
    return input;
}

const SensoryScreenRow* row(const SensoryResultsScreen& screen, const std::string& label) {
    const auto at = std::find_if(screen.rows.begin(), screen.rows.end(),
                                 [&](const SensoryScreenRow& r) { return r.label == label; });
    return at == screen.rows.end() ? nullptr : &*at;
}

bool anyNoteHas(const SensoryResultsScreen& screen, const std::string& part) {
    return std::any_of(screen.notes.begin(), screen.notes.end(),
                       [&](const std::string& n) { return n.find(part) != std::string::npos; });
}

TEST(SensoryResultsScreen, AConditionWithoutTrialsStaysBlankAndItsQuotientsAreNotAvailable) {
    SensoryInput input = youngSubject();
    input.attempts = {trial(C::EoFirm, 200, 8), trial(C::EoFirm, 300, 9), trial(C::EcFirm, 450, 12),
                      trial(C::EoFoam, 1200, 22)};
    const SensoryResultsScreen screen =
        buildSensoryResultsScreen(computeSensoryResults(input), "Ana", 10.0);
    const SensoryScreenRow* trials = row(screen, "Trials used (attempt no.)");
    ASSERT_NE(trials, nullptr);
    EXPECT_EQ(trials->cells[0].text, "1, 2");
    EXPECT_EQ(trials->cells[3].text, "none");
    const SensoryScreenRow* area = row(screen, "95 % ellipse area (mm²)");
    ASSERT_NE(area, nullptr);
    EXPECT_EQ(area->cells[0].text, "250.00");  // the mean of the two middle values
    EXPECT_EQ(area->cells[3].text, "");        // nothing recorded: no "n/a" to read
    // RMS was not measured in these trials: said, not left blank.
    EXPECT_EQ(row(screen, "RMS AP (mm)")->cells[0].text, "n/a");
    // Eyes closed on foam is missing: its quotients cannot be formed, the others can.
    EXPECT_TRUE(anyNoteHas(screen, "firm area 1.80, velocity 1.41; foam area n/a, velocity n/a"))
        << screen.notes.front();
    EXPECT_TRUE(anyNoteHas(screen, "eyes open 4.80, eyes closed n/a"));
    EXPECT_FALSE(anyNoteHas(screen, "shorter"));
    EXPECT_TRUE(anyNoteHas(screen, "low-passed at 10 Hz"));
}

TEST(SensoryResultsScreen, ReferenceRowsOnlyWithAReferenceGroup) {
    SensoryInput input = youngSubject();
    input.attempts = {trial(C::EoFirm, 5000, 8)};
    SensoryResultsScreen screen = buildSensoryResultsScreen(computeSensoryResults(input), "", {});
    EXPECT_EQ(screen.heading, "Sensory test results – unnamed subject");
    EXPECT_NE(screen.reference.find("reference group Young"), std::string::npos);
    const auto bandRows =
        std::count_if(screen.rows.begin(), screen.rows.end(),
                      [](const SensoryScreenRow& r) { return r.label == "   band"; });
    EXPECT_EQ(bandRows, 3);  // area, velocity, mean frequency
    // The area of 5000 mm² lies above the group's P95; the band says so and colours it.
    const auto firstBand =
        std::find_if(screen.rows.begin(), screen.rows.end(),
                     [](const SensoryScreenRow& r) { return r.label == "   band"; });
    EXPECT_EQ(firstBand->cells[0].band, ReportBand::Above);
    EXPECT_EQ(firstBand->cells[0].text, "above range");
    EXPECT_EQ(firstBand->cells[1].band, ReportBand::None);  // no trial, no comparison
    EXPECT_TRUE(anyNoteHas(screen, "not filtered"));

    // Under 18, or without a birth date: the reason, and no row that would suggest a comparison.
    input.birthDate = CalendarDate{2012, 1, 1};
    screen = buildSensoryResultsScreen(computeSensoryResults(input), "", {});
    EXPECT_NE(screen.reference.find("under 18"), std::string::npos) << screen.reference;
    EXPECT_EQ(row(screen, "   band"), nullptr);
    EXPECT_EQ(row(screen, "   reference P5–P95"), nullptr);
    input.birthDate.reset();
    screen = buildSensoryResultsScreen(computeSensoryResults(input), "", {});
    EXPECT_EQ(screen.reference, "No reference values: age unknown");
}

TEST(SensoryResultsScreen, ShortTrialsAreNamedByCondition) {
    SensoryInput input = youngSubject();
    input.attempts = {trial(C::EoFirm, 200, 8, 60.0), trial(C::EcFoam, 1300, 25, 30.0)};
    const SensoryResultsScreen screen =
        buildSensoryResultsScreen(computeSensoryResults(input), "Ana", 10.0);
    const auto note =
        std::find_if(screen.notes.begin(), screen.notes.end(),
                     [](const std::string& n) { return n.find("shorter") != std::string::npos; });
    ASSERT_NE(note, screen.notes.end());
    EXPECT_NE(note->find("eyes closed, foam"), std::string::npos) << *note;
    EXPECT_EQ(note->find("eyes open, firm"), std::string::npos) << *note;
}

TEST(SensoryResultsScreen, DrawnInsideItsAreaWithBandsInTheirColours) {
    SensoryInput input = youngSubject();
    input.attempts = {trial(C::EoFirm, 5000, 8), trial(C::EcFirm, 20, 9, 20.0),
                      trial(C::EoFoam, 1200, 22), trial(C::EcFoam, 1300, 25)};
    const SensoryResultsScreen screen =
        buildSensoryResultsScreen(computeSensoryResults(input), "A subject with a long name", 10.0);
    RecordingSurface surface;
    const Rect area{0, 0, 780, 420};
    drawSensoryResultsScreen(surface, area, screen);
    int coloured = 0;
    for (const auto& op : surface.ops()) {
        if (op.kind != RecordingSurface::Kind::Text) continue;
        EXPECT_GE(op.rect.left, area.left) << op.text;
        EXPECT_LE(op.rect.right, area.right) << op.text;
        EXPECT_LE(op.rect.bottom, area.bottom) << op.text;
        for (const ReportBand band : {ReportBand::Within, ReportBand::Below, ReportBand::Above})
            if (op.text == reportBandWords(band)) {
                EXPECT_EQ(op.colour, reportBandColour(band));
                ++coloured;
            }
        if (op.text == "Eyes open, firm" || op.text.rfind("95 % ellipse", 0) == 0) {
            EXPECT_EQ(op.colour, colour::Black) << op.text;
        }
    }
    EXPECT_EQ(coloured, 3 * 4);
}

}  // namespace
}  // namespace kenvo
