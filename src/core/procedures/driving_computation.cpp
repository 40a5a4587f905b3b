#include "procedures/driving_computation.h"

#include <cmath>

#include "graphs/driving_display.h"
#include "model/fixed_point.h"
#include "model/limits.h"

namespace kenvo {

namespace {
constexpr auto relaxed = std::memory_order_relaxed;

float clampToTrack(float value, int32_t low, int32_t high) {
    if (static_cast<float>(high) < value) value = static_cast<float>(high);
    if (value < static_cast<float>(low)) value = static_cast<float>(low);
    return value;
}

int32_t toPixels(float mm, int32_t low, double scale) {
    return static_cast<int32_t>(std::trunc((static_cast<double>(mm) - low) * scale));
}
}  // namespace

void DrivingComputation::prepare(const PlatformCalibration& calibration, int32_t direction,
                                 const DrivingDisplay& range) noexcept {
    trackMin_.store(range.trackMin, relaxed);
    trackMax_.store(range.trackMax, relaxed);
    trackScale_.store(range.trackScale, relaxed);
    squareHeight_.store(range.squareHeight, relaxed);
    scaleX_.store(calibration.scaleX, relaxed);
    scaleY_.store(calibration.scaleY, relaxed);
    direction_.store(direction, relaxed);
}

void DrivingComputation::setAttempt(const float* track, float* deviation) noexcept {
    track_.store(track, relaxed);
    deviation_.store(deviation, std::memory_order_release);
}

void DrivingComputation::onDrivingFrame(AcquisitionControl& c, CopFraction cop) noexcept {
    const float xMm = cop.x * scaleX_.load(relaxed);
    const float yMm = cop.y * scaleY_.load(relaxed);
    c.copXmm.store(xMm, relaxed);
    c.copYmm.store(yMm, relaxed);
    const int32_t low = trackMin_.load(relaxed), high = trackMax_.load(relaxed);
    const double scale = trackScale_.load(relaxed);
    const float dx = clampToTrack(xMm - c.centreX.load(relaxed), low, high);
    const float dy = clampToTrack(yMm - c.centreY.load(relaxed), low, high);
    const int32_t markerX = toPixels(dx, low, scale);
    const int32_t markerY = squareHeight_.load(relaxed) - toPixels(dy, low, scale);
    c.markerX.store(markerX, relaxed);
    c.markerY.store(markerY, relaxed);

    if (c.recording.load(std::memory_order_acquire) == 0) return;
    CopSample* dest = c.dest.load(relaxed);
    const int32_t count = c.sampleCount.load(relaxed);
    if (!dest || count < 0 || count >= MaxSamples) return;
    // The sample and its deviation are stored as a data file keeps them, so the evaluation
    // is the same before and after the data set is saved and opened again.
    storeRelaxed(dest[count], CopSample{onFixedPointGrid(cop.x), onFixedPointGrid(cop.y), 0});

    const float* track = track_.load(relaxed);
    float* deviation = deviation_.load(std::memory_order_acquire);
    if (track && deviation) {
        const int32_t first = display_.firstRow.load(relaxed);
        const int32_t last = display_.lastRow.load(std::memory_order_acquire);
        // Rows past the end of the attempt's track read its last row, as the display does;
        // rows before the start (never while recording) read the first.
        auto row = [&](int32_t r) { return track[drivingTrackRow(r)]; };
        switch (direction_.load(relaxed)) {
            case DrivingUpDown:
                storeRelaxed(deviation[count], onFixedPointGrid(dx - row(last - markerY)));
                break;
            case DrivingDownUp:
                storeRelaxed(deviation[count], onFixedPointGrid(dx - row(first + markerY)));
                break;
            case DrivingLeftRight:
                storeRelaxed(deviation[count], onFixedPointGrid(dy - row(last - markerX)));
                break;
            case DrivingRightLeft:
                storeRelaxed(deviation[count], onFixedPointGrid(dy - row(first + markerX)));
                break;
            default:
                break;
        }
    }
    const int32_t next = count < MaxSamples - 1 ? count + 1 : count;
    c.sampleCount.store(next, std::memory_order_release);
    const int32_t length = c.length.load(relaxed);
    if (length > 0 && next >= length) c.stopped.store(1, std::memory_order_release);
}

}  // namespace kenvo
