// kenvoplat-cli measures: the three output forms, the attempt choice, usage errors and inputs
// that are refused before anything is written.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "files/measurement_file.h"
#include "model/measurement_store.h"
#include "support/csv_rows.h"
#include "support/process.h"
#include "support/temp_dir.h"
#include "support/validation_data.h"

namespace kenvo {
namespace {

using json = nlohmann::ordered_json;
using test::runProcess;

constexpr const char* Cli = KENVOPLAT_CLI;

using test::csvRows;

// `samples` samples of x = 1.5 + sin(2 pi t), y = -2 + 0.5 cos(2 pi t), to six decimals.
std::string recording(int samples) {
    std::string csv = "t_s,x_mm,y_mm\n";
    char line[96];
    for (int i = 0; i < samples; ++i) {
        const double phase = 2.0 * M_PI * i / 100.0;
        std::snprintf(line, sizeof line, "%.2f,%.6f,%.6f\n", i / 100.0, 1.5 + std::sin(phase),
                      -2.0 + 0.5 * std::cos(phase));
        csv += line;
    }
    return csv;
}

// A data set of one attempt of `mode` (target hitting or driving) saved to `path`.
void saveDataSet(const std::string& path, int32_t mode) {
    auto store = std::make_unique<MeasurementStore>();
    store->settings = TestSettings::defaults();
    store->settings.testMode = mode;
    store->calibration.scaleX = 175.0f;
    store->calibration.scaleY = 276.0f;
    store->attemptSeconds = 3;
    store->attemptCount = 1;
    store->length[0] = 300;
    for (int i = 0; i < 300; ++i)
        store->samples(0)[i] = CopSample{0.001f * static_cast<float>(i % 7), 0.0f, 0};
    ASSERT_TRUE(saveMeasurementFile(path, *store).ok);
}

struct Inputs {
    test::TempDir dir;
    std::string csv = dir.file("walk.csv");
    std::string set = dir.file("set.kplat");
    Inputs() {
        test::writeFileBytes(csv, recording(400));
        test::writeFileBytes(dir.file("short.csv"), recording(250));
        const auto r = runProcess({Cli, "import-csv", "-o", set, csv, dir.file("short.csv")});
        EXPECT_EQ(r.exitCode, 0) << r.err;
    }
};

TEST(CliMeasures, CsvAndJsonCarryTheSameRowsAndColumns) {
    Inputs in;
    const std::string out = in.dir.file("measures.csv");
    auto r = runProcess(
        {Cli, "measures", in.csv, in.set, "--lowpass", "none", "--format", "csv", "-o", out});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_TRUE(r.out.empty());
    const auto rows = csvRows(test::readFileBytes(out));
    ASSERT_EQ(rows.size(), 4u);
    const auto& header = rows[0];
    EXPECT_EQ(header[0], "file");
    EXPECT_EQ(header[1], "attempt");
    EXPECT_EQ(header[2], "n");
    EXPECT_EQ(header.back(), "lowpass_hz");
    EXPECT_EQ(rows[1][0], in.csv);
    EXPECT_EQ(rows[2][0], in.set);
    EXPECT_EQ(rows[2][1], "1");
    EXPECT_EQ(rows[3][1], "2");
    auto cell = [&](std::size_t row, const std::string& column) {
        const auto at = std::find(header.begin(), header.end(), column);
        EXPECT_NE(at, header.end()) << column;
        return rows[row][static_cast<std::size_t>(at - header.begin())];
    };
    // Four whole turns: the mean is the centre, the range the diameter, read as written.
    EXPECT_EQ(cell(1, "n"), "400");
    EXPECT_EQ(cell(1, "duration_s"), "4");
    EXPECT_NEAR(std::stod(cell(1, "mean_x_mm")), 1.5, 1e-9);
    EXPECT_NEAR(std::stod(cell(1, "range_y_mm")), 1.0, 1e-6);
    EXPECT_NEAR(std::stod(cell(1, "mean_freq_x_hz")), 1.0, 0.05);
    EXPECT_EQ(cell(1, "lowpass_hz"), "");
    EXPECT_EQ(cell(3, "n"), "250");
    // The measurement file's fixed-point grid adds a little path length, and moves the rest less.
    EXPECT_NEAR(std::stod(cell(2, "path_mm")), std::stod(cell(1, "path_mm")),
                0.05 * std::stod(cell(1, "path_mm")));
    EXPECT_NEAR(std::stod(cell(2, "area95_mm2")), std::stod(cell(1, "area95_mm2")),
                0.01 * std::stod(cell(1, "area95_mm2")));

    r = runProcess({Cli, "measures", in.csv, in.set, "--lowpass=none", "--format", "json"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    const json array = json::parse(r.out);
    ASSERT_EQ(array.size(), 3u);
    for (std::size_t row = 0; row < 3; ++row) {
        const json& object = array[row];
        ASSERT_EQ(object.size(), header.size());
        std::size_t column = 0;
        for (const auto& [key, value] : object.items()) {
            const std::string& text = rows[row + 1][column];
            EXPECT_EQ(key, header[column]);
            if (value.is_null())
                EXPECT_EQ(text, "") << key;
            else if (value.is_string())
                EXPECT_EQ(value.get<std::string>(), text);
            else
                EXPECT_EQ(value.get<double>(), std::stod(text)) << key;  // both exact
            ++column;
        }
    }
    EXPECT_TRUE(array[0]["lowpass_hz"].is_null());
    EXPECT_TRUE(array[0]["n"].is_number_integer());
}

TEST(CliMeasures, DefaultFilterAttemptChoiceAndTextForPeople) {
    Inputs in;
    auto r = runProcess({Cli, "measures", in.set, "--attempt", "2", "--format", "csv"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    auto rows = csvRows(r.out);
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[1][1], "2");
    EXPECT_EQ(rows[1].back(), "10");

    r = runProcess({Cli, "measures", in.csv, "--lowpass", "2.5", "--format", "csv"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(csvRows(r.out)[1].back(), "2.5");

    r = runProcess({Cli, "measures", in.set, "--attempt", "3"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.err.find(in.set + " has 2 attempts; there is no attempt 3"), std::string::npos)
        << r.err;
    r = runProcess({Cli, "measures", in.csv, "--attempt", "2"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.err.find(in.csv), std::string::npos) << r.err;

    // A recording too short for the filter says so; numbers in the user's decimal separator.
    test::writeFileBytes(in.dir.file("tiny.csv"), recording(12));
    r = runProcess({Cli, "measures", in.dir.file("tiny.csv"), in.csv}, {"LC_ALL=de_DE.UTF-8"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_NE(r.out.find("tiny.csv, attempt 1, unfiltered (too short)\n"), std::string::npos)
        << r.out;
    EXPECT_NE(r.out.find("walk.csv, attempt 1, low-pass 10 Hz\n"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("  ellipse angle"), std::string::npos);
    EXPECT_NE(r.out.find("n/a\n"), std::string::npos);  // frequencies of 12 samples
    EXPECT_NE(r.out.find("0,12 s\n"), std::string::npos) << r.out;
}

TEST(CliMeasures, UsageErrorsExitWithTwoAndWriteNothing) {
    Inputs in;
    const std::string out = in.dir.file("out.csv");
    for (const std::vector<std::string>& bad :
         std::vector<std::vector<std::string>>{{"--lowpass", "0.5"},
                                               {"--lowpass", "21"},
                                               {"--lowpass", "abc"},
                                               {"--lowpass", "1e1"},
                                               {"--lowpass", ""},
                                               {"--lowpass", "-5"},
                                               {"--lowpass", "10.5.1"},
                                               {"--format", "xml"},
                                               {"--attempt", "0"},
                                               {"--sideways"}}) {
        std::vector<std::string> args = {Cli, "measures", in.csv, "-o", out};
        args.insert(args.end(), bad.begin(), bad.end());
        const auto r = runProcess(args);
        EXPECT_EQ(r.exitCode, 2) << bad.back() << ": " << r.err;
        EXPECT_NE(r.err.find("usage: kenvoplat-cli measures"), std::string::npos);
    }
    EXPECT_EQ(runProcess({Cli, "measures", "-o", out}).exitCode, 2);
    EXPECT_FALSE(std::filesystem::exists(out));
    EXPECT_EQ(runProcess({Cli, "measures", in.csv, "--lowpass", "20", "-o", out}).exitCode, 0);
}

// Bad recordings, target and driving files: exit 1 with the file named, and an output that
// was there before stays as it was.
TEST(CliMeasures, RefusedInputsExitWithOneAndKeepThePreviousOutput) {
    Inputs in;
    const std::string out = in.dir.file("out.csv");
    test::writeFileBytes(out, "previous\n");
    struct Bad {
        std::string name, bytes, reason;
    };
    const std::vector<Bad> recordings = {
        {"columns.csv", "t_s,x_mm,y_mm\n0.00,1\n", "line 2"},
        {"text.csv", "t_s,x_mm,y_mm\n0.00,1,2\n0.01,1,abc\n", "line 3"},
        {"late.csv", "t_s,x_mm,y_mm\n0.00,1,2\n0.01,1,2\n0.023,1,2\n", "line 4"},
        {"one.csv", "t_s,x_mm,y_mm\n0.00,1,2\n", "one sample"},
        {"header.csv", "x,y\n1,2\n", "header"},
    };
    for (const Bad& bad : recordings) {
        const std::string path = in.dir.file(bad.name);
        test::writeFileBytes(path, bad.bytes);
        const auto r = runProcess({Cli, "measures", in.csv, path, "--format", "csv", "-o", out});
        EXPECT_EQ(r.exitCode, 1) << bad.name;
        EXPECT_NE(r.err.find(path), std::string::npos) << r.err;
        EXPECT_NE(r.err.find(bad.reason), std::string::npos) << r.err;
    }
    const std::string target = in.dir.file("target.kplat"), driving = in.dir.file("driving.kplat");
    saveDataSet(target, TestModeTargetHitting);
    saveDataSet(driving, TestModeDriving);
    for (const auto& [path, kind] :
         {std::pair{target, "target hitting"}, std::pair{driving, "driving"}}) {
        const auto r = runProcess({Cli, "measures", in.set, path, "-o", out});
        EXPECT_EQ(r.exitCode, 1) << path;
        EXPECT_NE(r.err.find(path + ": a " + kind + " test"), std::string::npos) << r.err;
    }
    const auto r = runProcess({Cli, "measures", in.dir.file("missing.kplat"), "-o", out});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.err.find("missing.kplat"), std::string::npos) << r.err;
    EXPECT_EQ(test::readFileBytes(out), "previous\n");
}

// The published values of the public balance data set, reproduced through the command line.
TEST(CliMeasures, PublishedValuesOfTheBalanceDataSet) {
    const auto dir = test::validationDir();
    if (!dir) GTEST_SKIP() << test::validationMissingReason();
    std::vector<std::vector<std::string>> published =
        csvRows(test::readFileBytes(*dir + "/published/bds_published_values.csv"));
    std::vector<std::string> args = {Cli, "measures", "--lowpass", "none", "--format", "csv"};
    for (std::size_t i = 1; i < published.size(); ++i) args.push_back(*dir + "/" + published[i][0]);
    const auto r = runProcess(args);
    ASSERT_EQ(r.exitCode, 0) << r.err;
    const auto rows = csvRows(r.out);
    ASSERT_EQ(rows.size(), published.size());
    const auto column = [&](const std::string& name) {
        return static_cast<std::size_t>(std::find(rows[0].begin(), rows[0].end(), name) -
                                        rows[0].begin());
    };
    for (std::size_t i = 1; i < rows.size(); ++i) {
        const double area = std::stod(published[i][1]), velocity = std::stod(published[i][2]),
                     frequency = std::stod(published[i][3]);
        EXPECT_NEAR(std::stod(rows[i][column("area95_mm2")]) / 100.0, area, 1e-9 * area)
            << published[i][0];
        EXPECT_NEAR(std::stod(rows[i][column("velocity_mm_s")]) / 10.0, velocity, 1e-9 * velocity);
        EXPECT_NEAR(std::stod(rows[i][column("mean_freq_hz")]), frequency, 1e-9 * frequency);
    }
}

}  // namespace
}  // namespace kenvo
