#include "clinical/subject_age.h"

#include <chrono>
#include <tuple>

namespace kenvo {

namespace {

bool isRealDay(const CalendarDate& d) {
    if (d.year < 1 || d.year > 9999 || d.month < 1 || d.month > 12 || d.day < 1 || d.day > 31)
        return false;
    return std::chrono::year_month_day(std::chrono::year(d.year),
                                       std::chrono::month(static_cast<unsigned>(d.month)),
                                       std::chrono::day(static_cast<unsigned>(d.day)))
        .ok();
}

bool readDigits(std::string_view text, int& value) {
    value = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return false;
        value = value * 10 + (c - '0');
    }
    return true;
}

}  // namespace

std::optional<CalendarDate> parseIsoDate(std::string_view text) {
    if (text.size() != 10 || text[4] != '-' || text[7] != '-') return std::nullopt;
    CalendarDate date;
    if (!readDigits(text.substr(0, 4), date.year) || !readDigits(text.substr(5, 2), date.month) ||
        !readDigits(text.substr(8, 2), date.day) || !isRealDay(date))
        return std::nullopt;
    return date;
}

std::optional<int> ageInCompletedYears(const CalendarDate& birthDate, const CalendarDate& onDate) {
    if (!isRealDay(birthDate) || !isRealDay(onDate)) return std::nullopt;
    const auto born = std::tie(birthDate.year, birthDate.month, birthDate.day);
    const auto on = std::tie(onDate.year, onDate.month, onDate.day);
    if (on < born) return std::nullopt;
    // Comparing month and day as they are makes a 29 February birthday fall on 1 March in
    // common years: on 28 February the year is not yet complete.
    const bool birthdayReached =
        std::tie(onDate.month, onDate.day) >= std::tie(birthDate.month, birthDate.day);
    return onDate.year - birthDate.year - (birthdayReached ? 0 : 1);
}

ReferenceGroup ageGroupOf(std::optional<int> age) {
    if (!age) return {std::nullopt, "no reference values: age unknown"};
    if (*age < YoungestReferenceAge) return {std::nullopt, "no reference values: under 18"};
    return {*age <= OldestYoungAge ? AgeGroup::Young : AgeGroup::Old, ""};
}

}  // namespace kenvo
