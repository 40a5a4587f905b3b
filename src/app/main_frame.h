#pragma once

#include <QHash>
#include <QMainWindow>
#include <QRect>
#include <functional>
#include <memory>

#include "bar_setup.h"
#include "file_commands.h"
#include "recent_files.h"
#include "window_placement.h"

class QAction;
class QActionGroup;
class QLabel;
class QMenu;
class QSettings;
class QToolBar;

namespace kenvo {

struct AppState;
class CKenvoPlatView;
class ClinicalCommands;
class SensoryReportCommands;
class ClipboardExport;
class DialogBar;
class EvaluationController;
class PrintController;
class OperatorPort;
class TestStatus;

// The main window: menu bar, toolbar, status bar, the view and at most one dialog bar. Every
// command goes through runCommand(), which checks its enabling rule and offers it to the view,
// the frame and the application in turn.
class CMainFrame final : public QMainWindow {
    Q_OBJECT

  public:
    CMainFrame(AppState& state, OperatorPort& port, QSettings& profile, QWidget* parent = nullptr);
    ~CMainFrame() override;

    CKenvoPlatView* view() const { return view_; }
    FileCommands& files() { return files_; }
    RecentFiles& recentFiles() { return recent_; }
    QAction* action(int id) const { return actions_.value(id, nullptr); }
    QToolBar* toolBar() const { return toolBar_; }
    EvaluationController& evaluation() { return *evaluation_; }
    ClipboardExport& exports() { return *exports_; }
    PrintController& printing() { return *printing_; }
    ClinicalCommands& clinical() { return *clinical_; }
    SensoryReportCommands& sensoryReport() { return *sensoryReport_; }
    // The status bar's account of the test on screen.
    TestStatus& testStatus() { return *testStatus_; }

    void runCommand(int id);
    // Re-evaluates the enabling rules of every command (menus are refreshed when opened).
    void updateCommandStates();
    // Commands the application answers; returns false for ids it does not know.
    void setApplicationHandler(std::function<bool(int)> handler) {
        appHandler_ = std::move(handler);
    }
    // Called once the window has agreed to close (after the unsaved-data question).
    void setShutdownHandler(std::function<void()> handler) { shutdown_ = std::move(handler); }
    void setDocumentTitle(const QString& title);
    // Shows the caption of the data set the store holds now.
    void updateCaption();

    // The dialog bar operations the view uses.
    DialogBar* switchDialogBar(int templateId);
    void hideDialogBar();
    DialogBar* dialogBar() const { return bar_; }
    bool fillBarCombo(int id, const QStringList& entries, int selected);
    bool fillBarCombo(int id, const ComboFill& fill);
    int barComboSelection(int id) const;
    bool showBarControl(int id, bool visible);
    // The bar of a view command with its controls shown or hidden and its combos filled from
    // the store; `diffusionSamples` sizes the diffusion interval combo.
    DialogBar* applyBarSetup(int viewCommand, int32_t diffusionSamples = 0);

    void enterFullScreen();
    void leaveFullScreen();
    bool isFullScreenMode() const { return fullScreen_; }
    // Where the window stands when not full screen, to be restored at the next start.
    WindowPlacement placement() const;

    // The platform submenu: the checked entry, and who builds the new bus when it changes.
    void setPlatformChoice(int32_t choice);
    void setPlatformChoiceHandler(std::function<void(int32_t)> handler) {
        platformHandler_ = std::move(handler);
    }
    // "Steer with the mouse" of the platform submenu (checkable; enabled for simulated models).
    QAction* mouseSteeringAction() const { return mouseSteering_; }
    // "Subject on the plate" (checkable, checked at start; enabled for simulated models).
    QAction* subjectOnPlateAction() const { return subjectOnPlate_; }
    // "Play a recording..." (checkable; enabled for simulated models).
    QAction* playRecordingAction() const { return playRecording_; }
    // "Target test sounds" of the SetuP menu (checkable, remembered).
    QAction* soundsAction() const { return sounds_; }

  signals:
    // The operator chose another entry in a combo of the dialog bar.
    void barComboChanged(int id);

  protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void installEvaluation();
    void createActions();
    void createMenus();
    void createToolBar();
    void createStatusBar();
    void rebuildRecentFiles();
    bool handleFrameCommand(int id);
    void updateLockIndicators(quint32 nativeModifiers);
    void escapePressed();

    AppState& state_;
    OperatorPort& port_;
    QSettings& profile_;
    RecentFiles recent_;
    FileCommands files_;
    CKenvoPlatView* view_;
    EvaluationController* evaluation_;  // a child of the view
    std::unique_ptr<ClipboardExport> exports_;
    std::unique_ptr<PrintController> printing_;
    std::unique_ptr<ClinicalCommands> clinical_;
    std::unique_ptr<SensoryReportCommands> sensoryReport_;
    QToolBar* toolBar_ = nullptr;
    DialogBar* bar_ = nullptr;
    QHash<int, QAction*> actions_;
    QActionGroup* platformGroup_ = nullptr;
    QHash<int32_t, QAction*> platformActions_;
    QAction* mouseSteering_ = nullptr;
    QAction* subjectOnPlate_ = nullptr;
    QAction* playRecording_ = nullptr;
    QAction* sounds_ = nullptr;
    QLabel* capsPane_ = nullptr;
    QLabel* numPane_ = nullptr;
    QLabel* scrollPane_ = nullptr;
    TestStatus* testStatus_ = nullptr;
    std::function<bool(int)> appHandler_;
    std::function<void()> shutdown_;
    std::function<void(int32_t)> platformHandler_;
    QString documentTitle_;
    QRect normalGeometry_;
    bool fullScreen_ = false;
};

}  // namespace kenvo
