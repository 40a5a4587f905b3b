#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

#include "files/sidecar.h"
#include "register/subject_register.h"
#include "register_test_support.h"

namespace kenvo {
namespace {

using test::person;
using test::RegisterFolder;
using test::TestRecording;
using test::writeRecording;

// New files are read and registered, unchanged ones are not read again, a changed one is read
// again and a file that is gone stays in the register, marked missing.
TEST(RegisterScan, FilesAreAddedKeptUpdatedAndMarkedMissing) {
    RegisterFolder folder;
    writeRecording(folder.file("b/ann-2.kplat"), person("Ann Novak", 0, 2, 1700100000));
    writeRecording(folder.file("a/ann-1.kplat"), person("  Ann Novak ", 0, 1, 1700000000));
    TestRecording bob = person("Bob Cerny", 1, 3, 1700050000);
    bob.attempts = 2;
    writeRecording(folder.file("a/bob.kplat"), bob);
    auto reg = folder.open();

    ScanReport first = reg->scan({folder.data()}, false);
    EXPECT_EQ(first.added, 3);
    EXPECT_EQ(first.skipped + first.updated + first.unchanged + first.review, 0);
    const auto subjects = reg->subjects();
    ASSERT_EQ(subjects.size(), 2u);  // the padded name is the same Ann
    EXPECT_EQ(subjects[0].name, "Ann Novak");
    EXPECT_EQ(subjects[0].sessionCount, 2);
    EXPECT_EQ(subjects[0].id, 1);  // a/ann-1 sorts first
    EXPECT_EQ(subjects[1].sex, 'M');

    const auto ann = reg->sessions(subjects[0].id);
    ASSERT_EQ(ann.size(), 2u);
    EXPECT_EQ(ann[0].file, "a/ann-1.kplat");
    EXPECT_EQ(ann[0].test, "stance");
    EXPECT_EQ(ann[0].recordedAt, 1700000000);
    EXPECT_EQ(ann[0].attempts, 3);
    EXPECT_EQ(ann[0].fileSize, std::filesystem::file_size(folder.file("a/ann-1.kplat")));
    ASSERT_TRUE(ann[0].velocity.has_value());
    EXPECT_GT(*ann[0].velocity, 0.0);
    EXPECT_GT(ann[0].area95.value_or(0), 0.0);
    EXPECT_EQ(reg->absolutePath(ann[0]), folder.data() + "/a/ann-1.kplat");
    EXPECT_TRUE(reg->check().ok());

    ScanReport second = reg->scan({folder.data()}, false);
    EXPECT_EQ(second.unchanged, 3);
    EXPECT_EQ(second.added + second.updated, 0);

    bob.attempts = 4;
    writeRecording(folder.file("a/bob.kplat"), bob);
    EXPECT_EQ(reg->check().problems,
              std::vector<std::string>{"a/bob.kplat: changed since it was registered"});
    ScanReport third = reg->scan({folder.data()}, false);
    EXPECT_EQ(third.updated, 1);
    EXPECT_EQ(third.unchanged, 2);
    EXPECT_EQ(reg->sessions(subjects[1].id).at(0).attempts, 4);

    std::filesystem::remove(folder.file("b/ann-2.kplat"));
    ScanReport fourth = reg->scan({folder.data()}, false);
    EXPECT_EQ(fourth.unchanged, 2);
    const auto after = reg->sessions(subjects[0].id);
    ASSERT_EQ(after.size(), 2u);
    EXPECT_EQ(after[1].status, SessionStatus::Missing);
    const CheckReport check = reg->check();
    EXPECT_EQ(check.integrity, "ok");
    EXPECT_EQ(check.problems, std::vector<std::string>{"b/ann-2.kplat: missing"});
    EXPECT_FALSE(check.ok());

    // Back as it was: no longer missing.
    writeRecording(folder.file("b/ann-2.kplat"), person("Ann Novak", 0, 2, 1700100000));
    reg->scan({folder.data()}, false);
    EXPECT_EQ(reg->sessions(subjects[0].id)[1].status, SessionStatus::Ok);
}

// What cannot be read is skipped with the reader's reason, and the scan goes on; a registered
// file that became unreadable says it changed.
TEST(RegisterScan, UnreadableFilesAreSkippedWithTheirReason) {
    RegisterFolder folder;
    writeRecording(folder.file("good.kplat"), {});
    writeRecording(folder.file("later.kplat"), person("Zoe", 0, 9, 1700000000));
    const std::string whole = test::readFileBytes(folder.file("later.kplat"));
    test::writeFileBytes(folder.file("cut.kplat"), whole.substr(0, whole.size() / 2));
    test::writeFileBytes(folder.file("text.kplat"), "not a measurement\n");
    ASSERT_EQ(::mkfifo(folder.file("pipe.kplat").c_str(), 0600), 0);
    std::filesystem::create_symlink(folder.file("nowhere.kplat"), folder.file("dangling.kplat"));
    auto reg = folder.open();

    const ScanReport report = reg->scan({folder.data()}, false);
    EXPECT_EQ(report.added, 2);
    EXPECT_EQ(report.skipped, 4);
    ASSERT_EQ(report.skippedFiles.size(), 4u);
    for (const auto& [path, reason] : report.skippedFiles) {
        EXPECT_FALSE(reason.empty()) << path;
        EXPECT_NE(reason.find(path.substr(0, path.find('.'))), std::string::npos)
            << path << ": " << reason;
    }
    EXPECT_EQ(report.skippedFiles[0].first, "cut.kplat");
    EXPECT_EQ(report.skippedFiles[1].first, "dangling.kplat");

    test::writeFileBytes(folder.file("later.kplat"), whole.substr(0, 100));
    const ScanReport again = reg->scan({folder.data()}, false);
    EXPECT_EQ(again.skipped, 5);
    const auto zoe = reg->subjects("Zoe");
    ASSERT_EQ(zoe.size(), 1u);
    EXPECT_EQ(reg->sessions(zoe[0].id).at(0).status, SessionStatus::Changed);
}

// Linked folders are followed, but a link back up the tree does not make the scan go round.
TEST(RegisterScan, ASymlinkLoopEnds) {
    RegisterFolder folder;
    writeRecording(folder.file("clinic/ward/ann.kplat"), {});
    std::filesystem::create_directory_symlink(folder.file("clinic"),
                                              folder.file("clinic/ward/back"));
    std::filesystem::create_directory_symlink(folder.file("clinic/ward"), folder.file("ward-link"));
    auto reg = folder.open();
    const ScanReport report = reg->scan({folder.data()}, false);
    EXPECT_EQ(report.added, 1);
    EXPECT_EQ(report.skipped, 0);
    EXPECT_EQ(reg->reviewSessions().size(), 0u);
    EXPECT_EQ(reg->sessions(1).at(0).file, "clinic/ward/ann.kplat");
}

// A stop asked for by the progress callback ends the scan after the file in hand.
TEST(RegisterScan, ProgressCanStopTheScan) {
    RegisterFolder folder;
    for (int i = 0; i < 4; ++i)
        writeRecording(folder.file("f" + std::to_string(i) + ".kplat"),
                       person("P" + std::to_string(i), 0, 1 + i, 1700000000));
    auto reg = folder.open();
    std::vector<std::pair<int, int>> calls;
    const ScanReport report = reg->scan({folder.data()}, false, [&](int done, int total) {
        calls.emplace_back(done, total);
        return done < 2;
    });
    EXPECT_TRUE(report.cancelled);
    EXPECT_EQ(report.added, 2);
    EXPECT_EQ((calls), (std::vector<std::pair<int, int>>{{1, 4}, {2, 4}}));
    EXPECT_EQ(reg->scan({folder.data()}, false).added, 2);
}

// Files outside the data folder are kept by absolute path.
TEST(RegisterScan, FilesOutsideTheDataFolderKeepTheirAbsolutePath) {
    RegisterFolder folder;
    test::TempDir elsewhere;
    writeRecording(elsewhere.file("away.kplat"), {});
    auto reg = folder.open();
    EXPECT_EQ(reg->scan({elsewhere.path() + "/"}, false).added, 1);
    const auto sessions = reg->sessions(1);
    ASSERT_EQ(sessions.size(), 1u);
    EXPECT_EQ(sessions[0].file,
              std::filesystem::weakly_canonical(elsewhere.file("away.kplat")).generic_string());
    EXPECT_TRUE(std::filesystem::exists(reg->absolutePath(sessions[0])));
}

// Target hitting and driving sessions are registered without measures and stay out of the
// history.
TEST(RegisterScan, TargetAndDrivingSessionsHaveNoMeasures) {
    RegisterFolder folder;
    TestRecording target = person("Ann", 0, 1, 1700000000);
    target.mode = TestModeTargetHitting;
    writeRecording(folder.file("target.kplat"), target);
    TestRecording driving = person("Ann", 0, 2, 1700001000);
    driving.mode = TestModeDriving;
    writeRecording(folder.file("driving.kplat"), driving);
    auto reg = folder.open();
    EXPECT_EQ(reg->scan({folder.data()}, false).added, 2);
    const auto sessions = reg->sessions(1);
    ASSERT_EQ(sessions.size(), 2u);
    EXPECT_EQ(sessions[0].test, "target");
    EXPECT_EQ(sessions[1].test, "driving");
    EXPECT_EQ(sessions[1].attempts, 3);
    EXPECT_FALSE(sessions[0].velocity || sessions[1].area95);
    EXPECT_TRUE(reg->history(1, ClinicalMeasure::Velocity).empty());
}

// The store keeps the low 32 bits of a start time; the register reads them as unsigned, so
// recordings after 2038 keep their dates.
TEST(RegisterScan, StartTimesAfter2038KeepTheirDates) {
    RegisterFolder folder;
    writeRecording(folder.file("future.kplat"), person("Ann", 0, 1, 2200000000));
    auto reg = folder.open();
    ASSERT_EQ(reg->scan({folder.data()}, false).added, 1);
    EXPECT_EQ(reg->sessions(1).at(0).recordedAt, 2200000000);
    EXPECT_EQ(utcTimestamp(2200000000), "2039-09-18T23:06:40Z");
    EXPECT_EQ(utcTimestamp(0), "1970-01-01T00:00:00Z");
    for (SessionStatus s :
         {SessionStatus::Ok, SessionStatus::Changed, SessionStatus::Missing, SessionStatus::Review})
        EXPECT_EQ(sessionStatusFromText(sessionStatusText(s)), s);
    EXPECT_FALSE(sessionStatusFromText("OK"));
}

}  // namespace
}  // namespace kenvo
