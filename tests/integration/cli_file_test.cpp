#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "model/platform_models.h"
#include "support/process.h"
#include "support/temp_dir.h"
#include "support/validation_data.h"

namespace kenvo {
namespace {

struct CliRun {
    int status = -1;
    std::string out;
    std::string err;
};

// Runs the tool with `args`, capturing both output streams.
CliRun runCli(const test::TempDir&, const std::vector<std::string>& args) {
    std::vector<std::string> words = {KENVOPLAT_CLI};
    words.insert(words.end(), args.begin(), args.end());
    const test::ProcessResult r = test::runProcess(words);
    return {r.exitCode, r.out, r.err};
}

struct Row {
    int attempt;
    double t, x, y;
    int heart;
    double deviation;
};

std::vector<Row> parseExport(const std::string& csv) {
    std::istringstream in(csv);
    std::string line;
    std::getline(in, line);
    EXPECT_EQ(line, "attempt,t_s,x_mm,y_mm,heart_bpm,deviation_mm");
    std::vector<Row> rows;
    while (std::getline(in, line)) {
        Row r{};
        char* p = line.data();
        r.attempt = static_cast<int>(std::strtol(p, &p, 10));
        r.t = std::strtod(p + 1, &p);
        r.x = std::strtod(p + 1, &p);
        r.y = std::strtod(p + 1, &p);
        r.heart = static_cast<int>(std::strtol(p + 1, &p, 10));
        r.deviation = std::strtod(p + 1, &p);
        EXPECT_EQ(*p, '\0') << line;
        rows.push_back(r);
    }
    return rows;
}

// A recording of `samples` samples in the input format.
std::string recordingCsv(int samples) {
    std::string csv = "t_s,x_mm,y_mm\n";
    for (int j = 0; j < samples; ++j)
        csv += std::to_string(j / 100) + "." + (j % 100 < 10 ? "0" : "") + std::to_string(j % 100) +
               ",1.5,-2.25\n";
    return csv;
}

TEST(CliFiles, ImportThenExportGivesBackEveryValidationRecording) {
    const auto files = test::validationFiles();
    if (files.empty()) GTEST_SKIP() << test::validationMissingReason();
    test::TempDir dir;
    const std::string data = dir.file("validation.kplat");
    std::vector<std::string> args = {"import-csv", "--subject", "Validation \u0160", "-o", data};
    args.insert(args.end(), files.begin(), files.end());
    CliRun run = runCli(dir, args);
    ASSERT_EQ(run.status, 0) << run.err;

    const std::string csv = dir.file("out.csv");
    run = runCli(dir, {"export-csv", data, "-o", csv});
    ASSERT_EQ(run.status, 0) << run.err;
    const auto rows = parseExport(test::readFileBytes(csv));

    // One storage step of each axis for model 0, plus the float rounding of the millimetres.
    const ModelScales scales = modelScales(0, 0);
    const double stepX = 1e-4 * scales.scaleX + 1e-4, stepY = 1e-4 * scales.scaleY + 1e-4;
    std::size_t row = 0;
    double worstX = 0, worstY = 0;
    for (std::size_t f = 0; f < files.size(); ++f) {
        const test::Recording input = test::loadRecording(files[f]);
        for (std::size_t j = 0; j < input.xMm.size(); ++j, ++row) {
            ASSERT_LT(row, rows.size());
            const Row& r = rows[row];
            ASSERT_EQ(r.attempt, static_cast<int>(f + 1));
            ASSERT_NEAR(r.t, j * 0.01, 1e-9);
            ASSERT_NEAR(r.x, input.xMm[j], stepX) << input.name << " sample " << j;
            ASSERT_NEAR(r.y, input.yMm[j], stepY) << input.name << " sample " << j;
            ASSERT_EQ(r.heart, 0);
            ASSERT_EQ(r.deviation, 0.0);
            worstX = std::max(worstX, std::fabs(r.x - input.xMm[j]));
            worstY = std::max(worstY, std::fabs(r.y - input.yMm[j]));
        }
    }
    EXPECT_EQ(row, rows.size());
    RecordProperty("worst_x_mm", std::to_string(worstX));
    RecordProperty("worst_y_mm", std::to_string(worstY));

    run = runCli(dir, {"info", data});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_NE(run.out.find("signature: Kenvo_Plat_V1.1\n"), std::string::npos);
    EXPECT_NE(run.out.find("subject: Validation \u0160\n"), std::string::npos);
    EXPECT_NE(run.out.find("attempt duration: 60 s\n"), std::string::npos);  // the longest input
    EXPECT_NE(run.out.find("attempts: " + std::to_string(files.size()) + "\n"), std::string::npos);
    EXPECT_NE(run.out.find(", 3000 samples, target 0 (left)\n"), std::string::npos);

    // One attempt alone.
    run = runCli(dir, {"export-csv", data, "--attempt", "2"});
    ASSERT_EQ(run.status, 0) << run.err;
    const auto second = parseExport(run.out);
    ASSERT_EQ(second.size(), test::loadRecording(files[1]).xMm.size());
    EXPECT_EQ(second.front().attempt, 2);
}

TEST(CliFiles, RefusedInputsLeaveNoOutputAndKeepThePreviousOne) {
    test::TempDir dir;
    const std::string ok = dir.file("ok.csv"), tooLong = dir.file("long.csv"),
                      bad = dir.file("bad.csv");
    test::writeFileBytes(ok, recordingCsv(250));
    test::writeFileBytes(tooLong, recordingCsv(30001));
    test::writeFileBytes(bad, "t_s,x_mm,y_mm\n0.00,1,2\n0.01,abc,2\n");
    const std::string out = dir.file("out.kplat");

    CliRun run = runCli(dir, {"import-csv", "-o", out, ok, tooLong});
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find("more than 30000 samples"), std::string::npos) << run.err;
    EXPECT_FALSE(std::filesystem::exists(out));

    run = runCli(dir, {"import-csv", "-o", out, ok});
    ASSERT_EQ(run.status, 0) << run.err;
    const std::string previous = test::readFileBytes(out);
    run = runCli(dir, {"import-csv", "-o", out, ok, bad});
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find("bad.csv line 3"), std::string::npos) << run.err;
    EXPECT_EQ(test::readFileBytes(out), previous);

    test::writeFileBytes(bad, "x,y\n1,2\n");
    EXPECT_EQ(runCli(dir, {"import-csv", "-o", out, bad}).status, 1);
    test::writeFileBytes(bad, "t_s,x_mm,y_mm\n0.00,1,2\n0.05,1,2\n");
    EXPECT_EQ(runCli(dir, {"import-csv", "-o", out, bad}).status, 1);  // not 100 Hz
    EXPECT_EQ(runCli(dir, {"import-csv", "-o", out, dir.file("absent.csv")}).status, 1);

    std::vector<std::string> many = {"import-csv", "-o", out};
    many.insert(many.end(), 502, ok);
    run = runCli(dir, many);
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find("501"), std::string::npos);
    EXPECT_EQ(test::readFileBytes(out), previous);

    // The stance time is the longest input's whole seconds.
    run = runCli(dir, {"info", out});
    EXPECT_NE(run.out.find("stanceTime 2,"), std::string::npos) << run.out;

    // Files that are not measurement files, and attempts that do not exist.
    run = runCli(dir, {"export-csv", ok});
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find("Incompatible data"), std::string::npos);
    run = runCli(dir, {"export-csv", out, "--attempt", "2", "-o", dir.file("x.csv")});
    EXPECT_EQ(run.status, 1);
    EXPECT_FALSE(std::filesystem::exists(dir.file("x.csv")));
    EXPECT_EQ(runCli(dir, {"info", dir.file("absent.kplat")}).status, 1);
}

TEST(CliFiles, UsageErrorsExitWithTwo) {
    test::TempDir dir;
    const std::string ok = dir.file("ok.csv");
    test::writeFileBytes(ok, recordingCsv(10));
    for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{
             {"import-csv", ok},
             {"import-csv", "-o", dir.file("a.kplat")},
             {"import-csv", "--model", "4", "-o", dir.file("a.kplat"), ok},
             {"import-csv", "--colour", "-o", dir.file("a.kplat"), ok},
             {"export-csv"},
             {"export-csv", "a.kplat", "--attempt", "0"},
             {"info"},
             {"info", "a", "b"}}) {
        const CliRun run = runCli(dir, args);
        EXPECT_EQ(run.status, 2) << args[0] << " " << (args.size() > 1 ? args[1] : "");
        EXPECT_NE(run.err.find("usage:"), std::string::npos);
    }
    EXPECT_FALSE(std::filesystem::exists(dir.file("a.kplat")));
    const CliRun help = runCli(dir, {"--help"});
    EXPECT_NE(help.out.find("import-csv [--model M] [--subject NAME] -o FILE.kplat INPUT.csv..."),
              std::string::npos);
}

}  // namespace
}  // namespace kenvo
