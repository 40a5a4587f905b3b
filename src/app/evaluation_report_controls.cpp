// The graph report's and the diffusion page's own controls: their bar buttons, the View
// menu's report entries, and the mouse on their graphs.
#include <QAction>

#include "analysis/diffusion_fit.h"
#include "app_state.h"
#include "evaluation_controller.h"
#include "graphs/display_geometry.h"
#include "graphs/report_controls.h"
#include "main_frame.h"

namespace kenvo {

namespace {

// Bar buttons of the graph report and the diffusion page.
enum EvaluationButton : int32_t {
    BtnZoom = 32813,
    BtnRightBack = 32814,
    BtnRightForward = 32815,
    BtnLeftBack = 32816,  // the diffusion marker's "<<" too
    BtnLeftForward = 32817,
    BtnResult = 1059,
};

// Where "Wait a moment" is written while the fit runs.
constexpr Rect WaitBox{100, 120, 620, 160};

}  // namespace

bool EvaluationController::reportButton(int32_t id) {
    DisplayState& display = view_.display();
    switch (id) {
        case BtnZoom:
            zoomReport(display);
            break;
        case BtnLeftBack:
            leftCursorBack(display);
            break;
        case BtnLeftForward:
            leftCursorForward(display);
            break;
        case BtnRightBack:
            rightCursorBack(display);
            break;
        case BtnRightForward:
            rightCursorForward(display);
            break;
        case CmdWholeAttempt:
            showWholeAttempt(display, state_.store);
            break;
        case CmdFitY:
            display.reportFitY = !display.reportFitY;
            break;
        default:
            return false;
    }
    showFitState();
    view_.redraw();
    return true;
}

void EvaluationController::showFitState() {
    // The entry ticks itself when chosen; the view's state decides what it shows.
    if (QAction* fit = frame_.action(CmdFitY))
        fit->setChecked(view_.mode() == ViewMode::GraphReport && view_.display().reportFitY);
}

bool EvaluationController::diffusionButton(int32_t id) {
    switch (id) {
        case BtnLeftBack:
            diffusionMarkerBack(view_.display());
            break;
        case BtnLeftForward:
            diffusionMarkerForward(view_.display());
            break;
        case BtnResult:
            runDiffusionFit();
            break;
        default:
            return false;
    }
    view_.redraw();
    return true;
}

void EvaluationController::runDiffusionFit() {
    // The fit holds the interface thread for a moment; the operator is told so first.
    view_.drawIncrement([](Surface& s) {
        SurfaceState keep(s);
        s.selectFont(ViewFont::SmallBold);
        s.text(WaitBox, "Wait a moment", TextAlign::Centre);
    });
    view_.repaint();
    const DisplayState& display = view_.display();
    DiffusionLine& line = state_.settings.diffusionLine;
    diffusion_.fit =
        fitDiffusionLines(diffusion_.curve, display.reportY1, display.leftMarker, line.daLineA);
    line = DiffusionLine{diffusion_.fit.lineA, diffusion_.fit.lineB};
    diffusion_.resultsCurrent = true;
}

const DiffusionPageData& EvaluationController::diffusion() {
    diffusion_.fit.lineA = state_.settings.diffusionLine.daLineA;
    diffusion_.fit.lineB = state_.settings.diffusionLine.daLineB;
    return diffusion_;
}

namespace {

ReportPointer::Button pointerButton(Qt::MouseButton button) {
    if (button == Qt::LeftButton) return ReportPointer::Button::Left;
    if (button == Qt::RightButton) return ReportPointer::Button::Right;
    return ReportPointer::Button::Other;
}

}  // namespace

void EvaluationController::mousePressed(QPoint at, Qt::MouseButton button) {
    DisplayState& display = view_.display();
    bool changed = false;
    if (view_.mode() == ViewMode::GraphReport) {
        changed = pointer_.press(display, panel::TimeGraph, at.x(), at.y(), pointerButton(button));
    } else if (view_.mode() == ViewMode::DifusAnalysis && button == Qt::LeftButton) {
        changed = diffusionClick(display, panel::DiffusionGraph, at.x(), at.y());
    }
    if (changed) view_.redraw();
}

void EvaluationController::pointerMoved(QPoint at) {
    if (pointer_.held() == ReportCursor::None) return;
    if (view_.mode() != ViewMode::GraphReport) {
        pointer_.cancel();
        return;
    }
    if (pointer_.move(view_.display(), panel::TimeGraph, at.x())) view_.redraw();
}

void EvaluationController::mouseReleased(QPoint at, Qt::MouseButton button) {
    if (view_.mode() != ViewMode::GraphReport) {
        pointer_.cancel();
        return;
    }
    if (pointer_.release(view_.display(), panel::TimeGraph, at.x(), pointerButton(button)))
        view_.redraw();
}

}  // namespace kenvo
