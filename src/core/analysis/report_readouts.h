#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>

#include "model/cop_sample.h"
#include "model/platform_calibration.h"

namespace kenvo {

// The cursor read-outs of the graph report between the left cursor L and the right cursor R
// (sample indexes, L < R) for the report's two quantities. The value of sample i is
// shownMetric of the quantity (a step as a velocity in mm/s) with sample i as a and sample
// i − 1 as b.
struct ReportReadouts {
    int32_t left = 0;
    int32_t right = 0;
    float sum1 = 0.0f;  // Σ over i = L + 1 .. R of the Y1 value (single precision, in order)
    float sum2 = 0.0f;
    float y1Left = 0.0f;      // value of sample L + 1
    float y1Integral = 0.0f;  // sum1 / 1000
    float y1Average = 0.0f;   // sum1 / (R − L + 1)
    float y1Right = 0.0f;     // value of sample R
    float y2Left = 0.0f;
    float y2Integral = 0.0f;
    float y2Average = 0.0f;
    float y2Right = 0.0f;
};

// `samples` are the recorded samples of the attempt. Only samples 1 .. size − 1 have a value
// (a predecessor and a recording): a cursor past the last sample — the cursor buttons allow
// one past — adds nothing and reads 0 rather than whatever the slot holds beyond the
// recording. With R − L + 1 <= 0 the averages are 0.
ReportReadouts computeReportReadouts(std::span<const CopSample> samples,
                                     const PlatformCalibration& calibration, int32_t left,
                                     int32_t right, int32_t y1Kind, int32_t y2Kind);

// The strip's texts: the marker row in milliseconds and the Y1 and Y2 rows in the order
// L, int, avr, R.
struct ReportReadoutTexts {
    std::string left;               // "XL: %d" of L·10
    std::string distance;           // "diff X: %d" of (R − L)·10
    std::string right;              // "XR: %d" of R·10
    std::array<std::string, 4> y1;  // "Y1L: %7.1f", "int Y1: %7.1f", "avr Y1: %7.1f", "Y1R: %7.1f"
    std::array<std::string, 4> y2;  // the same with Y2
};
ReportReadoutTexts reportReadoutTexts(const ReportReadouts& readouts);

}  // namespace kenvo
