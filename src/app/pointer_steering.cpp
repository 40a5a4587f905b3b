#include "pointer_steering.h"

#include <QAction>

#include "app_state.h"
#include "driving_controller.h"
#include "graphs/display_geometry.h"
#include "graphs/target_hit_decision.h"
#include "kenvo_plat_view.h"
#include "platform_choice.h"
#include "stance_controller.h"
#include "target_controller.h"

namespace kenvo {

namespace {

// The millimetres at pixel `at` of a square showing min..max on both axes, y upward.
CopPoint inSquare(QPoint at, const Rect& r, double min, double max) {
    const double w = std::max(r.right - r.left, 1), h = std::max(r.bottom - r.top, 1);
    return {min + (at.x() - r.left) * (max - min) / w, min + (r.bottom - at.y()) * (max - min) / h};
}

}  // namespace

PointerSteering::PointerSteering(std::shared_ptr<SteerableSource> subject, CKenvoPlatView& view,
                                 AppState& state, StanceController& stance, QSettings& profile,
                                 QAction& toggle)
    : QObject(&view),
      subject_(std::move(subject)),
      view_(view),
      state_(state),
      stance_(stance),
      profile_(profile),
      toggle_(toggle) {
    connect(&view_, &CKenvoPlatView::pointerMoved, this, &PointerSteering::pointerMoved);
    connect(&toggle_, &QAction::toggled, this, [this](bool on) {
        setSteering(on);
        saveMouseSteering(profile_, on);
    });
    setSteering(loadMouseSteering(profile_));
}

void PointerSteering::setSteering(bool on) {
    subject_->setSteering(on);
    // Without tracking the view hears of the pointer only while a button is down.
    view_.setMouseTracking(on);
    const QSignalBlocker quiet(&toggle_);
    toggle_.setChecked(on);
}

std::optional<CopPoint> PointerSteering::copAt(QPoint at) const {
    const DisplayState& display = stance_.display();
    // The target square and the COP plane show the COP less the display centre.
    const auto plate = [&](CopPoint shown) {
        return CopPoint{shown.xMm + display.displayCentreX, shown.yMm + display.displayCentreY};
    };
    switch (view_.mode()) {
        case ViewMode::TargetTest: {
            const double half = TargetSquareSpanMm / 2.0;
            return plate(inSquare(at, stance_.target().procedure().layout().square, -half, half));
        }
        case ViewMode::DrivingTest: {
            // The marker sits (mm - centre - trackMin) x scale from the square's left edge and
            // from its bottom edge upward.
            DrivingProcedure& driving = stance_.driving().procedure();
            const DrivingDisplay& d = driving.driving();
            if (d.trackScale <= 0.0) return std::nullopt;
            const Rect& q = driving.square();
            const AcquisitionControl& c = driving.control();
            return CopPoint{
                d.trackMin + (at.x() - q.left) / d.trackScale + c.centreX.load(std::memory_order_relaxed),
                d.trackMin + (q.top + d.squareHeight - at.y()) / d.trackScale +
                    c.centreY.load(std::memory_order_relaxed)};
        }
        default: {
            const GraphSettings& g = state_.settings.graph;
            if (g.copAxisMax <= g.copAxisMin) return std::nullopt;
            return plate(inSquare(at, panel::CopPlane, g.copAxisMin, g.copAxisMax));
        }
    }
}

void PointerSteering::pointerMoved(QPoint at) {
    if (!subject_->steering()) return;
    if (const std::optional<CopPoint> cop = copAt(at)) subject_->steerTo(*cop);
}

}  // namespace kenvo
