#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <string>
#include <vector>

#include <QColor>
#include <QImage>
#include <QString>

#include "support/process.h"
#include "support/temp_dir.h"

namespace kenvo {
namespace {

test::ProcessResult cli(const std::vector<std::string>& args) {
    std::vector<std::string> words = {KENVOPLAT_CLI};
    words.insert(words.end(), args.begin(), args.end());
    return test::runProcess(words, {"QT_QPA_PLATFORM=offscreen"});
}

// A 10 s stance recording at 100 Hz swaying around (5, -8) mm, imported as a data set.
std::string makeDataSet(const test::TempDir& dir) {
    std::string csv = "t_s,x_mm,y_mm\n";
    for (int i = 0; i < 1000; ++i) {
        const double t = i / 100.0;
        csv += std::to_string(t) + "," + std::to_string(5 + 12 * std::sin(t)) + "," +
               std::to_string(-8 + 9 * std::cos(1.7 * t)) + "\n";
    }
    test::writeFileBytes(dir.file("sway.csv"), csv);
    const auto r = cli({"import-csv", "-o", dir.file("sway.kplat"), dir.file("sway.csv")});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    return dir.file("sway.kplat");
}

int countPixels(const QImage& image, const QRect& area, const QColor& colour) {
    int n = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x) n += image.pixelColor(x, y) == colour;
    return n;
}

TEST(CliRenderTest, StanceViewIsAPngOfTheRequestedSizeWithTheReplayedTraces) {
    test::TempDir dir;
    const std::string data = makeDataSet(dir);
    const std::string out = dir.file("stance.png");
    const auto r = cli({"render", "stance", data, "--width", "800", "--height", "450", "-o", out});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    QImage image;
    ASSERT_TRUE(image.load(QString::fromStdString(out), "PNG"));
    EXPECT_EQ(image.width(), 800);
    EXPECT_EQ(image.height(), 450);
    // The COP trace (red) inside the square, the Y1 trace (blue) inside the time graph.
    EXPECT_GT(countPixels(image, QRect(41, 151, 198, 198), QColor(Qt::red)), 100);
    EXPECT_GT(countPixels(image, QRect(301, 151, 408, 198), QColor(Qt::blue)), 200);
    // The square's frame is black.
    EXPECT_EQ(image.pixelColor(40, 200), QColor(Qt::black));
}

TEST(CliRenderTest, CopAllViewDrawsTheTrajectoryInBlack) {
    test::TempDir dir;
    const std::string data = makeDataSet(dir);
    const std::string out = dir.file("all.png");
    const auto r = cli({"render", "cop-all", data, "-o", out});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    QImage image;
    ASSERT_TRUE(image.load(QString::fromStdString(out), "PNG"));
    EXPECT_EQ(image.size(), QSize(760, 400));
    EXPECT_GT(countPixels(image, QRect(60, 170, 160, 160), QColor(Qt::black)), 300);
}

TEST(CliRenderTest, BadRequestsFailWithoutWritingAFile) {
    test::TempDir dir;
    const std::string data = makeDataSet(dir);
    const std::string out = dir.file("x.png");
    EXPECT_EQ(cli({"render", "sideways", data, "-o", out}).exitCode, 2);
    EXPECT_EQ(cli({"render", "stance", data}).exitCode, 2);
    EXPECT_EQ(cli({"render", "stance", data, "--width", "0", "-o", out}).exitCode, 2);
    const auto missing = cli({"render", "stance", data, "--attempt", "2", "-o", out});
    EXPECT_EQ(missing.exitCode, 1);
    EXPECT_NE(missing.err.find("no attempt 2"), std::string::npos) << missing.err;
    EXPECT_EQ(cli({"render", "stance", dir.file("none.kplat"), "-o", out}).exitCode, 1);
    EXPECT_FALSE(std::filesystem::exists(out));
}

}  // namespace
}  // namespace kenvo
