#include "graphs/protocol_target_disc.h"

namespace kenvo {

TargetCircle protocolTargetCircle(const Rect& sq, int32_t location) {
    const int32_t midX = sq.left + (sq.right - sq.left) / 2;
    const int32_t midY = sq.top + (sq.bottom - sq.top) / 2;
    TargetCircle c{midX, midY, (sq.right - sq.left) / 8};
    switch (location) {
        case 0: c.x = sq.left; break;
        case 1: c.y = sq.top; break;
        case 2: c.x = sq.right; break;
        case 3: c.y = sq.bottom; break;
        default: break;
    }
    return c;
}

void drawProtocolTargetDisc(Surface& s, TargetTestState& target, const MeasurementStore& store,
                            int32_t attempt, const Rect& drivingSquare) {
    const int32_t location =
        attempt >= 0 && attempt < MaxAttempts ? store.targetLocation[static_cast<std::size_t>(attempt)] : 0;
    const TargetCircle c = protocolTargetCircle(drivingSquare, location);
    target.circleX = c.x;
    target.circleY = c.y;
    target.circleRadius = c.radius;

    SurfaceState keep(s);
    s.selectPen(Pen{colour::Blue});
    s.selectBrush(Brush{colour::Blue});
    s.ellipse({c.x - c.radius, c.y - c.radius, c.x + c.radius, c.y + c.radius});
    target.newTargetFlag = 0;
}

}  // namespace kenvo
