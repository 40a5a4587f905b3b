#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <string>

#include "analysis/diffusion_texts.h"
#include "analysis/report_readouts.h"
#include "model/sample_metric.h"

namespace kenvo {
namespace {

TEST(DiffusionTexts, FormatsEveryResultText) {
    EXPECT_EQ(markerText(250), "x result: 250");
    EXPECT_EQ(yLeftText(3.14159f), "yleft:   3.1");
    EXPECT_EQ(yRightText(123.46f), "y right: 123.5");
    EXPECT_EQ(yRightText(123.45f), "y right: 123.4");  // the float lies just below 123.45
    EXPECT_EQ(originLineText(-1.111f), "y1= -1.111 x");
    EXPECT_EQ(generalLineText(0.0123f, 4.5f), "y2= 0.0123x+4.5000");
    EXPECT_EQ(generalLineText(-0.0005f, -2.25f), "y2= -0.0005x+-2.2500");
    EXPECT_EQ(crossingText({true, 12.345f, 6.5f}), "result[x][y]: [12.35] [ 6.50]");
    EXPECT_EQ(yLeftText(123456.0f), "yleft: 123456.0");  // wider than the field, never cut
}

TEST(DiffusionTexts, CrossingOfTheTwoLinesAndOfParallelOnes) {
    // y1 = 0.5·m meets y2 = 0.1·m + 2 at m = 5, y = 2.5.
    const DiffusionCrossing at = diffusionCrossing(0.5f, 0.1f, 2.0f);
    EXPECT_TRUE(at.exists);
    EXPECT_EQ(at.x, 2.0f / (0.5f - 0.1f));
    EXPECT_EQ(at.y, 0.5f * at.x);
    EXPECT_NEAR(at.x, 5.0, 1e-5);
    // Parallel lines: no crossing, and no infinity or NaN in the text.
    const DiffusionCrossing none = diffusionCrossing(0.25f, 0.25f, 3.0f);
    EXPECT_FALSE(none.exists);
    EXPECT_EQ(crossingText(none), "result[x][y]: [ 0.00] [ 0.00]");
}

TEST(DiffusionTexts, ShowTheFitOnlyWhileItIsCurrent) {
    DiffusionCurve curve;
    curve.samplesUsed = 2000;
    curve.records[40][DiffusionKindR] = 7.25f;
    curve.records[40][DiffusionKindX] = 3.5f;
    const auto without = diffusionTexts(curve, 40, DiffusionKindR, DiffusionKindX, nullptr);
    EXPECT_EQ(without.marker, "x result: 40");
    EXPECT_EQ(without.yLeft, "yleft:   7.2");  // 7.25 rounds to even in printf
    EXPECT_EQ(without.yRight, "y right:   3.5");
    EXPECT_TRUE(without.originLine.empty());
    EXPECT_TRUE(without.crossing.empty());

    DiffusionFit fit;
    fit.originSlope = 0.5f;
    fit.lineA = 0.1f;
    fit.lineB = 2.0f;
    const auto with = diffusionTexts(curve, 40, DiffusionKindR, DiffusionKindX, &fit);
    EXPECT_EQ(with.originLine, "y1= 0.500 x");
    EXPECT_EQ(with.generalLine, "y2= 0.1000x+2.0000");
    EXPECT_EQ(with.crossing, "result[x][y]: [ 5.00] [ 2.50]");
}

// The user's numeric locale supplies the decimal separator, when one is installed.
TEST(DiffusionTexts, UseTheCurrentNumericLocale) {
    const std::string before = std::setlocale(LC_NUMERIC, nullptr);
    const char* comma = nullptr;
    for (const char* name : {"de_DE.UTF-8", "de_DE.utf8", "fr_FR.UTF-8", "sk_SK.UTF-8"})
        if (std::setlocale(LC_NUMERIC, name)) {
            comma = name;
            break;
        }
    if (!comma) GTEST_SKIP() << "no locale with a decimal comma is installed";
    const std::string text = originLineText(0.25f);
    std::setlocale(LC_NUMERIC, before.c_str());
    EXPECT_EQ(text, "y1= 0,250 x");
}

const PlatformCalibration UnitScales{1.0f, 1.0f, {1, 1, 1, 1}};

TEST(ReportReadouts, SumsValuesAfterTheLeftCursorUpToTheRightOne) {
    // x moves 1 mm per sample, y stays; the pulse reads 60 + i.
    std::vector<CopSample> samples(10);
    for (int i = 0; i < 10; ++i) samples[i] = {static_cast<float>(i * i), 2.0f, int16_t(60 + i)};
    const auto r = computeReportReadouts(samples, UnitScales, 2, 6, MetricCopX, MetricDistance);
    EXPECT_EQ(r.sum1, 9.0f + 16 + 25 + 36);  // x of samples 3 .. 6
    // Steps of 2i − 1 mm into samples 3 .. 6, read as speeds: 100 samples a second.
    EXPECT_EQ(r.sum2, 500.0f + 700 + 900 + 1100);
    EXPECT_EQ(r.y1Left, 9.0f);
    EXPECT_EQ(r.y1Right, 36.0f);
    EXPECT_EQ(r.y2Left, 500.0f);
    EXPECT_EQ(r.y2Right, 1100.0f);
    EXPECT_EQ(r.y1Integral, 86.0f / 1000.0f);
    EXPECT_EQ(r.y1Average, 86.0f / 5.0f);  // divided by R − L + 1
    EXPECT_EQ(r.y2Integral, 3200.0f / 1000.0f);  // the same formula on the speeds
    EXPECT_EQ(r.y2Average, 3200.0f / 5.0f);

    const auto t = reportReadoutTexts(r);
    EXPECT_EQ(t.left, "XL: 20");
    EXPECT_EQ(t.distance, "diff X: 40");
    EXPECT_EQ(t.right, "XR: 60");
    EXPECT_EQ(t.y1[0], "Y1L:     9.0");
    EXPECT_EQ(t.y1[1], "int Y1:     0.1");
    EXPECT_EQ(t.y1[2], "avr Y1:    17.2");
    EXPECT_EQ(t.y1[3], "Y1R:    36.0");
    EXPECT_EQ(t.y2[0], "Y2L:   500.0");
    EXPECT_EQ(t.y2[1], "int Y2:     3.2");
    EXPECT_EQ(t.y2[2], "avr Y2:   640.0");
    EXPECT_EQ(t.y2[3], "Y2R:  1100.0");
}

TEST(ReportReadouts, CursorsPastTheRecordingReadNothing) {
    std::vector<CopSample> samples(5);
    for (int i = 0; i < 5; ++i) samples[i] = {1.0f + i, 0.0f, 72};
    // R = 5 is one past the last sample: it adds nothing and reads 0.
    const auto r = computeReportReadouts(samples, UnitScales, 3, 5, MetricCopX, MetricHeartRate);
    EXPECT_EQ(r.sum1, 5.0f);  // sample 4 only
    EXPECT_EQ(r.y1Left, 5.0f);
    EXPECT_EQ(r.y1Right, 0.0f);
    EXPECT_EQ(r.sum2, 72.0f);
    // Both past the end, and cursors the wrong way round: zeros, no division by zero.
    const auto past = computeReportReadouts(samples, UnitScales, 7, 9, MetricCopX, MetricCopY);
    EXPECT_EQ(past.sum1, 0.0f);
    EXPECT_EQ(past.y1Average, 0.0f);
    const auto reversed = computeReportReadouts(samples, UnitScales, 3, 1, MetricCopX, MetricCopY);
    EXPECT_EQ(reversed.sum1, 0.0f);
    EXPECT_EQ(reversed.y1Left, 5.0f);
    EXPECT_TRUE(std::isfinite(reversed.y1Average));
    EXPECT_EQ(reportReadoutTexts(reversed).distance, "diff X: -20");
}

}  // namespace
}  // namespace kenvo
