#pragma once

#include <cstdint>
#include <string>

#include "model/subject_record.h"

namespace kenvo {

// The controls of the subject dialog, as the user left them.
struct SubjectForm {
    std::string name;
    int32_t sex = 0;  // the checked radio button: 0 female, 1 male
    std::string height;
    std::string weight;
    std::string comment1;
    std::string comment2;
    std::string comment3;
};

enum class SubjectField { None, Name, Sex, Height, Weight, Comment1, Comment2, Comment3 };

inline constexpr int32_t MaxSubjectHeight = 250;
inline constexpr int32_t MaxSubjectWeight = 500;

struct SubjectValidation {
    bool ok = false;
    SubjectField focus = SubjectField::None;  // the control to focus when !ok
    std::string message;                      // shown when !ok
    SubjectRecord record;                     // the accepted record when ok
};

// The dialog's controls filled from a record.
SubjectForm subjectFormFrom(const SubjectRecord& record);

// Checks the controls in the dialog's order (comment 2, comment 3, sex, height, name, weight,
// comment 1); only height (0..250) and weight (0..500) can fail. The first failure gives its
// control and message; the caller keeps the dialog open and the record unchanged.
SubjectValidation validateSubjectForm(const SubjectForm& form);

// The messages of an integer box: "Please enter an integer." and the range message with its
// ends substituted.
std::string integerMessage();
std::string integerRangeMessage(int64_t min, int64_t max);

// An integer box's text as the dialogs read it: optional blanks, an optional sign, decimal
// digits, optional blanks, within int32. Returns false for anything else, the empty box too.
bool parseIntegerBox(const std::string& text, int32_t& value);

}  // namespace kenvo
