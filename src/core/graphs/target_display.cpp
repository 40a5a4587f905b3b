#include "graphs/target_display.h"

#include <algorithm>

#include "analysis/text_format.h"
#include "graphs/display_geometry.h"

namespace kenvo {

TargetLayout targetLayout(const Rect& client) {
    return {client, targetSquare(client), statusBand(client), progressBand(client)};
}

Rect holdProgressBar(const Rect& band, int32_t holdFrames) {
    // Held past the limit (an attempt the tick did not accept yet) the bar stays empty rather
    // than growing to the left.
    const int64_t held = std::clamp(holdFrames, 0, HoldFramesToReach);
    const int64_t width = band.right - band.left;
    const auto right = static_cast<int32_t>(band.right - width * held / HoldFramesToReach);
    return {band.left, band.bottom, right, band.bottom + 3};
}

void drawTargetDisplay(Surface& s, const TargetLayout& layout, const TargetTestState& state,
                       bool recording, int32_t completedTargets, int32_t timeCount) {
    SurfaceState keep(s);
    s.fillSolid(layout.client, colour::White);

    if (recording) {
        const auto& p = state.cup;
        s.selectPen(Pen{colour::Black, 5});
        s.moveTo(p[3].x, p[3].y);
        s.lineTo(p[0].x, p[0].y);
        s.lineTo(p[1].x, p[1].y);
        s.lineTo(p[2].x, p[2].y);
    }

    if (state.hitState == HitReached) {
        s.fillSolid(holdProgressBar(layout.progress, state.holdFrames), colour::Blue);
    } else {
        const int32_t r = state.cursorRadius;
        s.selectPen(Pen{colour::Red, 1});
        s.selectBrush(Brush{state.hitState == HitAlarm ? colour::Red : colour::Blue});
        s.ellipse({state.cursorX - r, state.cursorY - r, state.cursorX + r, state.cursorY + r});
    }

    const double seconds = (static_cast<double>(timeCount) + state.elapsedBefore) / 100.0;
    s.selectFont(ViewFont::LargeBold);
    s.setTextColour(colour::Black);
    s.text(layout.status, formatText("Targets: %2d    Time: %8.2f  ", completedTargets, seconds),
           TextAlign::Right);
}

HitOutcome runTargetFrame(Surface& s, const TargetLayout& layout, TargetTestState& state,
                          const TargetFrame& frame, int32_t completedTargets) {
    const HitOutcome out = updateTargetFrame(state, layout.square, frame);
    drawTargetDisplay(s, layout, state, frame.recording, completedTargets, out.timeCount);
    return out;
}

}  // namespace kenvo
