#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <future>
#include <memory>
#include <string>
#include <vector>

#include "reports/batch_analysis.h"
#include "files/configuration_file.h"
#include "files/cop_csv.h"
#include "files/file_bytes.h"
#include "files/measurement_file.h"
#include "files/protocol_file.h"
#include "model/measurement_store.h"
#include "model/settings.h"
#include "model/target_protocol.h"
#include "support/temp_dir.h"

namespace kenvo {
namespace {

// Runs `read` and waits at most 10 s for it. A reader stuck in open() on a FIFO is set free by
// opening the FIFO's other end, so a failing test ends instead of hanging the suite.
bool finishesInTime(const std::function<void()>& read, const std::string& fifo) {
    auto done = std::async(std::launch::async, read);
    if (done.wait_for(std::chrono::seconds(10)) == std::future_status::ready) return true;
    const int fd = ::open(fifo.c_str(), O_WRONLY | O_NONBLOCK);
    if (fd >= 0) ::close(fd);
    done.wait();
    return false;
}

// The three kinds of name no reader may take: a FIFO, a folder and a sparse file one byte
// over the reader's limit.
struct Refusable {
    std::string fifo, folder, oversized;
};

Refusable makeRefusable(const test::TempDir& dir, const std::string& extension, uint64_t limit) {
    Refusable r{dir.file("pipe." + extension), dir.file("folder." + extension),
                dir.file("huge." + extension)};
    EXPECT_EQ(::mkfifo(r.fifo.c_str(), 0600), 0);
    EXPECT_EQ(::mkdir(r.folder.c_str(), 0700), 0);
    test::writeFileBytes(r.oversized, "");
    EXPECT_EQ(::truncate(r.oversized.c_str(), static_cast<off_t>(limit + 1)), 0);
    return r;
}

std::vector<std::string> names(const Refusable& r) { return {r.fifo, r.folder, r.oversized}; }

TEST(ReaderRefusal, MeasurementFileRefusesPipeFolderDeviceAndOversizedFile) {
    test::TempDir dir;
    const Refusable bad = makeRefusable(dir, "kplat", MaxMeasurementFileBytes);
    auto store = std::make_unique<MeasurementStore>();
    store->attemptCount = 3;
    GraphSettings graph = GraphSettings::defaults();
    std::vector<std::string> paths = names(bad);
    paths.push_back("/dev/zero");
    for (const std::string& path : paths) {
        FileResult r;
        ASSERT_TRUE(finishesInTime([&] { r = loadMeasurementFile(path, *store, graph); }, bad.fifo))
            << path;
        EXPECT_FALSE(r.ok) << path;
        EXPECT_EQ(r.message, "Error opening file");
        EXPECT_NE(r.reason.find(path), std::string::npos) << r.reason;
        EXPECT_EQ(store->attemptCount, 3);
    }
    EXPECT_NE(loadMeasurementFile(bad.fifo, *store, graph).reason.find("pipe"), std::string::npos);
    EXPECT_NE(loadMeasurementFile(bad.oversized, *store, graph).reason.find("too large"),
              std::string::npos);
}

TEST(ReaderRefusal, ConfigurationIsRefusedAndKeepsTheSettingsInsteadOfTakingDefaults) {
    test::TempDir dir;
    const Refusable bad = makeRefusable(dir, "swpcfg", MaxConfigurationFileBytes);
    Settings settings;
    settings.test.stanceTime = 77;
    int32_t attemptSeconds = 5;
    const Settings before = settings;
    for (const std::string& path : names(bad)) {
        FileResult r;
        ASSERT_TRUE(finishesInTime(
            [&] { r = loadConfiguration(path, settings, attemptSeconds); }, bad.fifo))
            << path;
        EXPECT_FALSE(r.ok) << path;
        EXPECT_NE(r.reason.find(path), std::string::npos) << r.reason;
        EXPECT_EQ(settings, before);
        EXPECT_EQ(attemptSeconds, 5);
    }
}

TEST(ReaderRefusal, ProtocolRefusesPipeFolderAndOversizedFile) {
    test::TempDir dir;
    const Refusable bad = makeRefusable(dir, "kplatprt", MaxProtocolFileBytes);
    TargetProtocol protocol{"kept", 2};
    TargetLocations locations{};
    locations[0] = 3;
    for (const std::string& path : names(bad)) {
        FileResult r;
        ASSERT_TRUE(finishesInTime([&] { r = loadProtocol(path, protocol, locations); }, bad.fifo))
            << path;
        EXPECT_FALSE(r.ok) << path;
        EXPECT_EQ(r.message, "Error opening file");
        EXPECT_NE(r.reason.find(path), std::string::npos) << r.reason;
        EXPECT_EQ(protocol, (TargetProtocol{"kept", 2}));
        EXPECT_EQ(locations[0], 3);
    }
}

TEST(ReaderRefusal, CopRecordingRefusesPipeFolderAndOversizedFile) {
    test::TempDir dir;
    const Refusable bad = makeRefusable(dir, "csv", MaxCopCsvBytes);
    for (const std::string& path : names(bad)) {
        std::vector<CopPoint> points{{1.0, 2.0}};
        std::string error;
        bool ok = true;
        ASSERT_TRUE(finishesInTime([&] { ok = readCopCsv(path, points, error, 100); }, bad.fifo))
            << path;
        EXPECT_FALSE(ok) << path;
        EXPECT_TRUE(points.empty());
        EXPECT_NE(error.find(path), std::string::npos) << error;
    }
}

TEST(ReaderRefusal, BatchAnalysisReportsThePipeAndGoesOnWithTheNextFile) {
    test::TempDir dir;
    const Refusable bad = makeRefusable(dir, "kplat", MaxMeasurementFileBytes);
    BatchResult result;
    ASSERT_TRUE(finishesInTime(
        [&] { result = runBatchAnalysis({bad.fifo, bad.folder}, 1.0f, {}, {}); }, bad.fifo));
    ASSERT_EQ(result.files.size(), 2u);
    for (const BatchFileOutcome& f : result.files) {
        EXPECT_FALSE(f.analysed) << f.path;
        EXPECT_NE(f.reason.find(f.path), std::string::npos) << f.reason;
    }
}

TEST(ReaderRefusal, RegularFilesUpToTheLimitAreRead) {
    test::TempDir dir;
    const std::string path = dir.file("exact.bin");
    test::writeFileBytes(path, std::string(1000, 'x'));
    std::vector<uint8_t> bytes;
    std::string error;
    EXPECT_TRUE(readRegularFile(path, 1000, bytes, error)) << error;
    EXPECT_EQ(bytes.size(), 1000u);
    ReadFailure failure = ReadFailure::None;
    EXPECT_FALSE(readRegularFile(path, 999, bytes, error, &failure));
    EXPECT_EQ(failure, ReadFailure::Refused);
    EXPECT_TRUE(bytes.empty());
    EXPECT_FALSE(readRegularFile(dir.file("missing.bin"), 1000, bytes, error, &failure));
    EXPECT_EQ(failure, ReadFailure::CannotOpen);
    EXPECT_NE(error.find("missing.bin"), std::string::npos);
}

}  // namespace
}  // namespace kenvo
