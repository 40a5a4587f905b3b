// The claim of one running program on the recovery copy.
#include <gtest/gtest.h>

#include <optional>

#include "procedures/recovery_file.h"
#include "support/temp_dir.h"

namespace kenvo::test {
namespace {

TEST(RecoveryLock, OneHolderAtATimeAndALeftOverFileBlocksNobody) {
    TempDir dir;
    const std::string path = dir.file("recovery.lock");
    // The file a crashed run leaves behind, with nobody holding it.
    writeFileBytes(path, "");
    std::optional<RecoveryLock> first(std::in_place, path);
    EXPECT_TRUE(first->owned());
    {
        // A second open of the same file, as a second program makes it.
        RecoveryLock second(path);
        EXPECT_FALSE(second.owned());
    }
    // The refused claim took nothing away from the holder.
    EXPECT_FALSE(RecoveryLock(path).owned());
    first.reset();
    EXPECT_TRUE(RecoveryLock(path).owned());
}

TEST(RecoveryLock, ALockFileThatCannotBeMadeLeavesTheClaimToTheProgram) {
    TempDir dir;
    EXPECT_TRUE(RecoveryLock(dir.file("missing/recovery.lock")).owned());
}

}  // namespace
}  // namespace kenvo::test
