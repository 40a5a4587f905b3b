// kenvoplat-cli norms: the built-in table as CSV (the shipped file's bytes) and for people in the
// user's locale, with its source; usage errors.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>

#include "support/process.h"

namespace kenvo {
namespace {

using test::runProcess;

constexpr const char* Cli = KENVOPLAT_CLI;

TEST(CliNorms, CsvIsTheShippedTable) {
    std::ifstream in(KENVO_NORMS_CSV, std::ios::binary);
    std::ostringstream shipped;
    shipped << in.rdbuf();
    ASSERT_FALSE(shipped.str().empty());
    const auto r = runProcess({Cli, "norms", "--format", "csv"});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out, shipped.str());
}

// The text table follows the user's decimal separator (the CSV never does) and names the source.
TEST(CliNorms, TextUsesTheLocaleAndNamesTheSource) {
    const auto c = runProcess({Cli, "norms"}, {"LC_ALL=C"});
    EXPECT_EQ(c.exitCode, 0) << c.err;
    EXPECT_NE(c.out.find("Old    Closed  Foam     area95_mm2       72      2688      1222"),
              std::string::npos)
        << c.out;
    EXPECT_NE(c.out.find("doi 10.7717/peerj.2648; CC BY 4.0"), std::string::npos);
    const auto german = runProcess({Cli, "norms"}, {"LC_ALL=de_DE.UTF-8"});
    if (german.out.find("0,") == std::string::npos)
        GTEST_SKIP() << "the de_DE.UTF-8 locale is not installed";
    EXPECT_NE(german.out.find("43,75"), std::string::npos) << german.out;
    const auto csv = runProcess({Cli, "norms", "--format", "csv"}, {"LC_ALL=de_DE.UTF-8"});
    EXPECT_NE(csv.out.find(",43.7503584572,"), std::string::npos);
}

TEST(CliNorms, UsageErrorsWriteNothing) {
    for (const auto& words :
         std::vector<std::vector<std::string>>{{Cli, "norms", "--format", "json"},
                                               {Cli, "norms", "table.csv"},
                                               {Cli, "norms", "-o"}}) {
        const auto r = runProcess(words);
        EXPECT_EQ(r.exitCode, 2) << words.back();
        EXPECT_TRUE(r.out.empty()) << words.back();
        EXPECT_NE(r.err.find("usage: kenvoplat-cli norms"), std::string::npos) << r.err;
    }
    const auto help = runProcess({Cli, "norms", "--help"});
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_NE(help.out.find("--format"), std::string::npos);
    EXPECT_NE(help.out.find("Santos DA, Duarte M"), std::string::npos);
}

}  // namespace
}  // namespace kenvo
