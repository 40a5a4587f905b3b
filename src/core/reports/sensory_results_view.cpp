#include "reports/sensory_results_view.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "clinical/norm_comparison.h"
#include "clinical/norms.h"
#include "clinical/sensory_output.h"
#include "reports/clinical_table.h"

namespace kenvo {

namespace {

// The measures a clinician reads, in the order of the screen: area and velocities, the RMS
// distances, the mean frequency. X is medio-lateral, Y antero-posterior.
struct ScreenMeasure {
    ClinicalMeasure measure;
    const char* label;
    const char* unit;
};
constexpr std::array<ScreenMeasure, 7> ScreenMeasures = {{
    {ClinicalMeasure::Area95, "95 % ellipse area", "mm²"},
    {ClinicalMeasure::Velocity, "Mean velocity", "mm/s"},
    {ClinicalMeasure::VelocityY, "Velocity AP", "mm/s"},
    {ClinicalMeasure::VelocityX, "Velocity ML", "mm/s"},
    {ClinicalMeasure::RmsY, "RMS AP", "mm"},
    {ClinicalMeasure::RmsX, "RMS ML", "mm"},
    {ClinicalMeasure::MeanFrequency, "Mean frequency", "Hz"},
}};

constexpr int32_t LineHeight = 15;
constexpr int32_t LabelWidth = 190;
constexpr int32_t LargestColumn = 150;
constexpr Rgb HeaderFill{225, 230, 240};
constexpr Rgb RuleColour{190, 190, 190};

std::string number(double value, const char* format = "%.4g") {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, format, value);
    return buffer;
}

std::string capitalised(std::string_view text) {
    std::string out(text);
    if (!out.empty() && out[0] >= 'a' && out[0] <= 'z') out[0] = char(out[0] - 'a' + 'A');
    return out;
}

ReportBand bandOf(NormBand band) {
    switch (band) {
        case NormBand::Below:
            return ReportBand::Below;
        case NormBand::Above:
            return ReportBand::Above;
        case NormBand::Within:
            break;
    }
    return ReportBand::Within;
}

std::string trialsCell(const ConditionResult& c) {
    if (c.attempts.empty()) return "none";
    std::string out;
    for (const int attempt : c.attempts)
        out += (out.empty() ? "" : ", ") + std::to_string(attempt + 1);
    return out;
}

std::string ratioText(const SensoryResults& r, SensoryRatio ratio) {
    const auto& value = r.ratios[static_cast<std::size_t>(ratio)];
    return value ? number(*value, "%.2f") : "n/a";
}

// The rows of one measure: its median, and where it has reference values their range, the
// z-score with the percentile, and the band.
void addMeasureRows(const SensoryResults& r, const ScreenMeasure& m,
                    std::vector<SensoryScreenRow>& rows) {
    const auto index = static_cast<std::size_t>(m.measure);
    SensoryScreenRow value{std::string(m.label) + " (" + m.unit + ")", {}, true};
    for (std::size_t c = 0; c < SensoryConditionCount; ++c) {
        const auto& median = r.conditions[c].median[index];
        // The decimals of the clinical measures' table and the report; nothing recorded, nothing.
        value.cells[c].text =
            r.conditions[c].attempts.empty() ? "" : clinicalCellText(m.measure, median);
    }
    rows.push_back(value);
    const auto normed = normMeasureOf(m.measure);
    if (!normed || !r.reference.group) return;
    const auto k = static_cast<std::size_t>(*normed);
    SensoryScreenRow range{"   reference P5–P95", {}, false};
    SensoryScreenRow score{"   z-score, percentile", {}, false};
    SensoryScreenRow band{"   band", {}, false};
    for (std::size_t c = 0; c < SensoryConditionCount; ++c) {
        const ConditionResult& result = r.conditions[c];
        if (const NormRow* row = result.norm[k])
            range.cells[c].text = clinicalCellText(m.measure, row->percentile.front()) + " – " +
                                  clinicalCellText(m.measure, row->percentile.back());
        const auto& comparison = result.comparison[k];
        if (!comparison) continue;
        std::string z =
            comparison->z
                ? "z " + number(std::fabs(*comparison->z) < 0.005 ? 0.0 : *comparison->z, "%.2f")
                : std::string("z n/a");
        if (comparison->percentile)
            z += ", P" + number(std::round(*comparison->percentile), "%.0f");
        score.cells[c].text = z;
        band.cells[c] = {reportBandWords(bandOf(comparison->band)), bandOf(comparison->band)};
    }
    rows.push_back(range);
    rows.push_back(score);
    rows.push_back(band);
}

void cellText(Surface& s, const Rect& cell, const SensoryScreenCell& content) {
    if (content.band == ReportBand::None) {
        s.text(cell, content.text, TextAlign::Left);
        return;
    }
    // The colour marks the band; the words say it for those who do not see the colour.
    const Rgb colour = reportBandColour(content.band);
    s.fillSolid(Rect{cell.left, cell.top + 3, cell.left + 9, cell.top + 12}, colour);
    const Rgb before = s.setTextColour(colour);
    const ViewFont font = s.selectFont(content.band == ReportBand::Within ? ViewFont::SmallNormal
                                                                          : ViewFont::SmallBold);
    s.text(Rect{cell.left + 13, cell.top, cell.right, cell.bottom}, content.text, TextAlign::Left);
    s.selectFont(font);
    s.setTextColour(before);
}

}  // namespace

SensoryResultsScreen buildSensoryResultsScreen(const SensoryResults& r,
                                               const std::string& subjectName,
                                               std::optional<double> lowPassHz) {
    SensoryResultsScreen screen;
    screen.heading = "Sensory test results – " +
                     (subjectName.empty() ? std::string("unnamed subject") : subjectName);
    if (r.reference.group)
        screen.reference =
            "Age " + std::to_string(r.age.value_or(0)) + " on the day: reference group " +
            std::string(ageGroupName(*r.reference.group)) + " of " + std::string(NormsShortSource);
    else
        screen.reference = capitalised(r.reference.reason);
    // Short titles, so each fits its column.
    screen.columns = {"Eyes open, firm", "Eyes closed, firm", "Eyes open, foam",
                      "Eyes closed, foam"};

    SensoryScreenRow trials{"Trials used (attempt no.)", {}, true};
    for (std::size_t c = 0; c < SensoryConditionCount; ++c)
        trials.cells[c].text = trialsCell(r.conditions[c]);
    screen.rows.push_back(trials);
    for (const ScreenMeasure& m : ScreenMeasures) addMeasureRows(r, m, screen.rows);

    using R = SensoryRatio;
    screen.notes.push_back("Romberg quotient (eyes closed / eyes open): firm area " +
                           ratioText(r, R::RombergFirmArea) + ", velocity " +
                           ratioText(r, R::RombergFirmVelocity) + "; foam area " +
                           ratioText(r, R::RombergFoamArea) + ", velocity " +
                           ratioText(r, R::RombergFoamVelocity));
    screen.notes.push_back("Foam quotient of the area (foam / firm): eyes open " +
                           ratioText(r, R::FoamEoArea) + ", eyes closed " +
                           ratioText(r, R::FoamEcArea));
    std::string shorter;
    for (const ConditionResult& c : r.conditions)
        if (c.shorterThanNorms)
            shorter +=
                (shorter.empty() ? "" : "; ") + std::string(sensoryConditionLabel(c.condition));
    if (!shorter.empty())
        screen.notes.push_back("Caution, " + shortTrialWarning() + ": " + shorter);
    screen.notes.push_back(std::string("Medians over the trials used; COP ") +
                           (lowPassHz ? "low-passed at " + number(*lowPassHz, "%g") + " Hz"
                                      : std::string("not filtered")) +
                           ". Reference values: " + std::string(NormsShortSource) + ".");
    return screen;
}

void drawSensoryResultsScreen(Surface& s, const Rect& area, const SensoryResultsScreen& screen) {
    SurfaceState keep(s);
    const int32_t left = area.left + 10;
    const int32_t right = area.right - 10;
    const int32_t column =
        std::clamp((right - left - LabelWidth) / int32_t(SensoryConditionCount), 60, LargestColumn);
    auto columnLeft = [&](std::size_t c) { return left + LabelWidth + int32_t(c) * column; };
    const int32_t tableRight = columnLeft(SensoryConditionCount);
    int32_t y = area.top + 6;

    s.setTextColour(colour::Black);
    s.selectFont(ViewFont::SmallBold);
    s.text(Rect{left, y, right, y + LineHeight}, screen.heading, TextAlign::Left);
    y += LineHeight + 1;
    s.selectFont(ViewFont::SmallNormal);
    s.text(Rect{left, y, right, y + LineHeight}, screen.reference, TextAlign::Left);
    y += LineHeight + 6;

    s.fillSolid(Rect{left, y - 1, tableRight, y + LineHeight + 1}, HeaderFill);
    s.selectFont(ViewFont::SmallBold);
    s.text(Rect{left + 2, y, left + LabelWidth, y + LineHeight}, "Median of the trials",
           TextAlign::Left);
    for (std::size_t c = 0; c < SensoryConditionCount; ++c)
        s.text(Rect{columnLeft(c) + 2, y, columnLeft(c) + column, y + LineHeight},
               screen.columns[c], TextAlign::Left);
    y += LineHeight + 2;

    s.selectPen(Pen{RuleColour, 1});
    for (const SensoryScreenRow& row : screen.rows) {
        if (row.measure) {
            s.moveTo(left, y);
            s.lineTo(tableRight, y);
        }
        s.selectFont(row.measure ? ViewFont::SmallBold : ViewFont::SmallNormal);
        s.text(Rect{left + 2, y, left + LabelWidth, y + LineHeight}, row.label, TextAlign::Left);
        s.selectFont(ViewFont::SmallNormal);
        for (std::size_t c = 0; c < SensoryConditionCount; ++c)
            cellText(s, Rect{columnLeft(c) + 2, y, columnLeft(c) + column, y + LineHeight},
                     row.cells[c]);
        y += LineHeight;
    }
    s.moveTo(left, y);
    s.lineTo(tableRight, y);
    y += 6;

    s.selectFont(ViewFont::SmallNormal);
    for (const std::string& note : screen.notes) {
        s.text(Rect{left, y, right, y + LineHeight}, note, TextAlign::Left);
        y += LineHeight;
    }
}

}  // namespace kenvo
