#include "platform/cop_calculator.h"

#include <cmath>

namespace kenvo {

namespace {

// numerator x 10000 / divisor rounded to single precision, then / 10000 rounded again.
float scaledFraction(int32_t numerator, int32_t divisor) noexcept {
    const float scaled = static_cast<float>(numerator * 10000.0 / divisor);
    return static_cast<float>(scaled / 10000.0);
}

float applyDeadBand(float value, float& memory) noexcept {
    if (std::fabs(static_cast<double>(value) - static_cast<double>(memory)) >= CopCalculator::DeadBand)
        memory = value;
    return memory;
}

}  // namespace

CopFraction copFormula(int32_t s1, int32_t s2, int32_t s3, int32_t s4, bool fourSensor,
                       int32_t orientation) noexcept {
    if (fourSensor) {
        int32_t sum = s1 + s2 + s3 + s4;
        if (sum < 100) sum = 16383;
        if (orientation == 1)
            return {scaledFraction((s3 + s4) - (s1 + s2), sum),
                    scaledFraction((s2 + s4) - (s1 + s3), sum)};
        return {scaledFraction((s2 + s4) - (s1 + s3), sum),
                scaledFraction((s1 + s2) - (s3 + s4), sum)};
    }
    int32_t sum3 = s1 + s2 + s3;
    if (sum3 < 100) sum3 = 16383;
    const int32_t front = sum3 - s3;
    // With no load on the front sensors the left-right share is undefined; 0 keeps the marker
    // on the centre line instead of producing an infinity.
    const float x = front == 0 ? 0.0f : static_cast<float>(static_cast<double>(s2 - s1) / front);
    const float y = static_cast<float>(static_cast<double>(s1 + s2 - s3) / sum3);
    return {x, y};
}

CopFraction CopCalculator::compute(int32_t s1, int32_t s2, int32_t s3, int32_t s4, bool fourSensor,
                                   int32_t orientation) noexcept {
    const CopFraction raw = copFormula(s1, s2, s3, s4, fourSensor, orientation);
    return {applyDeadBand(raw.x, previous_.x), applyDeadBand(raw.y, previous_.y)};
}

}  // namespace kenvo
