#include <gtest/gtest.h>

#include "model/subject_validation.h"

namespace kenvo {
namespace {

SubjectForm form(const std::string& height, const std::string& weight) {
    return SubjectForm{"Jana", 0, height, weight, "one", "two", "three"};
}

TEST(SubjectValidation, AcceptsIntegersWithinTheRangesAndCopiesEveryField) {
    const auto r =
        validateSubjectForm(SubjectForm{"Petr \x8A", 1, "250", " +500 ", "c1", "c2", "c3"});
    ASSERT_TRUE(r.ok);
    EXPECT_EQ(r.record, (SubjectRecord{"Petr \x8A", 1, 250, 500, "c1", "c2", "c3"}));
    EXPECT_TRUE(validateSubjectForm(form("0", "0")).ok);
}

TEST(SubjectValidation, RangeAndIntegerMessagesNameTheControl) {
    auto r = validateSubjectForm(form("251", "70"));
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.focus, SubjectField::Height);
    EXPECT_EQ(r.message, "Please enter an integer between 0 and 250.");

    r = validateSubjectForm(form("180", ""));
    EXPECT_EQ(r.focus, SubjectField::Weight);
    EXPECT_EQ(r.message, "Please enter an integer.");

    r = validateSubjectForm(form("180", "501"));
    EXPECT_EQ(r.message, "Please enter an integer between 0 and 500.");

    for (const char* bad : {"abc", "12a", "1.5", "99999999999", "-", " "}) {
        r = validateSubjectForm(form(bad, "70"));
        EXPECT_EQ(r.message, "Please enter an integer.") << bad;
    }
    r = validateSubjectForm(form("-1", "70"));
    EXPECT_EQ(r.message, "Please enter an integer between 0 and 250.");
}

TEST(SubjectValidation, HeightIsCheckedBeforeWeight) {
    const auto r = validateSubjectForm(form("x", "y"));
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.focus, SubjectField::Height);
    EXPECT_EQ(r.record, SubjectRecord{});  // nothing to copy into the record
}

TEST(SubjectValidation, FormFromRecordRoundTrips) {
    const SubjectRecord record{"N", 1, 170, 65, "a", "b", "c"};
    const auto r = validateSubjectForm(subjectFormFrom(record));
    ASSERT_TRUE(r.ok);
    EXPECT_EQ(r.record, record);
}

}  // namespace
}  // namespace kenvo
