#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "clinical/clinical_measures.h"
#include "clinical/norm_comparison.h"
#include "clinical/norms.h"
#include "clinical/subject_age.h"
#include "model/sensory_condition.h"

namespace kenvo {

// For people: "eyes open, firm surface" and so on.
std::string_view sensoryConditionLabel(SensoryCondition condition);
Vision visionOf(SensoryCondition condition);
StanceSurface surfaceOf(SensoryCondition condition);

// The quotients of two conditions' medians.
enum class SensoryRatio {
    RombergFirmArea,      // ec-firm / eo-firm, area
    RombergFoamArea,      // ec-foam / eo-foam, area
    RombergFirmVelocity,  // ec-firm / eo-firm, velocity
    RombergFoamVelocity,  // ec-foam / eo-foam, velocity
    FoamEoArea,           // eo-foam / eo-firm, area
    FoamEcArea,           // ec-foam / ec-firm, area
};
inline constexpr std::size_t SensoryRatioCount = 6;
struct SensoryRatioInfo {
    std::string_view name;   // the CSV measure name, e.g. "romberg_firm_area"
    std::string_view label;  // for people
    SensoryCondition numerator;
    SensoryCondition denominator;
    ClinicalMeasure measure;
};
const SensoryRatioInfo& sensoryRatioInfo(SensoryRatio ratio);

// One attempt of a session: its measures, its condition (none for attempts outside the
// protocol) and whether the operator discarded it (repeated trials keep the earlier attempt).
struct SensoryAttempt {
    ClinicalMeasures measures;
    std::optional<SensoryCondition> condition;
    bool discarded = false;
};

struct SensoryInput {
    std::vector<SensoryAttempt> attempts;
    std::optional<CalendarDate> birthDate;
    std::optional<CalendarDate> sessionDate;  // the day of the first attempt
};

struct ConditionResult {
    SensoryCondition condition = SensoryCondition::EoFirm;
    std::vector<int> attempts;  // 0-based attempts of this condition that were not discarded
    // Per measure the median over those attempts where it is defined, and how many they are.
    std::array<std::optional<double>, ClinicalMeasureCount> median{};
    std::array<int, ClinicalMeasureCount> trials{};
    // The reference row and the comparison of area, velocity and mean frequency (both empty
    // without a reference group; the comparison also without a median).
    std::array<const NormRow*, NormMeasureCount> norm{};
    std::array<std::optional<NormComparison>, NormMeasureCount> comparison{};
    // The attempt of the median area (the lower of the two middle ones for an even count),
    // for the report's picture; nothing when no attempt has an area.
    std::optional<int> medianAttempt;
    // Some attempt is shorter than the reference trials (60 s), which gives smaller areas.
    bool shorterThanNorms = false;
};

struct SensoryResults {
    std::array<ConditionResult, SensoryConditionCount> conditions;
    std::optional<int> age;    // completed years on the session's day
    ReferenceGroup reference;  // the age group, or why there is none
    std::array<std::optional<double>, SensoryRatioCount> ratios{};

    const ConditionResult& operator[](SensoryCondition c) const {
        return conditions[static_cast<std::size_t>(c)];
    }
};

// Medians per condition (undefined values left out; an even count takes the mean of the two
// middle values), the norm comparisons for the subject's age group and the quotients of the
// medians (nothing when either is missing or zero).
SensoryResults computeSensoryResults(const SensoryInput& input);

// The median of the values, the mean of the two middle ones for an even count; nothing for none.
std::optional<double> medianOf(std::vector<double> values);

}  // namespace kenvo
