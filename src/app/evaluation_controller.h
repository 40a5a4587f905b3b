#pragma once

#include <QObject>
#include <QPoint>
#include <cstdint>

#include "analysis/table_rows.h"
#include "command_ids.h"
#include "graphs/report_cursor_drag.h"
#include "graphs/report_pages.h"
#include "kenvo_plat_view.h"

namespace kenvo {

struct AppState;
class CMainFrame;
class OperatorPort;
class SwayList;

inline constexpr const char* NoLinesSelectedMessage = "No lines were selected!";
inline constexpr const char* DeleteLineQuestion = "Are You Sure You want to delete\n selected line?";
inline constexpr const char* ComboOutsideModeMessage = "Internal error: y1param";

// The evaluation views of a recorded data set: the six digital tables in the list, the graph
// report and the diffusion analysis. It switches the view into these modes, answers their
// dialog bars and mouse clicks, and draws them (other modes go to the renderer it was given).
class EvaluationController final : public QObject {
    Q_OBJECT

  public:
    EvaluationController(AppState& state, OperatorPort& port, CMainFrame& frame,
                         CKenvoPlatView& view);

    SwayList& list() const { return *list_; }
    // The diffusion page as drawn and printed; its line is the DA dialog's `daLineA` and
    // `daLineB`, which "RESULT" sets and the operator may edit afterwards.
    const DiffusionPageData& diffusion();
    int32_t intervalSeconds() const { return intervalSeconds_; }
    int32_t diffusionSpan() const { return diffusionSpan_; }

    // The mode commands and the bar buttons of these modes; false for anything else.
    bool handleCommand(int32_t id);
    void comboChanged(int32_t id);
    void mousePressed(QPoint at, Qt::MouseButton button);
    // Dragging a report cursor: the pointer's moves and the button's release.
    void pointerMoved(QPoint at);
    void mouseReleased(QPoint at, Qt::MouseButton button);

    // Draws the modes owned here; the others go to `fallback`.
    void render(Surface& surface, const ViewContext& context, const ModeRenderer& fallback);

    // Shows the Driving Summary rows of `attempt` (the end of a driving attempt calls this).
    void showDrivingSummary(int32_t attempt);

    // The table of a table mode as the list now shows it.
    TableContent shownTable() const;
    // The clinical measures' filter or ellipse changed: the table and pictures follow.
    void clinicalOptionsChanged();
    // Empties and hides the list (a test or the replay takes the view).
    void hideList();

  private:
    void showTable(int32_t command, ViewMode mode);
    void fillList();
    void deleteTargetLine();
    void enterGraphReport();
    void enterDiffusion();
    void runDiffusionFit();
    void selectAttempt(int32_t index);
    void selectY(bool first, int32_t index);
    void selectSpan(int32_t index);
    bool reportButton(int32_t id);
    // The "Fit Y axes" menu entry ticked while the report's axes are fitted.
    void showFitState();
    bool diffusionButton(int32_t id);
    void setBarCombo(int32_t id, int32_t index);
    StanceContext context(const Rect& client);

    AppState& state_;
    OperatorPort& port_;
    CMainFrame& frame_;
    CKenvoPlatView& view_;
    SwayList* list_;
    int32_t intervalSeconds_ = 1;
    int32_t diffusionSpan_ = 0;
    DiffusionPageData diffusion_{};
    ReportPointer pointer_;
};

}  // namespace kenvo
