// The clinical sway measures against values computed independently with NumPy and SciPy
// (tests/reference/clinical_reference.py writes them), against closed forms, and against the
// values published with the public balance data set.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include <cmath>
#include <fstream>
#include <memory>
#include <string>
#include <thread>

#include "clinical/attempt_trace.h"
#include "clinical/clinical_measures.h"
#include "clinical/low_pass.h"
#include "clinical/prediction_ellipse.h"
#include "clinical/welch_spectrum.h"
#include "model/measurement_store.h"
#include "support/validation_data.h"

namespace kenvo {
namespace {

using nlohmann::json;
using M = ClinicalMeasure;

const json& reference() {
    static const json data = [] {
        std::ifstream in(KENVO_CLINICAL_REFERENCE);
        return json::parse(in);
    }();
    return data;
}

std::vector<double> numbers(const json& array) {
    return array.get<std::vector<double>>();
}

// Agreement to 1e-9 of the value, or of `scale` for values that should be (near) zero.
void expectClose(double got, double expected, double scale, const std::string& what) {
    EXPECT_TRUE(std::isfinite(got)) << what;
    EXPECT_NEAR(got, expected, 1e-9 * std::max(std::fabs(expected), scale)) << what;
}

TEST(ClinicalLowPass, CoefficientsMatchScipyButter) {
    for (const json& c : reference()["coefficients"]) {
        const double fc = c["cutoff_hz"];
        const LowPassCoefficients f = butterworthLowPass(fc, 100.0);
        for (std::size_t i = 0; i < 5; ++i) {
            expectClose(f.b[i], c["b"][i], 0.0,
                        "b" + std::to_string(i) + " at " + std::to_string(fc));
            expectClose(f.a[i], c["a"][i], 0.0,
                        "a" + std::to_string(i) + " at " + std::to_string(fc));
        }
    }
}

// A step, 1 Hz and 20 Hz sines (one of odd length), n = 16 and n = 15 against scipy's filtfilt.
TEST(ClinicalLowPass, ZeroPhaseMatchesScipyFiltfilt) {
    for (const json& c : reference()["filter_cases"]) {
        const std::string name = c["name"];
        const auto signal = numbers(c["signal"]);
        std::vector<double> out;
        const bool filtered =
            zeroPhaseLowPass(signal, butterworthLowPass(c["cutoff_hz"], 100.0), out);
        if (c["filtered"].is_null()) {
            EXPECT_FALSE(filtered) << name << ": too short to filter";
            EXPECT_TRUE(out.empty()) << name;
            continue;
        }
        ASSERT_TRUE(filtered) << name;
        const auto expected = numbers(c["filtered"]);
        ASSERT_EQ(out.size(), expected.size()) << name;
        for (std::size_t i = 0; i < out.size(); ++i)
            expectClose(out[i], expected[i], 5.0, name + " sample " + std::to_string(i));
    }
}

// A circle, lines (one along +y), a constant, two and three samples, odd and even Welch
// segments, and filtered walks: every measure as NumPy and SciPy compute it.
TEST(ClinicalMeasures, MatchIndependentComputation) {
    for (const json& c : reference()["measure_cases"]) {
        const std::string name = c["name"];
        const SwayTrace trace{numbers(c["x"]), numbers(c["y"])};
        std::optional<double> cutoff;
        if (!c["lowpass_hz"].is_null()) cutoff = c["lowpass_hz"].get<double>();
        const ClinicalMeasures got = computeClinicalMeasures(trace, cutoff);
        const json& expected = c["measures"];
        const double scale = c["scale"];
        for (std::size_t i = 0; i < ClinicalMeasureCount; ++i) {
            const std::string column(clinicalMeasureInfo()[i].column);
            const std::string what = name + " " + column;
            ASSERT_TRUE(expected.contains(column)) << what;
            if (expected[column].is_null()) {
                EXPECT_FALSE(got.values[i].has_value()) << what << " should be undefined";
            } else {
                ASSERT_TRUE(got.values[i].has_value()) << what << " should be defined";
                expectClose(*got.values[i], expected[column],
                            column == "ellipse_angle_deg" ? 1.0 : scale, what);
            }
        }
        const bool filteredExpected = cutoff && trace.size() > LowPassEdge;
        EXPECT_EQ(got.lowPassHz.has_value(), filteredExpected) << name;
    }
}

// A constant whose mean is not exact in binary (0.1 added up drifts): no sway at all, so no
// spread, a zero ellipse without a direction, and no frequencies.
TEST(ClinicalMeasures, ConstantWithInexactMeanHasNoSway) {
    const SwayTrace still{std::vector<double>(300, 0.1), std::vector<double>(300, -7.3)};
    {
        const ClinicalMeasures r = computeClinicalMeasures(still, std::nullopt);
        EXPECT_EQ(r[M::RmsX], 0.0);
        EXPECT_EQ(r[M::Rms], 0.0);
        EXPECT_EQ(r[M::Area95], 0.0);
        EXPECT_EQ(r[M::EllipseMajor], 0.0);
        EXPECT_FALSE(r[M::EllipseAngle]);
        EXPECT_FALSE(r[M::MeanFrequencyX]);
        EXPECT_FALSE(r[M::MeanFrequency]);
        EXPECT_FALSE(r[M::MedianFrequencyY]);
        EXPECT_FALSE(r[M::PrietoFrequency]);
        EXPECT_EQ(r[M::Velocity], 0.0);
    }
}

TEST(ClinicalMeasures, TooFewSamplesLeaveMeasuresUndefined) {
    const ClinicalMeasures none = computeClinicalMeasures({}, 10.0);
    EXPECT_EQ(none[M::SampleCount], 0.0);
    EXPECT_EQ(none[M::Duration], 0.0);
    for (std::size_t i = 2; i < ClinicalMeasureCount; ++i) EXPECT_FALSE(none.values[i]) << i;

    const ClinicalMeasures one = computeClinicalMeasures({{4.0}, {-1.0}}, std::nullopt);
    EXPECT_EQ(one[M::MeanX], 4.0);
    EXPECT_EQ(one[M::RangeY], 0.0);
    EXPECT_FALSE(one[M::Path]);
    EXPECT_FALSE(one[M::SwayAreaPerSecond]);
    EXPECT_FALSE(one[M::Area95]);
}

// Coordinates at the edge of double's range overflow in the sums: such measures are absent,
// never inf or NaN, while the ones that fit (count, means, ranges) stay.
TEST(ClinicalMeasures, OverflowingInputGivesNoInfiniteValues) {
    SwayTrace huge;
    for (int i = 0; i < 400; ++i) {
        huge.x.push_back(i % 2 ? 1e308 : -1e308);
        huge.y.push_back(i % 3 ? 1e300 : 0.0);
    }
    const ClinicalMeasures r = computeClinicalMeasures(huge, std::nullopt);
    for (std::size_t i = 0; i < ClinicalMeasureCount; ++i) {
        const std::string column(clinicalMeasureInfo()[i].column);
        EXPECT_TRUE(!r.values[i] || std::isfinite(*r.values[i])) << column;
    }
    EXPECT_FALSE(r[M::Path]);
    EXPECT_EQ(r[M::SampleCount], 400.0);
    EXPECT_EQ(r[M::RangeY], 1e300);
}

// Closed forms: 3 samples give F(0.95; 2, 1) = 199.5, and a swept triangle is its area.
TEST(ClinicalEllipse, ThreeSamplesUseTheExactFQuantile) {
    const std::vector<double> x = {0.0, 2.0, 0.0}, y = {0.0, 0.0, 2.0};
    const auto e = predictionEllipse95(x, y);
    ASSERT_TRUE(e);
    // Covariance [[4/3, -2/3], [-2/3, 4/3]]: eigenvalues 2 and 2/3; k = 199.5 * 2*2*4 / (3*1).
    const double k = 199.5 * 16.0 / 3.0;
    EXPECT_NEAR(e->major, std::sqrt(k * 2.0), 1e-12);
    EXPECT_NEAR(e->minor, std::sqrt(k * 2.0 / 3.0), 1e-12);
    EXPECT_NEAR(e->area, M_PI * k * std::sqrt(4.0 / 3.0), 1e-9);
    ASSERT_TRUE(e->angleDeg);
    EXPECT_NEAR(*e->angleDeg, -45.0, 1e-12);
    EXPECT_NEAR(e->centreX, 2.0 / 3.0, 1e-15);
    EXPECT_NEAR(e->centreY, 2.0 / 3.0, 1e-15);
}

// A line along +y or -y is the same axis: 90 degrees, never -90.
TEST(ClinicalEllipse, AngleStaysWithinTheHalfOpenRange) {
    for (const double direction : {1.0, -1.0}) {
        std::vector<double> x(40, -3.0), y(40);
        for (std::size_t i = 0; i < y.size(); ++i) y[i] = direction * 0.25 * static_cast<double>(i);
        const auto e = predictionEllipse95(x, y);
        ASSERT_TRUE(e && e->angleDeg);
        EXPECT_EQ(*e->angleDeg, 90.0) << direction;
        EXPECT_EQ(e->minor, 0.0);
    }
}

// Threads asking for spectra of new lengths at the same time (the planner runs under a lock)
// get what one thread alone gets.
TEST(ClinicalSpectrum, ConcurrentCallsAgreeWithASingleThread) {
    std::vector<std::vector<double>> signals;
    for (std::size_t n : {1202u, 1203u, 1404u, 1405u}) {
        std::vector<double> v(n);
        for (std::size_t i = 0; i < n; ++i)
            v[i] = std::sin(0.05 * static_cast<double>(i * i % 997));
        signals.push_back(v);
    }
    std::vector<std::vector<double>> concurrent(signals.size());
    std::vector<std::thread> threads;
    for (std::size_t t = 0; t < signals.size(); ++t)
        threads.emplace_back([&, t] { concurrent[t] = welchSpectrum(signals[t], 100.0)->power; });
    for (auto& t : threads) t.join();
    for (std::size_t t = 0; t < signals.size(); ++t) {
        EXPECT_EQ(concurrent[t].size(), signals[t].size() / 4 + 1);
        EXPECT_EQ(concurrent[t], welchSpectrum(signals[t], 100.0)->power) << t;
    }
}

// The stored fraction and the data set's scale are multiplied in double: a float product
// would round each millimetre value to single precision.
TEST(ClinicalAttemptTrace, ConvertsWithTheDataSetScalesInDouble) {
    auto store = std::make_unique<MeasurementStore>();
    store->attemptCount = 2;
    store->calibration.scaleX = 175.3f;
    store->calibration.scaleY = 276.1f;
    store->length[1] = 3;
    const float fractions[3] = {0.0123457f, -0.3333333f, 0.7071068f};
    for (int i = 0; i < 3; ++i) store->samples(1)[i] = CopSample{fractions[i], -fractions[i], 0};
    const SwayTrace t = attemptTrace(*store, 1);
    ASSERT_EQ(t.size(), 3u);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(t.x[i], static_cast<double>(fractions[i]) * static_cast<double>(175.3f));
        EXPECT_EQ(t.y[i], -static_cast<double>(fractions[i]) * static_cast<double>(276.1f));
    }
    EXPECT_NE(t.x[1], static_cast<double>(fractions[1] * 175.3f));
    EXPECT_EQ(attemptTrace(*store, 2).size(), 0u);
    EXPECT_EQ(attemptTrace(*store, -1).size(), 0u);
    store->length[0] = MaxSamples + 5;  // damaged length
    EXPECT_EQ(attemptTrace(*store, 0).size(), static_cast<std::size_t>(MaxSamples));
}

// The values published with the public balance data set: 95 % ellipse area (cm^2), mean
// velocity (cm/s) and mean frequency (Hz) of five recordings, reproduced without a filter.
TEST(ClinicalPublishedValues, BalanceDataSetReproduced) {
    const auto dir = test::validationDir();
    if (!dir) GTEST_SKIP() << test::validationMissingReason();
    std::ifstream published(*dir + "/published/bds_published_values.csv");
    if (!published) GTEST_SKIP() << "the published values are not in " << *dir;
    std::string line;
    std::getline(published, line);
    int checked = 0;
    while (std::getline(published, line)) {
        if (line.empty()) continue;
        char name[64] = {};
        double area = 0, velocity = 0, frequency = 0;
        ASSERT_EQ(
            std::sscanf(line.c_str(), "%63[^,],%lf,%lf,%lf", name, &area, &velocity, &frequency), 4)
            << line;
        const test::Recording rec = test::loadRecording(*dir + "/" + name);
        const ClinicalMeasures r = computeClinicalMeasures({rec.xMm, rec.yMm}, std::nullopt);
        ASSERT_TRUE(r[M::Area95] && r[M::Velocity] && r[M::MeanFrequency]) << name;
        EXPECT_NEAR(*r[M::Area95] / 100.0, area, 1e-9 * area) << name;
        EXPECT_NEAR(*r[M::Velocity] / 10.0, velocity, 1e-9 * velocity) << name;
        EXPECT_NEAR(*r[M::MeanFrequency], frequency, 1e-9 * frequency) << name;
        ++checked;
    }
    EXPECT_EQ(checked, 5);
}

}  // namespace
}  // namespace kenvo
