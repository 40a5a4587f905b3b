// The sway parameters of real recordings against an independent double-precision computation
// over the same stored samples: the printed values may differ by at most one unit in their last
// digit.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

#include "analysis/sway_parameters.h"
#include "support/validation_data.h"

namespace kenvo {
namespace {

constexpr float ScaleX = 175.0f, ScaleY = 276.0f;  // model 0, orientation 0

struct Reference {
    double lengthX = 0, lengthY = 0, velocity = 0, distance = 0;
};

// Plain loops over the stored fractions times the scales, in double.
Reference reference(const MeasurementStore& s, int32_t attempt) {
    Reference r;
    const int32_t n = s.length[static_cast<std::size_t>(attempt)];
    const CopSample* p = s.samples(attempt);
    auto xmm = [&](int k) { return static_cast<double>(p[k].x) * ScaleX; };
    auto ymm = [&](int k) { return static_cast<double>(p[k].y) * ScaleY; };
    double path = 0, mx = 0, my = 0;
    for (int k = 0; k < n; ++k) {
        mx += xmm(k);
        my += ymm(k);
        if (k == 0) continue;
        r.lengthX += std::fabs(xmm(k) - xmm(k - 1));
        r.lengthY += std::fabs(ymm(k) - ymm(k - 1));
        path += std::hypot(xmm(k) - xmm(k - 1), ymm(k) - ymm(k - 1));
    }
    mx /= n;
    my /= n;
    r.velocity = path / (n * 0.01);
    for (int k = 0; k < n; ++k) r.distance += std::hypot(xmm(k) - mx, ymm(k) - my);
    r.distance /= n;
    return r;
}



void expectSamePrinted(double program, double independent, const std::string& what) {
    char a[32], b[32];
    std::snprintf(a, sizeof a, "%7.1f", program);
    std::snprintf(b, sizeof b, "%7.1f", independent);
    EXPECT_LE(std::fabs(std::strtod(a, nullptr) - std::strtod(b, nullptr)), 0.1 + 1e-9)
        << what << ": program " << a << ", independent " << b;
}

TEST(SwayValidation, RealRecordingsAgreeWithAnIndependentComputation) {
    const auto files = test::validationFiles();
    if (files.empty()) GTEST_SKIP() << test::validationMissingReason();
    auto store = std::make_unique<MeasurementStore>();
    store->calibration.scaleX = ScaleX;
    store->calibration.scaleY = ScaleY;
    int32_t attempt = 0;
    for (const std::string& file : files) {
        const test::Recording rec = test::loadRecording(file);
        ASSERT_LE(rec.xMm.size(), static_cast<std::size_t>(MaxSamples));
        store->length[static_cast<std::size_t>(attempt)] = static_cast<int32_t>(rec.xMm.size());
        for (std::size_t k = 0; k < rec.xMm.size(); ++k)
            store->samples(attempt)[k] = {static_cast<float>(rec.xMm[k] / ScaleX),
                                          static_cast<float>(rec.yMm[k] / ScaleY), 0};
        const IntervalParameters p = computeWholeAttempt(*store, attempt);
        const Reference r = reference(*store, attempt);
        SCOPED_TRACE(rec.name);
        expectSamePrinted(p.lengthX, r.lengthX, "length X");
        expectSamePrinted(p.lengthY, r.lengthY, "length Y");
        expectSamePrinted(dxDyRatio(p.lengthX, p.lengthY), r.lengthX / r.lengthY, "DX/DY");
        expectSamePrinted(p.meanVelocity, r.velocity, "mean velocity");
        expectSamePrinted(p.meanDistance, r.distance, "mean distance");
        // The recordings are quiet standing: a few mm of sway, velocities of mm/s.
        EXPECT_GT(p.meanVelocity, 1.0f);
        EXPECT_LT(p.meanDistance, 30.0f);
        ++attempt;
    }
}

}  // namespace
}  // namespace kenvo
