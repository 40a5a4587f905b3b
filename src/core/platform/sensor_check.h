#pragma once

#include <cstdint>
#include <string>

namespace kenvo {

// What the sensor check shows for one block of 20 frames.
struct SensorReading {
    int32_t mean[4] = {0, 0, 0, 0};           // mean raw reading per sensor, before zeroing
    double percent[4] = {0.0, 0.0, 0.0, 0.0};  // of the sensor's full scale (4095 counts)
    int32_t sum = 0;                           // total load above the zero offsets, counts
    float xMm = 0.0f;
    float yMm = 0.0f;
};

inline constexpr int32_t SensorBlockFrames = 20;

// The sensor check's arithmetic from the four raw block sums. Four-sensor platforms use all
// four (front left, front right, rear left, rear right); three-sensor platforms use the first
// three (front left, front right, rear). With a total load of 10 counts or less the COP is at
// the origin; on a three-sensor platform whose front sensors carry nothing, X is 0.
SensorReading sensorReading(const int32_t sums[4], const int32_t zeroOffset[4], float scaleX,
                            float scaleY, bool fourSensor);

// The dialog's field texts: percentages "%.2f", COP "%.1f", each at most 6 characters.
std::string formatPercent(double percent);
std::string formatCopMm(float mm);

}  // namespace kenvo
