#include "model/subject_validation.h"

#include <charconv>

namespace kenvo {

namespace {

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}

// Reads one bounded integer box; on failure fills the validation result.
bool readBox(const std::string& text, int32_t min, int32_t max, SubjectField field, int32_t& value,
             SubjectValidation& result) {
    if (!parseIntegerBox(text, value)) {
        result.focus = field;
        result.message = integerMessage();
        return false;
    }
    if (value < min || value > max) {
        result.focus = field;
        result.message = integerRangeMessage(min, max);
        return false;
    }
    return true;
}

std::string replaceAll(std::string text, const std::string& what, const std::string& with) {
    for (std::size_t at = text.find(what); at != std::string::npos;
         at = text.find(what, at + with.size()))
        text.replace(at, what.size(), with);
    return text;
}

}  // namespace

std::string integerMessage() {
    return "Please enter an integer.";
}

std::string integerRangeMessage(int64_t min, int64_t max) {
    std::string text = "Please enter an integer between %1 and %2.";
    text = replaceAll(text, "%1", std::to_string(min));
    return replaceAll(text, "%2", std::to_string(max));
}

bool parseIntegerBox(const std::string& text, int32_t& value) {
    std::size_t first = 0, last = text.size();
    while (first < last && isBlank(text[first])) ++first;
    while (last > first && isBlank(text[last - 1])) --last;
    if (first < last && text[first] == '+') ++first;  // from_chars takes '-' but not '+'
    if (first == last) return false;
    const char* begin = text.data() + first;
    const char* end = text.data() + last;
    int32_t parsed = 0;
    const auto [stop, error] = std::from_chars(begin, end, parsed);
    if (error != std::errc() || stop != end) return false;
    value = parsed;
    return true;
}

SubjectForm subjectFormFrom(const SubjectRecord& r) {
    return SubjectForm{
        r.name,     r.sex,     std::to_string(r.height), std::to_string(r.weight), r.comment1,
        r.comment2, r.comment3};
}

SubjectValidation validateSubjectForm(const SubjectForm& form) {
    SubjectValidation result;
    SubjectRecord& r = result.record;
    // The text boxes and the radio group always read; the order only decides which
    // integer failure is reported first.
    r.comment2 = form.comment2;
    r.comment3 = form.comment3;
    r.sex = form.sex;
    if (!readBox(form.height, 0, MaxSubjectHeight, SubjectField::Height, r.height, result)) {
        result.record = {};
        return result;
    }
    r.name = form.name;
    if (!readBox(form.weight, 0, MaxSubjectWeight, SubjectField::Weight, r.weight, result)) {
        result.record = {};
        return result;
    }
    r.comment1 = form.comment1;
    result.ok = true;
    return result;
}

}  // namespace kenvo
