#pragma once

#include <cstdint>

#include "graphs/display_state.h"
#include "graphs/surface.h"
#include "model/cop_sample.h"
#include "model/live_trace.h"
#include "model/platform_calibration.h"

namespace kenvo {

class MeasurementStore;
struct AcquisitionControl;

// The target test's hit states.
enum TargetHitState : int32_t {
    HitStart = 0,    // waiting for the cursor to be free; the attempt's clock is held at 0
    HitAlarm = 1,    // touched a wall or entered the cup the wrong way; the alarm loops
    HitFree = 2,     // outside the cup, clear of the walls
    HitInMouth = 3,  // in the strip in front of the mouth
    HitReached = 4,  // inside the cup after passing the mouth; held for HoldFramesToReach frames
};

inline constexpr int32_t HoldFramesToReach = 20;     // one second of 50 ms frames
inline constexpr double TargetSquareSpanMm = 160.0;  // the square shows -80..+80 mm

// The disc's radius for the test's object size (its diameter), truncating like the set-up.
constexpr int32_t cursorRadiusFor(int32_t objectSize) {
    return objectSize / 2;
}

// What a frame wants the sound player to do. The alarm loops until stopped or replaced.
enum class HitSound { Unchanged, StartAlarmLoop, Stop, PlaySuccess };

// The effects of one frame's hit decision, carried out by the caller: the sound by the
// application, the data effects by applyHitOutcome.
struct HitOutcome {
    HitSound sound = HitSound::Unchanged;
    bool resetSampleCount = false;  // the attempt's clock starts when the cursor is first free
    bool storeLength = false;       // the attempt's length := its sample count (time to reach)
    bool setTargetReached = false;  // the cursor has stayed inside long enough
    int32_t timeCount = 0;          // the newest live entry's sequence number, at least 0
};

// What a frame sees: the live ring with the newest entry at offset `n` (the view's
// traceLength), the data set's calibration, the view's display centre and the recording flag.
struct TargetFrame {
    const LiveTrace& trace;
    int32_t n = 0;
    const PlatformCalibration& calibration;
    float displayCentreX = 0.0f;
    float displayCentreY = 0.0f;
    bool recording = false;
};

// A sample's cursor position on the target square (view units, y downward).
Point targetCursor(const CopSample& sample, const Rect& square,
                   const PlatformCalibration& calibration, float displayCentreX,
                   float displayCentreY);

// What the samples of one frame touched: `wall` and `mouth` over the samples that arrived since
// the last frame and the current cursor, `inside` for the current cursor only.
struct HitContacts {
    bool wall = false;
    bool mouth = false;
    bool inside = false;
};

// One transition of the hit state for this frame's contacts. Pure apart from `state`:
// changes hitState and holdFrames and says what must happen.
HitOutcome stepHitState(TargetTestState& state, const HitContacts& contacts);

// The per-frame update: moves the cursor to the newest live entry and, while recording, tests
// every sample recorded since the last frame (walking back from the entry before the newest,
// so a fast movement cannot jump over a wall between frames) and steps the hit state; when not
// recording the state returns to HitStart. Changes cursorX/Y, testedSamples, hitState and
// holdFrames; everything else it leaves to the returned outcome.
HitOutcome updateTargetFrame(TargetTestState& state, const Rect& square, const TargetFrame& frame);

// Carries out the data effects of an outcome on the current attempt (store.attemptCount):
// the sample count reset, the stored length and the reached flag. The sound is the caller's.
void applyHitOutcome(const HitOutcome& outcome, MeasurementStore& store,
                     AcquisitionControl& control);

}  // namespace kenvo
