#include "reports/clinical_report_builder.h"

#include <algorithm>
#include <cctype>
#include <ctime>

#include "analysis/text_format.h"
#include "clinical/norm_comparison.h"
#include "clinical/prediction_ellipse.h"
#include "clinical/sensory_output.h"
#include "files/code_page.h"
#include "model/measurement_store.h"
#include "reports/clinical_table.h"

namespace kenvo {

namespace {

std::string localDateTime(int64_t seconds) {
    const auto t = static_cast<std::time_t>(seconds);
    std::tm local{};
    if (!localtime_r(&t, &local)) return {};
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%d %H:%M", &local);
    return text;
}

ReportBand bandOf(const std::optional<NormComparison>& comparison) {
    if (!comparison) return ReportBand::None;
    switch (comparison->band) {
        case NormBand::Below:
            return ReportBand::Below;
        case NormBand::Within:
            return ReportBand::Within;
        case NormBand::Above:
            return ReportBand::Above;
    }
    return ReportBand::None;
}

// Units as a page prints them: a real superscript for areas.
std::string pageUnit(ClinicalMeasure m) {
    std::string unit(clinicalMeasureInfo(m).unit);
    if (const auto at = unit.find("mm2"); at != std::string::npos) unit.replace(at, 3, "mm²");
    return unit;
}

std::string value(const ConditionResult& c, ClinicalMeasure m) {
    return clinicalCellText(m, c.median[static_cast<std::size_t>(m)]);
}

// A measure with reference values: its median, the P5-P95 range and the band.
ReportMeasureLine normedLine(const ConditionResult& c, NormMeasure n, const char* label) {
    const ClinicalMeasure m = clinicalMeasureOf(n);
    ReportMeasureLine line{label, value(c, m), pageUnit(m), {}, ReportBand::None};
    const auto k = static_cast<std::size_t>(n);
    if (const NormRow* row = c.norm[k]) {
        line.reference = clinicalCellText(m, row->percentile.front()) + " – " +
                         clinicalCellText(m, row->percentile.back());
        line.band = bandOf(c.comparison[k]);
    }
    return line;
}

// Two measures of one kind in one line: "AP / ML".
ReportMeasureLine pairLine(const ConditionResult& c, const char* label, ClinicalMeasure ap,
                           ClinicalMeasure ml) {
    return {label, value(c, ap) + " / " + value(c, ml), pageUnit(ap), {}, ReportBand::None};
}

std::string capitalised(std::string_view text) {
    std::string s(text);
    if (!s.empty()) s[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(s[0])));
    return s;
}

ReportConditionPanel panelOf(const SensorySession& session, const ConditionResult& c,
                             std::string title, std::string verdict) {
    ReportConditionPanel panel;
    panel.title = std::move(title);
    const std::size_t n = c.attempts.size();
    panel.trials = n == 0 ? "not recorded" : std::to_string(n) + (n == 1 ? " trial" : " trials");
    if (c.medianAttempt && *c.medianAttempt >= 0 &&
        static_cast<std::size_t>(*c.medianAttempt) < session.traces.size()) {
        const SwayTrace& trace = session.traces[static_cast<std::size_t>(*c.medianAttempt)];
        panel.x = trace.x;
        panel.y = trace.y;
        panel.ellipse = predictionEllipse95(trace.x, trace.y);
        if (n > 1)
            panel.trials +=
                " · picture: attempt " + std::to_string(*c.medianAttempt + 1) + " (median area)";
    }
    if (n > 0) {
        panel.lines = {
            normedLine(c, NormMeasure::Area95, "95 % ellipse area"),
            normedLine(c, NormMeasure::Velocity, "Velocity"),
            pairLine(c, "Velocity AP / ML", ClinicalMeasure::VelocityY, ClinicalMeasure::VelocityX),
            pairLine(c, "RMS AP / ML", ClinicalMeasure::RmsY, ClinicalMeasure::RmsX),
            normedLine(c, NormMeasure::MeanFrequency, "Mean frequency")};
    }
    panel.verdict = capitalised(verdict);
    return panel;
}

}  // namespace

ClinicalReportContent buildClinicalReport(const MeasurementStore& store, const Sidecar& sidecar,
                                          const SensorySession& session, const ReportSetup& setup) {
    ClinicalReportContent c;
    c.clinicName = setup.clinicName;
    c.logo = setup.logo;
    c.program = "KenvoPlat " + setup.programVersion;
    c.source = std::string(NormsSource);
    c.title = session.hasConditions
                  ? "Balance assessment – sensory test (eyes open and closed, firm and foam)"
                  : "Balance assessment – quiet stance";

    // The patient and the session.
    const SubjectRecord& subject = store.subject;
    const std::string name = sidecar.name ? *sidecar.name : cp1250ToUtf8(subject.name);
    std::string birth = sidecar.birthDate.value_or("unknown");
    if (session.results.age)
        birth += " (age " + std::to_string(*session.results.age) + " on the day)";
    const char sex = sidecar.sex.value_or(subject.sex == 1 ? 'M' : 'F');
    const int height = sidecar.heightCm.value_or(subject.height);
    const int weight = sidecar.weightKg.value_or(subject.weight);
    const int32_t attempts = std::clamp(store.attemptCount, 0, MaxAttempts);
    std::string test = session.hasConditions ? "Sensory balance test, " : "Stance test, ";
    test += std::to_string(attempts) + (attempts == 1 ? " attempt of " : " attempts of ") +
            std::to_string(store.attemptSeconds) + " s";
    c.patient = {{"Name", name},
                 {"Patient code", sidecar.patientCode.value_or("–")},
                 {"Birth date", birth},
                 {"Sex", sex == 'M' ? "male" : "female"},
                 {"Height", height > 0 ? std::to_string(height) + " cm" : "–"},
                 {"Weight", weight > 0 ? std::to_string(weight) + " kg" : "–"},
                 {"Recorded", attempts > 0 ? localDateTime(session.firstAttemptStart) : "–"},
                 {"Test", test}};

    const SensoryResults& r = session.results;
    bool shorter = false;
    if (session.hasConditions) {
        for (const SensoryCondition condition : SensoryConditions) {
            const ConditionResult& result = r[condition];
            c.conditions.push_back(panelOf(session, result,
                                           capitalised(sensoryConditionLabel(condition)),
                                           conditionVerdict(r, condition)));
            shorter = shorter || result.shorterThanNorms;
        }
        c.quotientsTitle =
            "Quotients of the conditions' medians (Romberg: eyes closed / eyes open)";
        for (std::size_t k = 0; k < SensoryRatioCount; ++k) {
            const auto& q = r.ratios[k];
            c.quotients.emplace_back(
                capitalised(sensoryRatioInfo(static_cast<SensoryRatio>(k)).label),
                q ? formatText("%.2f", *q) : std::string(NotDefinedText));
        }
    } else {
        // Without conditions every attempt counts, and there is nothing to compare with.
        SensoryInput all = session.input;
        for (SensoryAttempt& a : all.attempts) a.condition = SensoryCondition::EoFirm;
        all.birthDate.reset();
        const SensoryResults plain = computeSensoryResults(all);
        c.conditions.push_back(panelOf(session, plain[SensoryCondition::EoFirm], "All attempts",
                                       "no reference values: the attempts were not recorded as "
                                       "conditions of the sensory test"));
        shorter = plain[SensoryCondition::EoFirm].shorterThanNorms;
    }

    c.notes.push_back(
        session.lowPassHz
            ? "The reference values were measured on a laboratory force plate (" +
                  std::string(NormsShortSource) +
                  "); this platform's recordings are low-passed at " +
                  formatText("%g", *session.lowPassHz) +
                  " Hz to be comparable.\nA value outside P5–P95 is unusual for the age group; it "
                  "is "
                  "not a diagnosis by itself."
            : "The reference values were measured on a laboratory force plate (" +
                  std::string(NormsShortSource) +
                  "); these recordings were analysed without the low-pass,\nso their velocities "
                  "read higher than the reference group's.");
    if (shorter)
        c.notes.push_back(capitalised(shortTrialWarning()) + "; they are compared all the same.");
    if (session.hasConditions && !r.reference.group)
        c.notes.push_back(capitalised(r.reference.reason) + ".");
    return c;
}

}  // namespace kenvo
