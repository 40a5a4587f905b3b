#include "graphs/target_hit_decision.h"

#include <algorithm>

#include "graphs/axis_scale.h"
#include "graphs/hit_tests.h"
#include "model/measurement_store.h"
#include "model/sample_metric.h"
#include "platform/acquisition_control.h"

namespace kenvo {

Point targetCursor(const CopSample& sample, const Rect& square,
                   const PlatformCalibration& calibration, float displayCentreX,
                   float displayCentreY) {
    const float x = sampleMetric(MetricCopX, sample, sample, calibration) - displayCentreX;
    const float y = sampleMetric(MetricCopY, sample, sample, calibration) - displayCentreY;
    const double half = TargetSquareSpanMm / 2.0;
    const AxisScale horizontal(-half, half, square.right - square.left);
    const AxisScale vertical(-half, half, square.bottom - square.top);
    return {horizontal.horizontal(square.left, x), vertical.vertical(square.bottom, y)};
}

HitOutcome stepHitState(TargetTestState& s, const HitContacts& c) {
    HitOutcome out;
    const bool free = !c.inside && !c.wall;
    switch (s.hitState) {
        case HitStart:
            out.resetSampleCount = true;
            if (free) {
                s.hitState = HitFree;
            } else {
                s.hitState = HitAlarm;
                out.sound = HitSound::StartAlarmLoop;
            }
            break;
        case HitAlarm:
            if (free) {
                s.hitState = HitFree;
                out.sound = HitSound::Stop;
            }
            break;
        case HitFree:
            // The cup must be entered through its mouth: reaching the inside from here is a fault.
            if (c.wall || c.inside) {
                s.hitState = HitAlarm;
                out.sound = HitSound::StartAlarmLoop;
            } else if (c.mouth) {
                s.hitState = HitInMouth;
            }
            break;
        case HitInMouth:
            if (c.wall) {
                s.hitState = HitAlarm;
                out.sound = HitSound::StartAlarmLoop;
            } else if (c.mouth) {
                // still passing the mouth
            } else if (free) {
                s.hitState = HitFree;
            } else if (c.inside) {
                s.hitState = HitReached;
                s.holdFrames = 0;
                out.storeLength = true;
                out.sound = HitSound::PlaySuccess;
            }
            break;
        case HitReached:
            ++s.holdFrames;
            // From the twentieth frame on, so that a reached flag the target tick had to clear
            // (an attempt too short to accept) is raised again on the next frame.
            if (s.holdFrames >= HoldFramesToReach) out.setTargetReached = true;
            break;
        default:
            // An unknown state starts over rather than sticking.
            s.hitState = HitStart;
            break;
    }
    return out;
}

HitOutcome updateTargetFrame(TargetTestState& s, const Rect& square, const TargetFrame& f) {
    const int32_t capacity = f.trace.capacity();
    const int32_t n = std::min(f.n, capacity - 1);
    // One snapshot of the ring's start: the reader thread only ever writes the entry after the
    // newest, so every offset up to n stays the same sample while this frame reads it.
    const int32_t oldest = f.trace.oldest();
    const auto at = [&](int32_t offset) { return (oldest + offset) % capacity; };

    int32_t timeCount = 0;
    if (n > 0) {
        const int32_t newest = at(n);
        timeCount = std::max(f.trace.sequence(newest), 0);
        const Point c = targetCursor(f.trace.entry(newest), square, f.calibration, f.displayCentreX,
                                     f.displayCentreY);
        s.cursorX = c.x;
        s.cursorY = c.y;
    }

    if (!f.recording) {
        s.hitState = HitStart;
        HitOutcome out;
        out.timeCount = timeCount;
        return out;
    }

    HitContacts contacts;
    // The samples that arrived since the last frame, newest first. The ring holds no more than
    // n of them; once those are tested the rest count as tested too.
    for (int32_t offset = n - 1; s.testedSamples < timeCount; --offset) {
        if (offset < 0) {
            s.testedSamples = timeCount;
            break;
        }
        const Point p = targetCursor(f.trace.entry(at(offset)), square, f.calibration,
                                     f.displayCentreX, f.displayCentreY);
        contacts.wall = contacts.wall || touchesWall(p.x, p.y, s.cursorRadius, s.cup);
        contacts.mouth = contacts.mouth || inMouth(p.x, p.y, s.cup);
        ++s.testedSamples;
    }
    contacts.wall = contacts.wall || touchesWall(s.cursorX, s.cursorY, s.cursorRadius, s.cup);
    contacts.mouth = contacts.mouth || inMouth(s.cursorX, s.cursorY, s.cup);
    contacts.inside = insideCup(s.cursorX, s.cursorY, s.cup);

    HitOutcome out = stepHitState(s, contacts);
    out.timeCount = timeCount;
    return out;
}

void applyHitOutcome(const HitOutcome& outcome, MeasurementStore& store,
                     AcquisitionControl& control) {
    const int32_t attempt = store.attemptCount;
    if (attempt < 0 || attempt >= MaxAttempts) return;
    if (outcome.resetSampleCount) control.sampleCount.store(0, std::memory_order_relaxed);
    if (outcome.storeLength)
        store.length[static_cast<std::size_t>(attempt)] = control.sampleCount.load();
    if (outcome.setTargetReached) store.targetReached[static_cast<std::size_t>(attempt)] = 1;
}

}  // namespace kenvo
