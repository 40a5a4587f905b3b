#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "clinical/norms.h"

namespace kenvo {

// A day of the Gregorian calendar.
struct CalendarDate {
    int year = 0;
    int month = 0;  // 1..12
    int day = 0;    // 1..31

    friend bool operator==(const CalendarDate&, const CalendarDate&) = default;
};

// "YYYY-MM-DD" (as the sidecar and the register keep birth dates); nothing when the text has
// another form or names no real day (2023-02-29, 2024-13-01).
std::optional<CalendarDate> parseIsoDate(std::string_view text);

// The age in completed years on `onDate`: the birthday counts from its own day on. Someone born
// on 29 February completes a year on 1 March in years without that day. Nothing when either
// date is not a real day or `onDate` lies before the birth.
std::optional<int> ageInCompletedYears(const CalendarDate& birthDate, const CalendarDate& onDate);

// The reference group of an age: Young 18-59, Old 60 and over. Without one (no age, under 18)
// the reason in words; a group is never guessed.
struct ReferenceGroup {
    std::optional<AgeGroup> group;
    std::string reason;  // empty when there is a group
};
inline constexpr int YoungestReferenceAge = 18;
inline constexpr int OldestYoungAge = 59;
ReferenceGroup ageGroupOf(std::optional<int> age);

}  // namespace kenvo
