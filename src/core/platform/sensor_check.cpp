#include "platform/sensor_check.h"

#include <cstdio>

namespace kenvo {

namespace {
constexpr double FullScaleBlock = 819.0;  // 20 frames x 40.95: 100 % is a mean of 4095 counts
constexpr int32_t MinimumLoad = 10;
constexpr std::size_t FieldChars = 6;

float scaledCop(int32_t numerator, int32_t total, float scale) {
    // Integer arithmetic first, as the sensor check always did, then millimetres.
    return static_cast<float>(numerator * 10000 / total) * scale / 10000.0f;
}

std::string limited(const char* format, double value) {
    char text[64];
    std::snprintf(text, sizeof text, format, value);
    std::string s(text);
    if (s.size() > FieldChars) s.resize(FieldChars);
    return s;
}
}  // namespace

SensorReading sensorReading(const int32_t sums[4], const int32_t zeroOffset[4], float scaleX,
                            float scaleY, bool fourSensor) {
    SensorReading r;
    const int sensors = fourSensor ? 4 : 3;
    int32_t corrected[4] = {0, 0, 0, 0};
    int32_t total = 0;
    for (int k = 0; k < sensors; ++k) {
        r.mean[k] = sums[k] / SensorBlockFrames;
        r.percent[k] = sums[k] / FullScaleBlock;
        corrected[k] = r.mean[k] - zeroOffset[k];
        total += corrected[k];
    }
    r.sum = total;
    if (total <= MinimumLoad) return r;
    const int32_t fl = corrected[0], fr = corrected[1], rl = corrected[2], rr = corrected[3];
    if (fourSensor) {
        r.xMm = scaledCop(rr + fr - rl - fl, total, scaleX);
        r.yMm = scaledCop(fl + fr - rl - rr, total, scaleY);
    } else {
        const int32_t front = total - rl;  // rl is the single rear sensor here
        r.xMm = front == 0 ? 0.0f : scaledCop(fr - fl, front, scaleX);
        r.yMm = scaledCop(fl + fr - rl, total, scaleY);
    }
    return r;
}

std::string formatPercent(double percent) { return limited("%.2f", percent); }
std::string formatCopMm(float mm) { return limited("%.1f", static_cast<double>(mm)); }

}  // namespace kenvo
