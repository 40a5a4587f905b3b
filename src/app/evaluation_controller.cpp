#include "evaluation_controller.h"

#include <QComboBox>
#include <algorithm>

#include "analysis/diffusion_curve.h"
#include "app_state.h"
#include "bar_setup.h"
#include "dialog_bar.h"
#include "graphs/display_geometry.h"
#include "graphs/report_controls.h"
#include "main_frame.h"
#include "model/limits.h"
#include "operator_port.h"
#include "reports/clinical_table.h"
#include "sway_list.h"

namespace kenvo {

namespace {

// Where the list stands while a table is shown.
const QRect ListGeometry(10, 70, 730, 330);

bool isTableMode(ViewMode mode) {
    return isSummaryTable(static_cast<int32_t>(mode));
}

}  // namespace

EvaluationController::EvaluationController(AppState& state, OperatorPort& port, CMainFrame& frame,
                                           CKenvoPlatView& view)
    : QObject(&view),
      state_(state),
      port_(port),
      frame_(frame),
      view_(view),
      list_(new SwayList(&view)) {
    connect(&frame, &CMainFrame::barComboChanged, this, &EvaluationController::comboChanged);
    connect(&view, &CKenvoPlatView::mousePressed, this, &EvaluationController::mousePressed);
    connect(&view, &CKenvoPlatView::pointerMoved, this, &EvaluationController::pointerMoved);
    connect(&view, &CKenvoPlatView::mouseReleased, this, &EvaluationController::mouseReleased);
    connect(&view, &CKenvoPlatView::blanked, this, &EvaluationController::hideList);
    // The list covers the same part of the layout at any size of the view.
    connect(&view, &CKenvoPlatView::layoutScaleChanged, this, [this](double scale) {
        list_->setScale(scale);
        if (!list_->isHidden()) list_->place(view_.toWidget(ListGeometry));
    });
    // The tests and the replay show their own panels where the list stood.
    connect(&view, &CKenvoPlatView::modeChanged, this, [this](ViewMode mode) {
        if (!isTableMode(mode)) hideList();
        pointer_.cancel();
        showFitState();
    });
}

StanceContext EvaluationController::context(const Rect& client) {
    return StanceContext{.graph = state_.settings.graph,
                         .store = state_.store,
                         .state = view_.display(),
                         .client = client,
                         .clinical = &state_.clinical};
}

bool EvaluationController::handleCommand(int32_t id) {
    switch (id) {
        case CmdAttempt:
            showTable(id, ViewMode::AttemptTable);
            return true;
        case CmdSummary:
            showTable(id, ViewMode::Summary);
            return true;
        case CmdIntervalSummary:
            showTable(id, ViewMode::IntervalSummary);
            return true;
        case CmdTargetSummary:
            showTable(id, ViewMode::TargetSummary);
            return true;
        case CmdDrivingSummary:
            showTable(id, ViewMode::DrivingSummary);
            return true;
        case CmdFrequencyAnalysis:
            showTable(id, ViewMode::FrequencyAnalysis);
            return true;
        case CmdClinicalMeasures:
            showTable(id, ViewMode::ClinicalMeasures);
            return true;
        case CmdGraphReport:
            enterGraphReport();
            return true;
        case CmdDifusAnalysis:
            enterDiffusion();
            return true;
        case CmdWholeAttempt:
        case CmdFitY:
            if (view_.mode() == ViewMode::GraphReport) return reportButton(id);
            showFitState();  // nothing to show them on outside the report
            return true;
        case BarDeleteButton:
            if (view_.mode() != ViewMode::TargetSummary) return false;
            deleteTargetLine();
            return true;
        default:
            break;
    }
    if (view_.mode() == ViewMode::GraphReport) return reportButton(id);
    if (view_.mode() == ViewMode::DifusAnalysis) return diffusionButton(id);
    return false;
}

void EvaluationController::showTable(int32_t command, ViewMode mode) {
    if (view_.mode() == mode) return;
    view_.setMode(mode);
    view_.display().selectedAttempt = 0;
    if (mode == ViewMode::IntervalSummary) intervalSeconds_ = 1;
    frame_.applyBarSetup(command);
    fillList();
    list_->setScale(view_.layoutScale());
    list_->place(view_.toWidget(ListGeometry));
    // The whole view, so nothing of the mode before is left around the list.
    view_.redraw();
}

void EvaluationController::fillList() {
    if (view_.mode() == ViewMode::ClinicalMeasures) {
        list_->fill(buildClinicalTable(state_.store, state_.clinical.lowPass()));
        return;
    }
    const TableRequest request{view_.display().selectedAttempt, intervalSeconds_,
                               state_.settings.filterFrequency};
    list_->fill(buildTable(static_cast<SummaryTable>(view_.mode()), state_.store, request));
}

void EvaluationController::clinicalOptionsChanged() {
    if (view_.mode() == ViewMode::ClinicalMeasures) fillList();
    view_.redraw();
}

void EvaluationController::hideList() {
    list_->clearTable();
    list_->place(QRect());
}

TableContent EvaluationController::shownTable() const {
    return list_->shownContent();
}

void EvaluationController::showDrivingSummary(int32_t attempt) {
    if (view_.mode() != ViewMode::DrivingSummary) {
        showTable(CmdDrivingSummary, ViewMode::DrivingSummary);
    }
    view_.display().selectedAttempt = attempt;
    setBarCombo(BarAttemptCombo, attempt);
    fillList();
}

void EvaluationController::deleteTargetLine() {
    const std::vector<int> selected = list_->selectedRowIndexes();
    if (selected.empty()) {
        port_.message(NoLinesSelectedMessage);
        return;
    }
    if (port_.ask(DeleteLineQuestion, false) != Answer::Yes) return;
    // The closing rows (blank line, averages) are not attempts and delete nothing.
    if (state_.store.deleteAttempt(selected.front())) state_.store.dataSaved = 0;
    fillList();
    view_.redraw();
}

void EvaluationController::enterGraphReport() {
    if (view_.mode() == ViewMode::GraphReport) return;
    kenvo::enterGraphReport(view_.display(), state_.store, state_.settings.graph);
    frame_.applyBarSetup(CmdGraphReport);
    setBarCombo(BarY1Combo, state_.settings.graph.y1Parameter);
    setBarCombo(BarY2Combo, state_.settings.graph.y2Parameter);
    view_.setMode(ViewMode::GraphReport);
    hideList();
    view_.redraw();
}

void EvaluationController::enterDiffusion() {
    if (view_.mode() == ViewMode::DifusAnalysis) return;
    view_.setMode(ViewMode::DifusAnalysis);
    diffusion_.resultsCurrent = false;
    // The duration comes from the file; one beyond the slots would overflow the product.
    diffusionSpan_ =
        std::clamp(state_.store.attemptSeconds, 0, MaxSamples / SampleRate) * SampleRate;
    enterDiffusionGraph(view_.display(), state_.store, state_.settings.graph);
    diffusion_.curve = computeDiffusionCurve(state_.store, 0, diffusionSpan_);
    frame_.applyBarSetup(CmdDifusAnalysis, diffusionSpan_);
    setBarCombo(BarY1Combo, view_.display().reportY1);
    setBarCombo(BarY2Combo, view_.display().reportY2);
    hideList();
    view_.redraw();
}

void EvaluationController::setBarCombo(int32_t id, int32_t index) {
    DialogBar* bar = frame_.dialogBar();
    if (QComboBox* box = bar ? bar->combo(id) : nullptr)
        box->setCurrentIndex(index >= 0 && index < box->count() ? index : -1);
}

void EvaluationController::comboChanged(int32_t id) {
    const int32_t index = frame_.barComboSelection(id);
    switch (id) {
        case BarAttemptCombo:
            selectAttempt(index);
            break;
        case BarIntervalCombo:
            if (view_.mode() != ViewMode::IntervalSummary || index < 0) return;
            intervalSeconds_ = index + 1;
            fillList();
            break;
        case BarY1Combo:
        case BarY2Combo:
            selectY(id == BarY1Combo, index);
            break;
        case BarDiffusionIntervalCombo:
            selectSpan(index);
            break;
        default:
            break;
    }
}

void EvaluationController::selectAttempt(int32_t index) {
    const ViewMode mode = view_.mode();
    if (index < 0 || index >= state_.store.attemptCount) return;
    DisplayState& display = view_.display();
    if (isTableMode(mode)) {
        display.selectedAttempt = index;
        if (mode == ViewMode::AttemptTable || mode == ViewMode::IntervalSummary ||
            mode == ViewMode::DrivingSummary)
            fillList();
    } else if (mode == ViewMode::GraphReport) {
        selectReportAttempt(display, state_.store, index);
    } else if (mode == ViewMode::DifusAnalysis) {
        display.selectedAttempt = index;
        diffusion_.curve = computeDiffusionCurve(state_.store, index, diffusionSpan_);
    } else {
        return;  // the replay's combo belongs to the replay
    }
    view_.redraw();
}

void EvaluationController::selectY(bool first, int32_t index) {
    DisplayState& display = view_.display();
    GraphSettings& graph = state_.settings.graph;
    if (view_.mode() == ViewMode::GraphReport) {
        first ? selectReportY1(display, graph, index) : selectReportY2(display, graph, index);
    } else if (view_.mode() == ViewMode::DifusAnalysis) {
        if (first) {
            if (selectDiffusionY1(display, graph, index)) diffusion_.resultsCurrent = false;
        } else {
            selectDiffusionY2(display, graph, index);
        }
    } else {
        port_.message(ComboOutsideModeMessage);
        return;
    }
    view_.redraw();
}

void EvaluationController::selectSpan(int32_t index) {
    if (view_.mode() != ViewMode::DifusAnalysis) {
        port_.message(ComboOutsideModeMessage);
        return;
    }
    if (index < 0) return;
    diffusionSpan_ = 1000 + SampleRate * index;
    diffusion_.curve =
        computeDiffusionCurve(state_.store, view_.display().selectedAttempt, diffusionSpan_);
    view_.redraw();
}

void EvaluationController::render(Surface& surface, const ViewContext& c,
                                  const ModeRenderer& fallback) {
    if (c.mode == ViewMode::GraphReport) {
        surface.fillSolid(c.area, colour::White);
        drawGraphReportPage(context(c.area), surface, screenReportBoxes());
    } else if (c.mode == ViewMode::DifusAnalysis) {
        surface.fillSolid(c.area, colour::White);
        drawDiffusionPage(context(c.area), surface, diffusion(), panel::HeaderUpper,
                          panel::HeaderLower, panel::DiffusionGraph);
    } else if (isTableMode(c.mode)) {
        renderBlankView(surface, c);  // the list covers the rest
    } else if (fallback) {
        fallback(surface, c);
    } else {
        renderBlankView(surface, c);
    }
}

}  // namespace kenvo
