#include "clinical/sensory_results.h"

#include <algorithm>

namespace kenvo {

namespace {

struct ConditionInfo {
    std::string_view label;
    Vision vision;
    StanceSurface surface;
};

constexpr std::array<ConditionInfo, SensoryConditionCount> Conditions = {{
    {"eyes open, firm surface", Vision::Open, StanceSurface::Firm},
    {"eyes closed, firm surface", Vision::Closed, StanceSurface::Firm},
    {"eyes open, foam", Vision::Open, StanceSurface::Foam},
    {"eyes closed, foam", Vision::Closed, StanceSurface::Foam},
}};

using C = SensoryCondition;
constexpr std::array<SensoryRatioInfo, SensoryRatioCount> Ratios = {{
    {"romberg_firm_area", "Romberg quotient of area, firm", C::EcFirm, C::EoFirm,
     ClinicalMeasure::Area95},
    {"romberg_foam_area", "Romberg quotient of area, foam", C::EcFoam, C::EoFoam,
     ClinicalMeasure::Area95},
    {"romberg_firm_velocity", "Romberg quotient of velocity, firm", C::EcFirm, C::EoFirm,
     ClinicalMeasure::Velocity},
    {"romberg_foam_velocity", "Romberg quotient of velocity, foam", C::EcFoam, C::EoFoam,
     ClinicalMeasure::Velocity},
    {"foam_eo_area", "foam / firm quotient of area, eyes open", C::EoFoam, C::EoFirm,
     ClinicalMeasure::Area95},
    {"foam_ec_area", "foam / firm quotient of area, eyes closed", C::EcFoam, C::EcFirm,
     ClinicalMeasure::Area95},
}};

const ConditionInfo& info(SensoryCondition c) {
    return Conditions[static_cast<std::size_t>(c)];
}

// Slightly below 60 s, so that 6000 samples at 100 Hz are never taken for a shorter trial.
constexpr double ShortTrialLimit = NormTrialSeconds - 1e-9;

ConditionResult conditionResult(SensoryCondition condition,
                                const std::vector<SensoryAttempt>& attempts,
                                const std::optional<AgeGroup>& group) {
    ConditionResult result;
    result.condition = condition;
    for (std::size_t i = 0; i < attempts.size(); ++i)
        if (attempts[i].condition == condition && !attempts[i].discarded)
            result.attempts.push_back(static_cast<int>(i));

    for (std::size_t m = 0; m < ClinicalMeasureCount; ++m) {
        std::vector<double> values;
        for (int a : result.attempts)
            if (const auto& v = attempts[a].measures.values[m]) values.push_back(*v);
        result.trials[m] = static_cast<int>(values.size());
        result.median[m] = medianOf(std::move(values));
    }

    for (int a : result.attempts) {
        const auto& duration = attempts[a].measures[ClinicalMeasure::Duration];
        if (duration && *duration < ShortTrialLimit) result.shorterThanNorms = true;
    }

    // The attempt whose area is the median: sorted by area (ties by order of recording), the
    // middle one, or the lower middle one for an even count, so it is always a real trial.
    std::vector<std::pair<double, int>> areas;
    for (int a : result.attempts)
        if (const auto& area = attempts[a].measures[ClinicalMeasure::Area95])
            areas.emplace_back(*area, a);
    if (!areas.empty()) {
        std::sort(areas.begin(), areas.end());
        result.medianAttempt = areas[(areas.size() - 1) / 2].second;
    }

    if (group) {
        for (std::size_t k = 0; k < NormMeasureCount; ++k) {
            const auto measure = static_cast<NormMeasure>(k);
            const NormRow& row =
                findNorm(*group, info(condition).vision, info(condition).surface, measure);
            result.norm[k] = &row;
            const auto& value = result.median[static_cast<std::size_t>(clinicalMeasureOf(measure))];
            if (value) result.comparison[k] = compareWithNorms(*value, row);
        }
    }
    return result;
}

}  // namespace

std::string_view sensoryConditionLabel(SensoryCondition condition) {
    return info(condition).label;
}

Vision visionOf(SensoryCondition condition) {
    return info(condition).vision;
}

StanceSurface surfaceOf(SensoryCondition condition) {
    return info(condition).surface;
}

const SensoryRatioInfo& sensoryRatioInfo(SensoryRatio ratio) {
    return Ratios[static_cast<std::size_t>(ratio)];
}

std::optional<double> medianOf(std::vector<double> values) {
    if (values.empty()) return std::nullopt;
    std::sort(values.begin(), values.end());
    const std::size_t middle = values.size() / 2;
    if (values.size() % 2 == 1) return values[middle];
    return (values[middle - 1] + values[middle]) / 2.0;
}

SensoryResults computeSensoryResults(const SensoryInput& input) {
    SensoryResults results;
    if (input.birthDate && input.sessionDate)
        results.age = ageInCompletedYears(*input.birthDate, *input.sessionDate);
    results.reference = ageGroupOf(results.age);
    for (SensoryCondition c : SensoryConditions)
        results.conditions[static_cast<std::size_t>(c)] =
            conditionResult(c, input.attempts, results.reference.group);

    for (std::size_t r = 0; r < SensoryRatioCount; ++r) {
        const SensoryRatioInfo& ratio = Ratios[r];
        const auto m = static_cast<std::size_t>(ratio.measure);
        const auto& top = results[ratio.numerator].median[m];
        const auto& bottom = results[ratio.denominator].median[m];
        if (top && bottom && *top != 0.0 && *bottom != 0.0) results.ratios[r] = *top / *bottom;
    }
    return results;
}

}  // namespace kenvo
