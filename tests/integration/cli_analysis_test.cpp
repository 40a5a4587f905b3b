// The analysis commands end to end: tables, spreadsheet export and the batch analysis, and the
// spreadsheet files read back by LibreOffice Calc when it is installed.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "files/measurement_file.h"
#include "model/graph_settings.h"
#include "model/measurement_store.h"
#include "support/csv_rows.h"
#include "support/process.h"
#include "support/temp_dir.h"
#include "support/validation_data.h"

namespace kenvo {
namespace {

using test::runProcess;
const std::string Cli = KENVOPLAT_CLI;

using test::csvRows;

// A small stance data set: two attempts of a circle walked at 1 rev/s, radius 10 and 20 mm.
std::string makeDataSet(const test::TempDir& dir) {
    std::vector<std::string> args = {Cli, "import-csv", "--subject", "Novák & <Co>", "-o", dir.file("set.kplat")};
    for (int a = 1; a <= 2; ++a) {
        std::ostringstream csv;
        csv << "t_s,x_mm,y_mm\n";
        for (int k = 0; k < 500; ++k) {
            const double t = k * 0.01;
            char line[96];
            std::snprintf(line, sizeof line, "%.2f,%.6f,%.6f\n", t, 10.0 * a * std::cos(2 * M_PI * t),
                          10.0 * a * std::sin(2 * M_PI * t));
            csv << line;
        }
        const std::string path = dir.file("in" + std::to_string(a) + ".csv");
        test::writeFileBytes(path, csv.str());
        args.push_back(path);
    }
    const auto r = runProcess(args);
    EXPECT_EQ(r.exitCode, 0) << r.err;
    return dir.file("set.kplat");
}

TEST(CliTable, TextAndCsvForms) {
    test::TempDir dir;
    const std::string set = makeDataSet(dir);
    auto r = runProcess({Cli, "table", "summary", set});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    const auto lines = csvRows(r.out);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(r.out.substr(0, 2), "1\t");
    r = runProcess({Cli, "table", "summary", set, "--format", "csv"});
    ASSERT_EQ(r.exitCode, 0);
    const auto rows = csvRows(r.out);
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[0], (std::vector<std::string>{"Attempt #", "Length X (mm)", "Length Y (mm)", "DX/DY (1)",
                                                 "Velocity-mean (mm/s)", "Mean Distance (mm)"}));
    // Radius 20 mm at one turn a second: about 2 pi 20 = 125.7 mm/s, 20 mm from the centre.
    EXPECT_NEAR(std::stod(rows[2][4]), 125.4, 0.6);
    EXPECT_NEAR(std::stod(rows[2][5]), 20.0, 0.1);
    r = runProcess({Cli, "table", "interval", set, "--interval", "2", "--attempt", "2", "--format", "csv"});
    ASSERT_EQ(r.exitCode, 0);
    const auto cut = csvRows(r.out);
    ASSERT_EQ(cut.size(), 6u);  // header, 0-2, 2-4, 4-5, blank, Summary:
    EXPECT_EQ(cut[3][0], "4 -   5");
    EXPECT_EQ(cut[5][0], "Summary:");
    r = runProcess({Cli, "table", "attempt", set, "--attempt", "3"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.err.find("there is no attempt 3"), std::string::npos);
    r = runProcess({Cli, "table", "sideways", set});
    EXPECT_EQ(r.exitCode, 2);
    r = runProcess({Cli, "table", "summary", dir.file("missing.kplat")});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.err.find("Error opening file"), std::string::npos);
}

// The same attempts saved as a data set of another test.
std::string withTestMode(const std::string& set, int32_t testMode, const std::string& path) {
    auto store = std::make_unique<MeasurementStore>();
    GraphSettings graph = GraphSettings::defaults();
    EXPECT_TRUE(loadMeasurementFile(set, *store, graph));
    store->settings.testMode = testMode;
    EXPECT_TRUE(saveMeasurementFile(path, *store));
    return path;
}

// The Target Summary lists targets and the Driving Summary deviations from a track; for another
// kind of data set every command that shows them refuses with a plain reason and writes nothing.
TEST(CliTable, TargetAndDrivingTablesOnlyForTheirOwnDataSets) {
    test::TempDir dir;
    const std::string stance = makeDataSet(dir);
    const std::string target = withTestMode(stance, TestModeTargetHitting, dir.file("target.kplat"));
    const std::string unused = withTestMode(stance, TestModeUnused, dir.file("mode2.kplat"));
    const std::string driving = withTestMode(stance, TestModeDriving, dir.file("driving.kplat"));
    struct Case {
        std::string file, table, holds;
    };
    for (const Case& c : {Case{stance, "target", "a stance data set"}, Case{stance, "driving", "a stance data set"},
                          Case{target, "driving", "a target hitting data set"},
                          Case{driving, "target", "a driving data set"},
                          Case{unused, "driving", "a data set of test mode 2"}}) {
        const std::string needs = c.table == "target" ? "the Target Summary needs a target hitting data set"
                                                      : "the Driving Summary needs a driving data set";
        auto r = runProcess({Cli, "table", c.table, c.file});
        EXPECT_EQ(r.exitCode, 1) << c.file << " " << c.table;
        EXPECT_TRUE(r.out.empty()) << r.out;
        EXPECT_EQ(r.err, "kenvoplat-cli table: " + c.file + " holds " + c.holds + "; " + needs + "\n");
        const std::string xml = dir.file("refused.xml");
        r = runProcess({Cli, "export-xml", c.table, c.file, "-o", xml});
        EXPECT_EQ(r.exitCode, 1) << c.file << " " << c.table;
        EXPECT_NE(r.err.find(needs), std::string::npos) << r.err;
        EXPECT_FALSE(std::filesystem::exists(xml));
        const std::string pdf = dir.file("refused.pdf");
        r = runProcess({Cli, "print", c.table, c.file, "-o", pdf});
        EXPECT_EQ(r.exitCode, 1) << c.file << " " << c.table;
        EXPECT_NE(r.err.find(needs), std::string::npos) << r.err;
        EXPECT_FALSE(std::filesystem::exists(pdf));
    }
    for (const auto& [file, table] : {std::pair{target, "target"}, std::pair{unused, "target"},
                                      std::pair{driving, "driving"}}) {
        const auto r = runProcess({Cli, "table", table, file});
        EXPECT_EQ(r.exitCode, 0) << file << " " << table << ": " << r.err;
        EXPECT_FALSE(r.out.empty());
    }
    // The other tables suit every kind of data set.
    EXPECT_EQ(runProcess({Cli, "table", "summary", driving}).exitCode, 0);
}

TEST(CliDiffusion, ResultTextsAndCurve) {
    test::TempDir dir;
    const std::string set = makeDataSet(dir);
    auto r = runProcess({Cli, "diffusion", set, "--attempt", "2"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    const auto lines = csvRows(r.out);
    ASSERT_EQ(lines.size(), 6u);
    EXPECT_EQ(lines[0][0], "x result: 0");
    EXPECT_EQ(lines[3][0], "y1= -1.111 x");  // no lags left of a marker at 0
    EXPECT_EQ(lines[5][0].substr(0, 13), "result[x][y]:");
    r = runProcess({Cli, "diffusion", set, "--marker", "20", "--param", "r2"});
    ASSERT_EQ(r.exitCode, 0);
    EXPECT_EQ(r.out.substr(0, 13), "x result: 20\n");
    r = runProcess({Cli, "diffusion", set, "--curve", "--span", "5"});
    ASSERT_EQ(r.exitCode, 0);
    const auto curve = csvRows(r.out);
    ASSERT_EQ(curve.size(), 1002u);  // header and lags 0..1000
    EXPECT_EQ(curve[0], (std::vector<std::string>{"lag", "r", "r2", "x", "y"}));
    // A circle of radius 10 walked once a second: samples half a turn (50 lags) apart are a
    // diameter apart.
    EXPECT_NEAR(std::stod(curve[51][1]), 20.0, 0.05);
    EXPECT_EQ(curve[600][1], "0.000000");  // 500 samples: lag 600 has no pairs
    EXPECT_EQ(runProcess({Cli, "diffusion", set, "--param", "z"}).exitCode, 2);
}

TEST(CliBatch, SkipsFilesThatDoNotLoadAndWritesTheRest) {
    test::TempDir dir;
    const std::string set = makeDataSet(dir);
    test::writeFileBytes(dir.file("bad.kplat"), "\x0fKenvo_Plat_V1.0");
    const std::string out = dir.file("analysis.xml");
    auto r = runProcess({Cli, "batch", set, dir.file("bad.kplat"), set, "-o", out});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.err.find("skipped " + dir.file("bad.kplat") + ": Incompatible data"), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("4 rows from 2 of 3 files"), std::string::npos) << r.err;
    const std::string xml = test::readFileBytes(out);
    EXPECT_NE(xml.find("Nov\xC3\xA1k &amp; &lt;Co&gt;"), std::string::npos);  // UTF-8 and escaped
    r = runProcess({Cli, "batch", set, "-o", dir.file("nodir/analysis.xml")});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_FALSE(std::filesystem::exists(dir.file("nodir")));
}

// Lengths, DX/DY, mean velocity and mean distance of every validation recording, imported with
// import-csv, against an independent double-precision computation over the samples as the file
// holds them (export-csv gives the stored fractions times the scales).
TEST(CliTable, SummaryOfTheValidationRecordingsAgreesWithAnIndependentComputation) {
    const auto files = test::validationFiles();
    if (files.empty()) GTEST_SKIP() << test::validationMissingReason();
    test::TempDir dir;
    std::vector<std::string> import = {Cli, "import-csv", "-o", dir.file("v.kplat")};
    import.insert(import.end(), files.begin(), files.end());
    ASSERT_EQ(runProcess(import).exitCode, 0);
    const auto table = runProcess({Cli, "table", "summary", dir.file("v.kplat"), "--format", "csv"});
    const auto samples = runProcess({Cli, "export-csv", dir.file("v.kplat")});
    ASSERT_EQ(table.exitCode, 0);
    ASSERT_EQ(samples.exitCode, 0);
    const auto summary = csvRows(table.out);
    const auto rows = csvRows(samples.out);
    ASSERT_EQ(summary.size(), files.size() + 1);
    std::vector<std::vector<std::pair<double, double>>> attempts(files.size());
    for (std::size_t i = 1; i < rows.size(); ++i)
        attempts[std::stoul(rows[i][0]) - 1].push_back({std::stod(rows[i][2]), std::stod(rows[i][3])});
    for (std::size_t a = 0; a < files.size(); ++a) {
        const auto& p = attempts[a];
        const double n = static_cast<double>(p.size());
        double lx = 0, ly = 0, path = 0, mx = 0, my = 0;
        for (std::size_t k = 0; k < p.size(); ++k) {
            mx += p[k].first / n;
            my += p[k].second / n;
            if (k == 0) continue;
            lx += std::fabs(p[k].first - p[k - 1].first);
            ly += std::fabs(p[k].second - p[k - 1].second);
            path += std::hypot(p[k].first - p[k - 1].first, p[k].second - p[k - 1].second);
        }
        double distance = 0;
        for (const auto& q : p) distance += std::hypot(q.first - mx, q.second - my) / n;
        const double independent[] = {lx, ly, lx / ly, path / (n * 0.01), distance};
        for (int c = 0; c < 5; ++c) {
            char printed[32];
            std::snprintf(printed, sizeof printed, "%.1f", independent[c]);
            EXPECT_LE(std::fabs(std::stod(summary[a + 1][static_cast<std::size_t>(c) + 1]) - std::stod(printed)), 0.1 + 1e-9)
                << files[a] << " column " << c + 1 << ": program " << summary[a + 1][static_cast<std::size_t>(c) + 1]
                << ", independent " << printed;
        }
    }
}

std::optional<std::string> soffice() {
    for (const char* p : {"/usr/bin/soffice", "/usr/bin/libreoffice"})
        if (std::filesystem::exists(p)) return std::string(p);
    return std::nullopt;
}

// Converts a spreadsheet document to UTF-8 CSV with LibreOffice Calc.
std::vector<std::vector<std::string>> openInCalc(const std::string& office, const test::TempDir& dir,
                                                 const std::string& xml) {
    const auto r = runProcess({office, "--headless", "--convert-to", "csv:Text - txt - csv (StarCalc):44,34,76",
                               "--outdir", dir.file("calc"), xml},
                              {"HOME=" + dir.path()}, 120);
    EXPECT_EQ(r.exitCode, 0) << r.err;
    const std::string csv = dir.file("calc/" + std::filesystem::path(xml).stem().string() + ".csv");
    return csvRows(test::readFileBytes(csv));
}

TEST(SpreadsheetInCalc, ExportedTablesOpenWithTheSameNumbers) {
    const auto office = soffice();
    if (!office) GTEST_SKIP() << "LibreOffice Calc is not installed";
    const auto files = test::validationFiles();
    if (files.empty()) GTEST_SKIP() << test::validationMissingReason();
    test::TempDir dir;
    std::vector<std::string> import = {Cli, "import-csv", "--subject", "Validation", "-o", dir.file("v.kplat")};
    import.insert(import.end(), files.begin(), files.end());
    ASSERT_EQ(runProcess(import).exitCode, 0);
    auto table = runProcess({Cli, "table", "summary", dir.file("v.kplat"), "--format", "csv"});
    ASSERT_EQ(table.exitCode, 0);
    const auto expected = csvRows(table.out);
    ASSERT_EQ(expected.size(), files.size() + 1);

    ASSERT_EQ(runProcess({Cli, "export-xml", "summary", dir.file("v.kplat"), "-o", dir.file("noname.xml")}).exitCode, 0);
    ASSERT_EQ(runProcess({Cli, "batch", dir.file("v.kplat"), "-o", dir.file("analysis.xml")}).exitCode, 0);

    const auto single = openInCalc(*office, dir, dir.file("noname.xml"));
    // Name, weight and date, a blank title row, two header rows, then the data.
    ASSERT_EQ(single.size(), 6 + files.size());
    EXPECT_EQ(single[0][0].substr(0, 16), "Name: Validation");
    for (std::size_t i = 0; i < files.size(); ++i)
        for (std::size_t c = 0; c < 6; ++c)
            EXPECT_DOUBLE_EQ(std::stod(single[6 + i][c]), std::stod(expected[1 + i][c])) << "row " << i << " col " << c;

    const auto batch = openInCalc(*office, dir, dir.file("analysis.xml"));
    ASSERT_EQ(batch.size(), 4 + files.size());  // group row, two header rows, NAME:, data
    EXPECT_EQ(batch[4][0], "Validation");
    for (std::size_t i = 0; i < files.size(); ++i) {
        const auto& row = batch[4 + i];
        for (std::size_t c = 1; c <= 4; ++c) EXPECT_DOUBLE_EQ(std::stod(row[c]), std::stod(expected[1 + i][c - 1]));
        EXPECT_DOUBLE_EQ(std::stod(row[5]), std::stod(expected[1 + i][4]));  // the mean velocity
        EXPECT_DOUBLE_EQ(std::stod(row[6]), std::stod(expected[1 + i][5]));  // the mean distance
    }
}

}  // namespace
}  // namespace kenvo
