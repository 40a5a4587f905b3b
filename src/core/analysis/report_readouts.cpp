#include "analysis/report_readouts.h"

#include "analysis/text_format.h"
#include "model/sample_metric.h"

namespace kenvo {

namespace {

struct Series {
    std::span<const CopSample> samples;
    const PlatformCalibration& calibration;
    int32_t kind;

    float at(int32_t i) const {
        if (i < 1 || static_cast<std::size_t>(i) >= samples.size()) return 0.0f;
        const auto k = static_cast<std::size_t>(i);
        return shownMetric(kind, samples[k], samples[k - 1], calibration);
    }
};

struct Row {
    float sum = 0.0f, atLeft = 0.0f, integral = 0.0f, average = 0.0f, atRight = 0.0f;
};

Row rowOf(const Series& series, int32_t left, int32_t right) {
    Row row;
    for (int64_t i = int64_t{left} + 1; i <= right; ++i)
        row.sum += series.at(static_cast<int32_t>(i));
    row.atLeft = series.at(left + 1);
    row.atRight = series.at(right);
    row.integral = row.sum / 1000.0f;
    const int64_t count = int64_t{right} - left + 1;
    row.average = count > 0 ? row.sum / static_cast<float>(count) : 0.0f;
    return row;
}

}  // namespace

ReportReadouts computeReportReadouts(std::span<const CopSample> samples,
                                     const PlatformCalibration& calibration, int32_t left,
                                     int32_t right, int32_t y1Kind, int32_t y2Kind) {
    const Row y1 = rowOf({samples, calibration, y1Kind}, left, right);
    const Row y2 = rowOf({samples, calibration, y2Kind}, left, right);
    ReportReadouts r;
    r.left = left;
    r.right = right;
    r.sum1 = y1.sum;
    r.sum2 = y2.sum;
    r.y1Left = y1.atLeft;
    r.y1Integral = y1.integral;
    r.y1Average = y1.average;
    r.y1Right = y1.atRight;
    r.y2Left = y2.atLeft;
    r.y2Integral = y2.integral;
    r.y2Average = y2.average;
    r.y2Right = y2.atRight;
    return r;
}

ReportReadoutTexts reportReadoutTexts(const ReportReadouts& r) {
    ReportReadoutTexts t;
    t.left = formatText("XL: %d", r.left * 10);
    t.distance = formatText("diff X: %d", (r.right - r.left) * 10);
    t.right = formatText("XR: %d", r.right * 10);
    t.y1 = {formatText("Y1L: %7.1f", double{r.y1Left}),
            formatText("int Y1: %7.1f", double{r.y1Integral}),
            formatText("avr Y1: %7.1f", double{r.y1Average}),
            formatText("Y1R: %7.1f", double{r.y1Right})};
    t.y2 = {formatText("Y2L: %7.1f", double{r.y2Left}),
            formatText("int Y2: %7.1f", double{r.y2Integral}),
            formatText("avr Y2: %7.1f", double{r.y2Average}),
            formatText("Y2R: %7.1f", double{r.y2Right})};
    return t;
}

}  // namespace kenvo
