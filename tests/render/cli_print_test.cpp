// The printed reports as real PDF files: page counts and texts read back with poppler's
// pdfinfo and pdftotext, as a user's viewer would see them.
#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "support/process.h"
#include "support/temp_dir.h"

namespace kenvo {
namespace {

using test::runProcess;
const std::string Cli = KENVOPLAT_CLI;

bool havePoppler() { return std::filesystem::exists("/usr/bin/pdfinfo") && std::filesystem::exists("/usr/bin/pdftotext"); }

// A stance data set of `attempts` one-second attempts (a slow drift to the right).
std::string dataSet(const test::TempDir& dir, int attempts, const std::string& name) {
    std::ostringstream csv;
    csv << "t_s,x_mm,y_mm\n";
    for (int k = 0; k < 100; ++k) csv << k / 100 << "." << (k % 100 < 10 ? "0" : "") << k % 100 << "," << k * 0.1 << ",1.5\n";
    test::writeFileBytes(dir.file("a.csv"), csv.str());
    std::vector<std::string> args = {Cli, "import-csv", "--subject", "Print Test", "-o", dir.file(name)};
    for (int i = 0; i < attempts; ++i) args.push_back(dir.file("a.csv"));
    const auto r = runProcess(args);
    EXPECT_EQ(r.exitCode, 0) << r.err;
    return dir.file(name);
}

int pages(const std::string& pdf) {
    const auto r = runProcess({"/usr/bin/pdfinfo", pdf});
    const auto at = r.out.find("Pages:");
    return at == std::string::npos ? -1 : std::stoi(r.out.substr(at + 6));
}

std::string pageText(const std::string& pdf, int page) {
    const std::string p = std::to_string(page);
    return runProcess({"/usr/bin/pdftotext", "-f", p, "-l", p, "-layout", pdf, "-"}).out;
}

// The title of a page: the words of its first line before the page number, so "REPORT" does not
// match "DIGITAL SUMMARY REPORT".
std::string pageTitle(const std::string& text) {
    std::istringstream lines(text);
    std::string line;
    while (std::getline(lines, line) && line.find_first_not_of(' ') == std::string::npos) {
    }
    const auto start = line.find_first_not_of(' ');
    if (start == std::string::npos) return {};
    const auto end = line.find("   ", start);
    return line.substr(start, end == std::string::npos ? std::string::npos : end - start);
}

TEST(CliPrint, SummaryPagesFollowTheRowCount) {
    if (!havePoppler()) GTEST_SKIP() << "poppler-utils (pdfinfo, pdftotext) is not installed";
    test::TempDir dir;
    for (const auto& [rows, expected] : std::vector<std::pair<int, int>>{{24, 1}, {25, 2}, {51, 2}, {52, 3}}) {
        const std::string set = dataSet(dir, rows, "s" + std::to_string(rows) + ".kplat");
        const std::string pdf = dir.file("summary" + std::to_string(rows) + ".pdf");
        const auto r = runProcess({Cli, "print", "summary", set, "-o", pdf}, {"XDG_RUNTIME_DIR=" + dir.path()});
        ASSERT_EQ(r.exitCode, 0) << r.err;
        EXPECT_EQ(pages(pdf), expected) << rows << " rows";
        const std::string first = pageText(pdf, 1);
        EXPECT_NE(first.find("DIGITAL SUMMARY REPORT"), std::string::npos);
        EXPECT_NE(first.find("Page: 1/" + std::to_string(expected)), std::string::npos);
        EXPECT_NE(first.find("Print Test"), std::string::npos);  // the subject strip on page 1
        if (expected >= 2) {
            const std::string second = pageText(pdf, 2);
            EXPECT_NE(second.find("Page: 2/" + std::to_string(expected)), std::string::npos);
            EXPECT_NE(second.find("Length X"), std::string::npos) << "column titles repeat on every page";
            EXPECT_EQ(second.find("Print Test"), std::string::npos);
            EXPECT_NE(second.find(" 25 "), std::string::npos);  // row 25 opens page 2
        }
    }
}

TEST(CliPrint, GraphPagesAndTheStanceAttemptTable) {
    if (!havePoppler()) GTEST_SKIP() << "poppler-utils (pdfinfo, pdftotext) is not installed";
    test::TempDir dir;
    const std::string set = dataSet(dir, 3, "g.kplat");
    const std::vector<std::string> env = {"XDG_RUNTIME_DIR=" + dir.path()};
    for (const std::string view : {"graph-report", "diffusion", "replay"}) {
        const std::string pdf = dir.file(view + ".pdf");
        ASSERT_EQ(runProcess({Cli, "print", view, set, "--attempt", "2", "-o", pdf}, env).exitCode, 0) << view;
        EXPECT_EQ(pages(pdf), 1) << view;
        const std::string text = pageText(pdf, 1);
        EXPECT_EQ(pageTitle(text), "REPORT") << view;
        EXPECT_NE(text.find("Page: 1/1"), std::string::npos) << view;
    }
    EXPECT_NE(pageText(dir.file("graph-report.pdf"), 1).find("TIME (ms)"), std::string::npos);
    EXPECT_NE(pageText(dir.file("diffusion.pdf"), 1).find("Time interval (ms)"), std::string::npos);
    EXPECT_NE(pageText(dir.file("replay.pdf"), 1).find("Attempt:"), std::string::npos);

    // A stance data set prints the Attempt table with its first four columns only.
    const std::string pdf = dir.file("attempt.pdf");
    ASSERT_EQ(runProcess({Cli, "print", "attempt", set, "-o", pdf}, env).exitCode, 0);
    EXPECT_EQ(pages(pdf), 4);  // 99 rows: 24 + 27 + 27 + 21
    const std::string first = pageText(pdf, 1);
    EXPECT_NE(first.find("DIGITAL REPORT"), std::string::npos);
    EXPECT_NE(first.find("Velocity"), std::string::npos);
    EXPECT_EQ(first.find("COP XG"), std::string::npos);
    EXPECT_EQ(runProcess({Cli, "print", "nonsense", set, "-o", pdf}, env).exitCode, 2);
}

}  // namespace
}  // namespace kenvo
