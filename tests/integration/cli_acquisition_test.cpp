#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <fstream>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "platform/wire_frame.h"
#include "support/process.h"
#include "support/temp_dir.h"

namespace kenvo {
namespace {

using test::runProcess;

const std::string Cli = KENVOPLAT_CLI;
const std::string Emulator = KENVOPLAT_EMULATOR;

std::vector<std::string> lines(const std::string& text) {
    std::vector<std::string> out;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) out.push_back(line);
    return out;
}

TEST(CliDecode, PrintsOneLinePerFrameAndCountsDroppedBytes) {
    test::TempDir dir;
    std::string bytes = "\x13\x80";  // noise before the first frame
    for (const RawFrame& f : {RawFrame{{1, 2, 3, 4095}, 8}, RawFrame{{2048, 0, 64, 63}, 0}}) {
        const auto e = encodeFrame(f);
        bytes.append(reinterpret_cast<const char*>(e.data()), e.size());
    }
    bytes.append("\x00\x40\x80", 3);  // an unfinished frame at the end
    test::writeFileBytes(dir.file("raw.bin"), bytes);
    const auto r = runProcess({Cli, "decode", dir.file("raw.bin")});
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_EQ(r.out, "1,2,3,4095,8\n2048,0,64,63,0\n");
    EXPECT_EQ(r.err, "2 frames, 5 bytes dropped\n");
}

TEST(CliDecode, ErrorsAndUsage) {
    auto r = runProcess({Cli, "decode", "/nonexistent/raw.bin"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.err.find("cannot open /nonexistent/raw.bin"), std::string::npos);
    r = runProcess({Cli, "decode"});
    EXPECT_EQ(r.exitCode, 2);
    r = runProcess({Cli, "frobnicate"});
    EXPECT_EQ(r.exitCode, 2);
    r = runProcess({Cli, "monitor", "--seconds", "abc", "--simulate"});
    EXPECT_EQ(r.exitCode, 2);
    r = runProcess({Cli, "devices", "--simulate=7"});
    EXPECT_EQ(r.exitCode, 2);
    r = runProcess({Cli, "--help"});
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_NE(r.out.find("capture --seconds N -o FILE"), std::string::npos);
}

TEST(CliDevices, ListsTheSimulatedPlatform) {
    const auto r = runProcess({Cli, "devices", "--simulate=3"});
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_EQ(r.out, "3 3KenvoPlatT simulated:0\n");
}

TEST(CliMonitor, WithoutAPlatformReportsErrorInCommunication) {
    const auto r = runProcess({Cli, "monitor", "--seconds", "1"}, {"KENVOPLAT_SERIAL_DEVICES=/nonexistent/tty=4KenvoPlat"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.err.find("Error in communication"), std::string::npos);
    EXPECT_NE(r.err.find("The platform on /nonexistent/tty could not be opened"), std::string::npos);
}

// A platform the user may not open: the message names the device and both fixes. The tests run
// as root, who may open anything, so the command runs as an unprivileged user on a locked file.
TEST(CliMonitor, PlatformWithoutPermissionNamesTheDeviceAndTheFix) {
    test::TempDir dir;
    const std::string device = dir.file("ttyUSB7");
    { std::ofstream(device) << ""; }
    ASSERT_EQ(::chmod(device.c_str(), 0), 0);
    std::vector<std::string> argv = {Cli, "monitor", "--seconds", "1"};
    if (::geteuid() == 0) {
        if (::access("/usr/bin/setpriv", X_OK) != 0) GTEST_SKIP() << "setpriv is needed to drop root";
        ::chmod(dir.path().c_str(), 0755);
        argv.insert(argv.begin(), {"/usr/bin/setpriv", "--reuid=65534", "--regid=65534", "--clear-groups"});
    }
    const auto r = runProcess(argv, {"KENVOPLAT_SERIAL_DEVICES=" + device + "=3KenvoPlatP"});
    if (r.exitCode == 127 || r.err.find("Permission denied") != std::string::npos)
        GTEST_SKIP() << "the program is not reachable by an unprivileged user: " << r.err;
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.err.find("Error in communication"), std::string::npos);
    EXPECT_NE(r.err.find("The platform on " + device + " was found, but this user may not open it"), std::string::npos)
        << r.err;
    EXPECT_NE(r.err.find("70-kenvoplat.rules"), std::string::npos);
    EXPECT_NE(r.err.find("dialout"), std::string::npos);
}

TEST(CliCapture, CapturedBytesDecodeToTheFramesThatArrived) {
    test::TempDir dir;
    const std::string raw = dir.file("capture.bin");
    auto r = runProcess({Cli, "capture", "--seconds", "1", "-o", raw, "--simulate"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    const std::string bytes = test::readFileBytes(raw);
    EXPECT_GE(bytes.size(), 800u);  // about 100 frames of 10 bytes in a second
    EXPECT_LE(bytes.size(), 1200u);
    r = runProcess({Cli, "decode", raw});
    ASSERT_EQ(r.exitCode, 0);
    const auto frames = lines(r.out);
    EXPECT_EQ(frames.size(), bytes.size() / 10);
    EXPECT_EQ(r.err, std::to_string(frames.size()) + " frames, " + std::to_string(bytes.size() % 10) +
                         " bytes dropped\n");
}

// Every subcommand answers --help on standard output with its usage and exit status 0, and an
// unknown option with its usage on standard error and status 2; the main help names them all.
TEST(CliHelp, EverySubcommandHasHelpAndUsageErrorsExitWithTwo) {
    const auto all = runProcess({Cli, "--help"});
    ASSERT_EQ(all.exitCode, 0);
    std::vector<std::string> commands = {"devices", "monitor", "capture", "record", "decode", "info", "export-csv",
                                         "import-csv", "table", "export-xml", "diffusion", "batch", "register"};
    const bool drawing = all.out.find("  render VIEW") != std::string::npos;  // absent without Qt
    if (drawing) commands.insert(commands.end(), {"render", "print"});
    for (const std::string& command : commands) {
        SCOPED_TRACE(command);
        EXPECT_NE(all.out.find("  " + command + " "), std::string::npos);
        const auto help = runProcess({Cli, command, "--help"});
        EXPECT_EQ(help.exitCode, 0);
        EXPECT_EQ(help.out.rfind("usage: kenvoplat-cli " + command + " ", 0), 0u) << help.out;
        EXPECT_NE(help.out.find("Exit status: 0 success, 1 failure, 2 usage error."), std::string::npos);
        EXPECT_TRUE(help.err.empty());
        EXPECT_EQ(runProcess({Cli, "help", command}).out, help.out);
        // -h after other words still asks for help; nothing runs.
        EXPECT_EQ(runProcess({Cli, command, "x.kplat", "-h"}).out, help.out);

        const auto wrong = runProcess({Cli, command, "--no-such-option", "x"});
        EXPECT_EQ(wrong.exitCode, 2);
        EXPECT_NE(wrong.err.find("usage: kenvoplat-cli " + command), std::string::npos) << wrong.err;
        EXPECT_TRUE(wrong.out.empty());
    }
    if (drawing) {
        EXPECT_NE(runProcess({Cli, "render", "--help"}).out.find("graph-report"), std::string::npos);
    }
    EXPECT_EQ(runProcess({Cli, "help", "frobnicate"}).exitCode, 2);
    const auto version = runProcess({Cli, "--version"});
    EXPECT_EQ(version.exitCode, 0);
    EXPECT_EQ(version.out, std::string("kenvoplat-cli ") + KENVOPLAT_VERSION + "\n");
    const auto emulator = runProcess({Emulator, "--help"});
    EXPECT_EQ(emulator.exitCode, 0);
    EXPECT_NE(emulator.out.find("usage: kenvoplat-emulator"), std::string::npos);
    EXPECT_EQ(runProcess({Emulator, "--version"}).out, std::string("kenvoplat-emulator ") + KENVOPLAT_VERSION + "\n");
    EXPECT_EQ(runProcess({Emulator, "--frobnicate"}).exitCode, 2);
}

TEST(CliCapture, UnwritableOutputFailsAndLeavesNothing) {
    const auto r = runProcess({Cli, "capture", "--seconds", "1", "-o", "/nonexistent/dir/c.bin", "--simulate"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.err.find("cannot write into /nonexistent/dir"), std::string::npos) << r.err;
}

// The emulator's pseudo-terminal is found through the environment and read by the real serial
// code path, exactly as a USB adapter would be.
TEST(CliEmulator, MonitorReadsTheEmulatedPlatformThroughTheSerialPath) {
    test::BackgroundProcess emulator({Emulator, "--model", "1", "--seconds", "20", "--weight", "80"});
    const std::string pty = emulator.readLine();
    ASSERT_FALSE(pty.empty()) << "the emulator printed no device path";
    const std::string env = "KENVOPLAT_SERIAL_DEVICES=" + pty + "=4KenvoPlatW";

    auto r = runProcess({Cli, "devices"}, {env});
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_NE(r.out.find("1 4KenvoPlatW " + pty), std::string::npos) << r.out;

    r = runProcess({Cli, "monitor", "--seconds", "2"}, {env});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    const auto readings = lines(r.out);
    ASSERT_GE(readings.size(), 5u);
    // 80 kg at 50 counts per kg: the total load is about 4000 counts above the zero offsets.
    const std::string& last = readings.back();
    const auto sum = last.find("SUM");
    ASSERT_NE(sum, std::string::npos) << last;
    const int total = std::stoi(last.substr(sum + 3));
    EXPECT_GT(total, 4000);
    EXPECT_LT(total, 4300);
    EXPECT_NE(last.find("frames/s"), std::string::npos);
    EXPECT_EQ(emulator.stop(), 0);
}

TEST(CliRecord, StanceAttemptsOfExactlyTheirLength) {
    test::TempDir dir;
    const std::string out = dir.file("r.kplat");
    auto r = runProcess({Cli, "record", "--attempts", "2", "--seconds", "1", "--simulate=2", "-o", out});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    r = runProcess({Cli, "info", out});
    EXPECT_NE(r.out.find("attempts: 2"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("attempt 2: "), std::string::npos);
    EXPECT_NE(r.out.find("100 samples"), std::string::npos);
    EXPECT_EQ(r.out.find("attempt 3: "), std::string::npos);
    // Without a platform: the operator's message and no file.
    r = runProcess({Cli, "record", "--attempts", "1", "--seconds", "1", "-o", dir.file("none.kplat")},
                   {"KENVOPLAT_SERIAL_DEVICES=/nonexistent/tty=4KenvoPlat"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.err.find("Error in communication"), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(dir.file("none.kplat")));
}

// The stance procedure on the real serial path: the emulator's pseudo-terminal, found through
// the environment like a USB adapter, records an attempt of exactly 100 samples.
TEST(CliRecord, ThroughTheSerialPathOfTheEmulator) {
    test::TempDir dir;
    test::BackgroundProcess emulator({Emulator, "--model", "0", "--seconds", "20"});
    const std::string pty = emulator.readLine();
    ASSERT_FALSE(pty.empty());
    const std::string out = dir.file("serial.kplat");
    auto r = runProcess({Cli, "record", "--attempts", "1", "--seconds", "1", "--subject", "Serial", "-o", out},
                        {"KENVOPLAT_SERIAL_DEVICES=" + pty + "=4KenvoPlat"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    r = runProcess({Cli, "export-csv", out});
    ASSERT_EQ(r.exitCode, 0);
    EXPECT_EQ(lines(r.out).size(), 101u);  // header and 100 samples
    EXPECT_EQ(emulator.stop(), 0);
}

// The emulator's subject plays a recording: what comes out of the serial path is the
// recording's COP. A file that is not a recording is refused before any device appears.
TEST(CliEmulator, ReplayedRecordingComesOutOfTheSerialPath) {
    test::TempDir dir;
    const std::string csv = dir.file("lean.csv");
    {
        std::ofstream f(csv);
        f << "t_s,x_mm,y_mm\n";
        for (int i = 0; i < 500; ++i) f << i / 100.0 << ",30,-20\n";
    }
    test::BackgroundProcess emulator({Emulator, "--model", "0", "--seconds", "20", "--replay", csv});
    const std::string pty = emulator.readLine();
    ASSERT_FALSE(pty.empty());
    const std::string out = dir.file("replayed.kplat");
    auto r = runProcess({Cli, "record", "--attempts", "1", "--seconds", "1", "-o", out},
                        {"KENVOPLAT_SERIAL_DEVICES=" + pty + "=4KenvoPlat"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    r = runProcess({Cli, "export-csv", out});
    const auto rows = lines(r.out);
    ASSERT_EQ(rows.size(), 101u);
    // attempt,t_s,x_mm,y_mm,...: a steady lean to the right and back. Without zeroing, the
    // unloaded sensors' offsets pull it about a tenth towards the centre.
    double lowX = 1e9, highX = -1e9, sumY = 0.0;
    for (std::size_t i = 1; i < rows.size(); ++i) {
        std::istringstream row(rows[i]);
        std::string attempt, t, x, y;
        std::getline(row, attempt, ','), std::getline(row, t, ','), std::getline(row, x, ',');
        std::getline(row, y, ',');
        lowX = std::min(lowX, std::stod(x)), highX = std::max(highX, std::stod(x));
        sumY += std::stod(y);
    }
    EXPECT_GT(lowX, 24.0);
    EXPECT_LT(highX, 31.0);
    EXPECT_LT(highX - lowX, 2.0) << "a played recording has no sway of its own, only sensor noise";
    EXPECT_NEAR(sumY / 100.0, -18.0, 3.0);
    EXPECT_EQ(emulator.stop(), 0);

    r = runProcess({Emulator, "--replay", dir.file("missing.csv")});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.err.find("cannot open"), std::string::npos) << r.err;
}

TEST(CliEmulator, HelpAndBadArguments) {
    auto r = runProcess({Emulator, "--help"});
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_NE(r.out.find("KENVOPLAT_SERIAL_DEVICES"), std::string::npos);
    r = runProcess({Emulator, "--model", "4"});
    EXPECT_EQ(r.exitCode, 2);
}

}  // namespace
}  // namespace kenvo
