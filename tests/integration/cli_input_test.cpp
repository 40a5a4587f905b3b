// Odd inputs given to the command-line tool: pipes, folders and huge files, and the settings
// and protocol files that `info` describes.
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "files/configuration_file.h"
#include "files/file_bytes.h"
#include "files/protocol_file.h"
#include "model/settings.h"
#include "model/target_protocol.h"
#include "support/process.h"
#include "support/temp_dir.h"

namespace kenvo {
namespace {

// The tool with a 10 s watchdog: a command that blocks is killed and reports -1.
test::ProcessResult runCli(const std::vector<std::string>& args) {
    std::vector<std::string> words = {KENVOPLAT_CLI};
    words.insert(words.end(), args.begin(), args.end());
    return test::runProcess(words, {}, 10.0);
}

void writeBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
    test::writeFileBytes(path, std::string(bytes.begin(), bytes.end()));
}

bool hasLine(const std::string& out, const std::string& line) {
    return ("\n" + out).find("\n" + line + "\n") != std::string::npos;
}

TEST(CliInput, EveryReaderRefusesPipesFoldersAndOversizedFilesWithoutBlocking) {
    test::TempDir dir;
    const std::string pipe = dir.file("x.kplat"), folder = dir.file("f.kplat");
    const std::string csvPipe = dir.file("x.csv"), hugeCsv = dir.file("huge.csv");
    const std::string hugeData = dir.file("huge.kplat"), cfgPipe = dir.file("x.swpcfg");
    const std::string hugeProtocol = dir.file("huge.kplatprt");
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
    ASSERT_EQ(::mkfifo(csvPipe.c_str(), 0600), 0);
    ASSERT_EQ(::mkfifo(cfgPipe.c_str(), 0600), 0);
    ASSERT_EQ(::mkdir(folder.c_str(), 0700), 0);
    for (const auto& [path, limit] : {std::pair{hugeCsv, MaxCopCsvBytes},
                                      std::pair{hugeData, MaxMeasurementFileBytes},
                                      std::pair{hugeProtocol, MaxProtocolFileBytes}}) {
        test::writeFileBytes(path, "");
        ASSERT_EQ(::truncate(path.c_str(), static_cast<off_t>(limit + 1)), 0);
    }
    const std::string out = dir.file("out.kplat");
    const std::vector<std::pair<std::vector<std::string>, std::string>> runs = {
        {{"info", pipe}, pipe},
        {{"info", folder}, folder},
        {{"info", hugeData}, hugeData},
        {{"info", cfgPipe}, cfgPipe},
        {{"info", hugeProtocol}, hugeProtocol},
        {{"info", "/dev/zero"}, "/dev/zero"},
        {{"export-csv", pipe}, pipe},
        {{"table", "summary", pipe}, pipe},
        {{"decode", pipe}, pipe},
        {{"decode", "/dev/zero"}, "/dev/zero"},
        {{"import-csv", "-o", out, csvPipe}, csvPipe},
        {{"import-csv", "-o", out, hugeCsv}, hugeCsv},
        {{"batch", pipe, "-o", dir.file("a.xml")}, pipe},
    };
    for (const auto& [args, named] : runs) {
        const test::ProcessResult r = runCli(args);
        EXPECT_EQ(r.exitCode, 1) << args[0] << " " << named << ": " << r.err;
        EXPECT_NE(r.err.find(named), std::string::npos) << r.err;
    }
    EXPECT_FALSE(::access(out.c_str(), F_OK) == 0);
}

TEST(CliInput, InfoOnAConfigurationPrintsEveryFieldAndWhatTheLoadChanged) {
    test::TempDir dir;
    Settings s;
    s.test = TestSettings::defaults();
    s.test.testMode = 9;
    s.graph = GraphSettings::defaults();
    s.graph.timeAxisSeconds = -200000;
    s.graph.daMax[0] = -7;
    s.calibration = PlatformCalibration{117.5f, 112.25f, {1, 2, 3, 4}};
    const std::string path = dir.file("odd.swpcfg");
    writeBytes(path, encodeConfiguration(s, 10));

    const test::ProcessResult r = runCli({"info", path});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_TRUE(hasLine(r.out, "timeAxisSeconds 1 (file: -200000)")) << r.out;
    EXPECT_TRUE(hasLine(r.out, "testMode 0 (file: 9)")) << r.out;
    EXPECT_TRUE(hasLine(r.out, "daMaxR -7")) << r.out;  // no range: as read
    EXPECT_TRUE(hasLine(r.out, "spare 30")) << r.out;
    EXPECT_TRUE(hasLine(r.out, "stanceTime 10")) << r.out;
    EXPECT_TRUE(hasLine(r.out, "attemptSeconds 10")) << r.out;
    EXPECT_TRUE(hasLine(r.out, "daStepY 5")) << r.out;
    EXPECT_TRUE(hasLine(r.out, "configReserved1 10")) << r.out;
    EXPECT_TRUE(hasLine(r.out, "scaleX 117.500")) << r.out;
    EXPECT_TRUE(hasLine(r.out, "zeroOffset3 4")) << r.out;
    EXPECT_TRUE(hasLine(r.out, "filterFrequency 1.000")) << r.out;
    // 11 test settings, 28 graph words, 3 reserved, 2 scales, 4 offsets, the filter.
    std::size_t lines = 0;
    for (const char c : r.out) lines += c == '\n';
    EXPECT_EQ(lines, 1u + 11 + 28 + 3 + 2 + 4 + 1);
}

TEST(CliInput, InfoOnAProtocolPrintsNameLengthAndEntries) {
    test::TempDir dir;
    TargetLocations locations{};
    locations[0] = 0;
    locations[1] = 3;
    locations[2] = 7;
    std::vector<uint8_t> bytes;
    ASSERT_TRUE(encodeProtocol(TargetProtocol{"Balance A", 3}, locations, bytes).ok);
    const std::string path = dir.file("p.kplatprt");
    writeBytes(path, bytes);
    test::ProcessResult r = runCli({"info", path});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_TRUE(hasLine(r.out, "name Balance A")) << r.out;
    EXPECT_TRUE(hasLine(r.out, "length 3")) << r.out;
    EXPECT_TRUE(hasLine(r.out, "entry 1 0 (left)")) << r.out;
    EXPECT_TRUE(hasLine(r.out, "entry 2 3 (rear)")) << r.out;
    EXPECT_TRUE(hasLine(r.out, "entry 3 7 (none)")) << r.out;

    // A negative count reads as an empty protocol.
    ASSERT_TRUE(encodeProtocol(TargetProtocol{"Empty", 0}, locations, bytes).ok);
    bytes[bytes.size() - 4] = 0xFB;  // -5
    for (std::size_t k = bytes.size() - 3; k < bytes.size(); ++k) bytes[k] = 0xFF;
    writeBytes(path, bytes);
    r = runCli({"info", path});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_TRUE(hasLine(r.out, "length 0 (file: -5)")) << r.out;

    // A protocol that cannot be opened is reported with the operator's text.
    r = runCli({"info", dir.file("absent.kplatprt")});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.err.find("Error opening file"), std::string::npos) << r.err;
}

}  // namespace
}  // namespace kenvo
