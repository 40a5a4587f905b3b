// kenvoplat-cli sensory and report: a sensory test assembled from real recordings and simulated
// trials, its results compared with an independent implementation, and the report as a PDF.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "platform/cop_source.h"
#include "support/csv_rows.h"
#include "support/process.h"
#include "support/temp_dir.h"
#include "support/validation_data.h"

namespace kenvo {
namespace {

using test::runProcess;

constexpr const char* Cli = KENVOPLAT_CLI;
constexpr const char* Reference = KENVO_SENSORY_REFERENCE;
constexpr const char* NormsCsv = KENVO_NORMS_CSV;
constexpr const char* Python = "/usr/bin/python3";

using Row = std::vector<std::string>;

using test::csvRows;

// 60 s of the simulated subject standing in `condition`, as a COP recording.
std::string simulatedRecording(SensoryCondition condition, uint32_t seed) {
    QuietStanceSource subject(seed, {1.0, -5.0});
    subject.setCondition(condition);
    std::string csv = "t_s,x_mm,y_mm\n";
    char line[96];
    for (int i = 0; i < 6000; ++i) {
        const CopPoint p = subject.at(i);
        std::snprintf(line, sizeof line, "%.2f,%.6f,%.6f\n", i / 100.0, p.xMm, p.yMm);
        csv += line;
    }
    return csv;
}

bool referenceToolsPresent() {
    return runProcess({Python, "-c", "import numpy, scipy"}).exitCode == 0;
}

class SensoryCommand : public ::testing::Test {
  protected:
    void SetUp() override {
        const auto folder = test::validationDir();
        if (!folder) GTEST_SKIP() << test::validationMissingReason();
        // Three trials per condition: one real recording where the data set has one of that
        // condition (BDS00001 eyes open firm, BDS00004 eyes closed firm, BDS00010 eyes closed
        // foam), simulated ones for the rest.
        const std::vector<std::pair<std::string, SensoryCondition>> real = {
            {"BDS00001.csv", SensoryCondition::EoFirm},
            {"BDS00004.csv", SensoryCondition::EcFirm},
            {"BDS00010.csv", SensoryCondition::EcFoam}};
        std::vector<std::string> inputs;
        std::string conditions;
        uint32_t seed = 1;
        for (const SensoryCondition c : SensoryConditions) {
            for (int trial = 0; trial < 3; ++trial) {
                std::string input;
                for (const auto& [name, condition] : real)
                    if (condition == c && trial == 1) input = *folder + "/" + name;
                if (input.empty()) {
                    input = dir.file("sim" + std::to_string(seed) + ".csv");
                    std::ofstream(input) << simulatedRecording(c, seed++);
                }
                inputs.push_back(input);
                conditions += (conditions.empty() ? "" : ",") + std::string(conditionName(c));
            }
        }
        file = dir.file("sensory.kplat");
        std::vector<std::string> argv = {Cli,
                                         "import-csv",
                                         "--subject",
                                         "Nováková Jana",
                                         "--birth-date",
                                         "1958-03-14",
                                         "--code",
                                         "P-0042",
                                         "--recorded-at",
                                         "2026-12-08T09:30:00Z",
                                         "--conditions",
                                         conditions,
                                         "-o",
                                         file};
        argv.insert(argv.end(), inputs.begin(), inputs.end());
        const auto made = runProcess(argv);
        ASSERT_EQ(made.exitCode, 0) << made.err;
    }

    test::TempDir dir;
    std::string file;
};

// Every median, reference mean and SD, z, percentile, band and quotient the program prints
// equals, to a relative 1e-9, what a separate implementation (NumPy and SciPy, reading the
// stored integers of the measurement file) computes; rows it leaves out are conditions or
// measures without a value in the program's output too.
TEST_F(SensoryCommand, ResultsEqualAnIndependentImplementation) {
    if (!referenceToolsPresent())
        GTEST_SKIP() << "python3-numpy and python3-scipy are not installed";
    for (const char* lowpass : {"none", "10"}) {
        const auto program =
            runProcess({Cli, "sensory", file, "--lowpass", lowpass, "--format", "csv"});
        ASSERT_EQ(program.exitCode, 0) << program.err;
        const auto reference =
            runProcess({Python, Reference, file, NormsCsv, "--lowpass", lowpass}, {}, 120);
        ASSERT_EQ(reference.exitCode, 0) << reference.err;

        std::map<std::pair<std::string, std::string>, Row> expected;
        for (const Row& row : csvRows(reference.out)) expected[{row[0], row[1]}] = row;
        const auto rows = csvRows(program.out);
        ASSERT_EQ(rows.front(), expected.at({"condition", "measure"}));
        int compared = 0;
        for (std::size_t i = 1; i < rows.size(); ++i) {
            const Row& got = rows[i];
            ASSERT_EQ(got.size(), 9u) << program.out;
            const auto want = expected.find({got[0], got[1]});
            if (want == expected.end()) {
                EXPECT_TRUE(got[3].empty())
                    << got[0] << " " << got[1] << " has a value the reference lacks";
                continue;
            }
            for (std::size_t k = 2; k < 9; ++k) {
                const std::string& a = got[k];
                const std::string& b = want->second[k];
                const std::string where = std::string(lowpass) + " " + got[0] + " " + got[1] +
                                          " column " + std::to_string(k);
                if (a.empty() || b.empty() || k == 8) {
                    EXPECT_EQ(a, b) << where;
                    continue;
                }
                const double x = std::stod(a), y = std::stod(b);
                EXPECT_NEAR(x, y, 1e-9 * std::max(1.0, std::abs(y))) << where;
                ++compared;
            }
        }
        // 4 conditions x 29 measures, the norm columns of 3 x 4, six quotients: most of them.
        EXPECT_GT(compared, 150) << lowpass;
    }
}

TEST_F(SensoryCommand, TextNamesTheAgeGroupAndTheQuotientsAndJsonHasEveryCondition) {
    const auto text = runProcess({Cli, "sensory", file});
    ASSERT_EQ(text.exitCode, 0) << text.err;
    EXPECT_NE(text.out.find("Old"), std::string::npos) << text.out;  // 68 on the day
    EXPECT_NE(text.out.find("Romberg"), std::string::npos);
    EXPECT_NE(text.out.find("Santos DA, Duarte M"), std::string::npos);
    const auto json = runProcess({Cli, "sensory", file, "--format", "json"});
    ASSERT_EQ(json.exitCode, 0) << json.err;
    for (const SensoryCondition c : SensoryConditions)
        EXPECT_NE(json.out.find("\"" + std::string(conditionName(c)) + "\""), std::string::npos);
}

TEST_F(SensoryCommand, APlainStanceFileOrAStaleSidecarIsNoSensoryTest) {
    // The sidecar no longer matches the file: it is reported and ignored.
    std::filesystem::last_write_time(
        file, std::filesystem::last_write_time(file) + std::chrono::seconds(5));
    const auto stale = runProcess({Cli, "sensory", file, "--format", "csv"});
    EXPECT_EQ(stale.exitCode, 1);
    EXPECT_TRUE(stale.out.empty());
    EXPECT_NE(stale.err.find("sensory.kplat.json"), std::string::npos) << stale.err;
    EXPECT_NE(stale.err.find("no sensory balance test"), std::string::npos) << stale.err;
    // Usage errors write nothing and say what is wrong.
    for (const std::vector<std::string>& bad : {std::vector<std::string>{Cli, "sensory"},
                                                {Cli, "sensory", file, "--lowpass", "30"},
                                                {Cli, "sensory", file, "--format", "xml"}}) {
        const auto r = runProcess(bad);
        EXPECT_EQ(r.exitCode, 2) << bad.back();
        EXPECT_TRUE(r.out.empty());
    }
}

// The register keeps each attempt's condition: the history of a sensory session is the median
// over the attempts of the chosen condition, the same number "sensory" prints for it.
TEST_F(SensoryCommand, HistoryPerConditionIsTheConditionsMedian) {
    const std::string db = dir.file("register.sqlite");
    const auto scan = runProcess({Cli, "register", "scan", "--db", db, dir.path()}, {}, 60);
    ASSERT_EQ(scan.exitCode, 0) << scan.err;
    EXPECT_NE(scan.out.find("added 1\n"), std::string::npos) << scan.out;
    const auto results = runProcess({Cli, "sensory", file, "--format", "csv"});
    ASSERT_EQ(results.exitCode, 0);
    std::map<std::pair<std::string, std::string>, std::string> median;
    for (const Row& row : csvRows(results.out))
        if (row.size() > 3) median[{row[0], row[1]}] = row[3];
    for (const SensoryCondition c : SensoryConditions) {
        for (const char* measure : {"area95_mm2", "velocity_mm_s"}) {
            const auto history =
                runProcess({Cli, "register", "history", "1", "--measure", measure, "--condition",
                            std::string(conditionName(c)), "--format", "csv", "--db", db});
            ASSERT_EQ(history.exitCode, 0) << history.err;
            const auto rows = csvRows(history.out);
            ASSERT_EQ(rows.size(), 2u) << history.out;
            EXPECT_EQ(rows[1][3], "3");
            EXPECT_NEAR(std::stod(rows[1][4]),
                        std::stod(median.at({std::string(conditionName(c)), measure})),
                        1e-9 * std::stod(rows[1][4]))
                << conditionName(c) << " " << measure;
        }
    }
    const auto sessions =
        runProcess({Cli, "register", "sessions", "1", "--format", "csv", "--db", db});
    EXPECT_NE(sessions.out.find(",sensory,"), std::string::npos) << sessions.out;
    const auto bad = runProcess({Cli, "register", "history", "1", "--measure", "area95_mm2",
                                 "--condition", "eyes-shut", "--db", db});
    EXPECT_EQ(bad.exitCode, 2);
}

// The report is one A4 page whose text a physician can read: the patient, the four conditions,
// the units, the quotients and the source of the reference values.
TEST_F(SensoryCommand, TheReportIsOnePageWithThePatientConditionsUnitsAndSource) {
    if (!std::filesystem::exists("/usr/bin/pdftotext"))
        GTEST_SKIP() << "poppler-utils is not installed";
    const std::string pdf = dir.file("report.pdf");
    const auto made =
        runProcess({Cli, "report", file, "-o", pdf, "--clinic", "Balance Clinic"}, {}, 60);
    ASSERT_EQ(made.exitCode, 0) << made.err;
    const auto info = runProcess({"/usr/bin/pdfinfo", pdf});
    ASSERT_EQ(info.exitCode, 0);
    EXPECT_NE(info.out.find("Pages:           1"), std::string::npos) << info.out;
    EXPECT_NE(info.out.find("A4"), std::string::npos) << info.out;
    // The patient's page is private to the user.
    EXPECT_EQ(std::filesystem::status(pdf).permissions() & std::filesystem::perms::all,
              std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
    const auto text = runProcess({"/usr/bin/pdftotext", "-layout", pdf, "-"});
    ASSERT_EQ(text.exitCode, 0);
    for (const char* expected :
         {"Balance Clinic", "Nováková Jana", "P-0042", "1958-03-14", "age 68",
          "Eyes open, firm surface", "Eyes closed, firm surface", "Eyes open, foam",
          "Eyes closed, foam", "mm/s", "Hz", "Romberg", "Santos DA, Duarte M", "age group Old",
          "low-passed at 10 Hz", "Signature", "Page 1 of 1"})
        EXPECT_NE(text.out.find(expected), std::string::npos) << expected << "\n" << text.out;
    // The area's unit, whichever way the text extraction spells the superscript.
    EXPECT_TRUE(text.out.find("mm²") != std::string::npos ||
                text.out.find("mm2") != std::string::npos);

    // A logo that is not a picture is refused with its name, and nothing is written.
    const std::string bad = dir.file("logo.png");
    std::ofstream(bad) << "not a picture";
    const std::string none = dir.file("none.pdf");
    const auto refused = runProcess({Cli, "report", file, "-o", none, "--logo", bad});
    EXPECT_EQ(refused.exitCode, 1);
    EXPECT_NE(refused.err.find("logo.png"), std::string::npos) << refused.err;
    EXPECT_FALSE(std::filesystem::exists(none));
}

}  // namespace
}  // namespace kenvo
