#include "analysis/sway_parameters.h"

#include <algorithm>
#include <cmath>

namespace kenvo {

namespace {

struct Point {
    float x;
    float y;
};

class Positions {
public:
    Positions(const MeasurementStore& store, int32_t attempt)
        : samples_(store.samples(attempt)), sx_(store.calibration.scaleX), sy_(store.calibration.scaleY) {}
    Point operator[](int32_t k) const {
        const CopSample s = loadRelaxed(samples_[k]);
        return {s.x * sx_, s.y * sy_};
    }

private:
    const CopSample* samples_;
    float sx_, sy_;
};

float distance(Point a, Point b) {
    const float dx = a.x - b.x;
    const float dy = a.y - b.y;
    return std::sqrt(dx * dx + dy * dy);
}

}  // namespace

int32_t attemptLength(const MeasurementStore& store, int32_t attempt) {
    if (attempt < 0 || attempt >= MaxAttempts) return 0;
    return std::clamp(store.length[static_cast<std::size_t>(attempt)], 0, MaxSamples);
}

IntervalParameters computeIntervalParameters(const MeasurementStore& store, int32_t attempt, int32_t from,
                                             int32_t to) {
    IntervalParameters r;
    const int32_t n = attemptLength(store, attempt);
    from = std::clamp(from, 0, n);
    to = std::clamp(to, from, n);
    const int32_t count = to - from;
    if (count <= 0) return r;
    const Positions p(store, attempt);
    Point prev = p[from];
    float sumV = 0.0f, sumX = prev.x, sumY = prev.y;
    for (int32_t k = from + 1; k < to; ++k) {
        const Point q = p[k];
        const float dx = q.x - prev.x;
        const float dy = q.y - prev.y;
        r.lengthX += std::fabs(dx);
        r.lengthY += std::fabs(dy);
        sumV += 100.0f * std::sqrt(dx * dx + dy * dy);
        sumX += q.x;
        sumY += q.y;
        prev = q;
    }
    const float n32 = static_cast<float>(count);
    const Point mean{sumX / n32, sumY / n32};
    r.meanVelocity = sumV / n32;
    float sumD = 0.0f;
    for (int32_t k = from; k < to; ++k) sumD += distance(p[k], mean);
    r.meanDistance = sumD / n32;
    return r;
}

IntervalParameters computeWholeAttempt(const MeasurementStore& store, int32_t attempt) {
    return computeIntervalParameters(store, attempt, 0, attemptLength(store, attempt));
}

float dxDyRatio(float lengthX, float lengthY) {
    if (!(lengthX > 0.001f) || lengthY == 0.0f) return 0.0f;
    return lengthX / lengthY;
}

DeviationParameters computeDeviationParameters(const MeasurementStore& store, int32_t attempt) {
    DeviationParameters r;
    const int32_t n = attemptLength(store, attempt);
    if (n == 0) return r;
    const float* dev = store.deviation(attempt);
    const float n32 = static_cast<float>(n);
    float sumAbs = 0.0f, sumSq = 0.0f;
    for (int32_t k = 0; k < n; ++k) {
        sumAbs += std::fabs(dev[k]);
        sumSq += dev[k] * dev[k];
    }
    r.meanDistance = sumAbs / n32;
    r.meanDistanceSquared = sumSq / n32;
    float varD = 0.0f, varSq = 0.0f;
    for (int32_t k = 0; k < n; ++k) {
        const float d = dev[k] - r.meanDistance;
        const float q = dev[k] * dev[k] - r.meanDistanceSquared;
        varD += d * d;
        varSq += q * q;
    }
    r.sdDistance = std::sqrt(varD / n32);
    r.sdDistanceSquared = std::sqrt(varSq / n32);

    // Walk the sides of the track: runs on one side add up, every sign change (or exact zero)
    // is a crossing, counted for the side it left.
    const Positions p(store, attempt);
    Point prev = p[0];
    float prevDev = dev[0];
    int32_t fromPlus = 0, fromMinus = 0;
    for (int32_t k = 0; k < n; ++k) {
        const Point q = p[k];
        const float step = distance(q, prev);
        const float d = dev[k];
        if (d > 0.0f && prevDev > 0.0f) {
            r.plusDistance += std::fabs(d);
            r.plusPath += step;
        } else if (d < 0.0f && prevDev < 0.0f) {
            r.minusDistance += std::fabs(d);
            r.minusPath += step;
        } else {
            ++r.crossings;
            if (prevDev > 0.0f) ++fromPlus;
            else ++fromMinus;
        }
        prevDev = d;
        prev = q;
    }
    if (fromPlus > 0) {
        r.plusDistance /= static_cast<float>(fromPlus);
        r.plusPath /= static_cast<float>(fromPlus);
    }
    if (fromMinus > 0) {
        r.minusDistance /= static_cast<float>(fromMinus);
        r.minusPath /= static_cast<float>(fromMinus);
    }
    if (r.crossings > 0) {
        r.pathPerCrossing = (r.plusPath + r.minusPath) / static_cast<float>(r.crossings);
        r.hasPathPerCrossing = true;
    }
    return r;
}

MovementParameters computeMovementParameters(const MeasurementStore& store, int32_t attempt) {
    MovementParameters r;
    const int32_t n = attemptLength(store, attempt);
    r.movementSamples = n;
    if (n == 0) return r;
    const Positions p(store, attempt);
    float sumV = 0.0f;
    for (int32_t k = 1; k < n; ++k) {
        const float step = distance(p[k], p[k - 1]);
        r.pathLength += step;
        sumV += 10.0f * step;
    }
    r.velocity = sumV / static_cast<float>(n) / 100.0f;
    return r;
}

MovementSummary summarizeMovements(const MeasurementStore& store) {
    MovementSummary r;
    const int32_t m = std::clamp(store.attemptCount, 0, MaxAttempts);
    if (m == 0) return r;
    int64_t samples = 0;
    float path = 0.0f, velocity = 0.0f;
    for (int32_t j = 0; j < m; ++j) {
        const MovementParameters p = computeMovementParameters(store, j);
        samples += p.movementSamples;
        path += p.pathLength;
        velocity += p.velocity;
    }
    const float m32 = static_cast<float>(m);
    r.meanSamples = static_cast<int32_t>(samples / m);
    r.meanPath = path / m32;
    r.meanVelocity = velocity / m32;
    // Integer squares of the sample counts need 64 bits: 500 attempts of 30999 samples.
    int64_t sqSamples = 0;
    float sqPath = 0.0f, sqVelocity = 0.0f;
    for (int32_t j = 0; j < m; ++j) {
        const MovementParameters p = computeMovementParameters(store, j);
        const int64_t ds = r.meanSamples - p.movementSamples;
        sqSamples += ds * ds;
        const float dp = r.meanPath - p.pathLength;
        const float dv = r.meanVelocity - p.velocity;
        sqPath += dp * dp;
        sqVelocity += dv * dv;
    }
    r.sdSamples = std::sqrt(static_cast<float>(sqSamples) / m32);
    r.sdPath = std::sqrt(sqPath / m32);
    r.sdVelocity = std::sqrt(sqVelocity / m32);
    return r;
}

}  // namespace kenvo
