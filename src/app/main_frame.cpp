#include "main_frame.h"

#include <QAction>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QShortcut>
#include <QSettings>
#include <QStatusBar>
#include <QTimer>

#include "app_state.h"
#include "clinical_commands.h"
#include "sensory_report_commands.h"
#include "clipboard_export.h"
#include "evaluation_controller.h"
#include "print_controller.h"
#include "command_ids.h"
#include "da_setup_dialog.h"
#include "dialog_bar.h"
#include "dialog_text.h"
#include "enabling_rules.h"
#include "kenvo_plat_view.h"
#include "procedures/driving_procedure.h"
#include "procedures/stance_procedure.h"
#include "operator_port.h"
#include "platform_choice.h"
#include "protocol_dialog.h"
#include "graphs/layout_scale.h"
#include "window_caption.h"

namespace kenvo {

CMainFrame::CMainFrame(AppState& state, OperatorPort& port, QSettings& profile, QWidget* parent)
    : QMainWindow(parent),
      state_(state),
      port_(port),
      profile_(profile),
      recent_(profile),
      files_(state, port, recent_, [this] { runCommand(CmdBlankView); }),
      view_(new CKenvoPlatView(state, this)) {
    installEvaluation();
    setObjectName("mainFrame");
    setCentralWidget(view_);
    resize(LayoutWindowWidth, LayoutWindowHeight);
    // Where the window was left last time, at its size, maximised or not.
    if (const auto placement = loadWindowPlacement(profile_)) applyWindowPlacement(*this, *placement);
    setDockOptions(QMainWindow::AnimatedDocks);
    connect(view_, &CKenvoPlatView::blanked, this, &CMainFrame::hideDialogBar);
    createActions();
    createMenus();
    createToolBar();
    createStatusBar();
    rebuildRecentFiles();
    updateCommandStates();

    // Esc ends a running test as its Exit button does, the usual way out of a full-screen view.
    auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    connect(escape, &QShortcut::activated, this, &CMainFrame::escapePressed);

    // The toolbar follows the store's flags, which tests and the reader change under it.
    auto* idle = new QTimer(this);
    connect(idle, &QTimer::timeout, this, [this] {
        if (isVisible()) updateCommandStates();
    });
    idle->start(250);
}

CMainFrame::~CMainFrame() = default;

void CMainFrame::escapePressed() {
    for (const int exit : {int(StanceExitButton), int(DrivingExitButton)}) {
        if (bar_ && bar_->isControlShown(exit)) {
            runCommand(exit);
            return;
        }
    }
    leaveFullScreen();
}

void CMainFrame::installEvaluation() {
    evaluation_ = new EvaluationController(state_, port_, *this, *view_);
    exports_ = std::make_unique<ClipboardExport>(state_, port_, *view_, *evaluation_, this);
    printing_ = std::make_unique<PrintController>(state_, port_, *view_, *evaluation_, this);
    state_.clinical = loadClinicalOptions(profile_);
    clinical_ = std::make_unique<ClinicalCommands>(state_, port_, profile_, *evaluation_, this);
    sensoryReport_ = std::make_unique<SensoryReportCommands>(state_, port_, profile_, *this, *view_);
    printing_->setReportPage([this] { return sensoryReport_->reportPage(); });
    view_->addCommandHandler([this](int32_t id) {
        return evaluation_->handleCommand(id) || exports_->handleCommand(id) ||
               printing_->handleCommand(id) || clinical_->handleCommand(id) ||
               sensoryReport_->handleCommand(id);
    });
    // The evaluation modes are drawn here; every other mode as the view drew it before.
    view_->setRenderer([this, before = view_->renderer()](Surface& s, const ViewContext& c) {
        if (c.mode == ViewMode::SensoryResults)
            sensoryReport_->render(s, c);
        else
            evaluation_->render(s, c, before);
    });
}

void CMainFrame::setDocumentTitle(const QString& title) {
    documentTitle_ = title;
    updateCaption();
}

void CMainFrame::updateCaption() {
    const QString caption = windowCaption(documentTitle_, state_.store, files_.dataSetFile());
    if (caption != windowTitle()) setWindowTitle(caption);
}

void CMainFrame::updateCommandStates() {
    const bool hasConditions = state_.sensory.any(state_.store);
    for (auto it = actions_.begin(); it != actions_.end(); ++it)
        it.value()->setEnabled(isCommandEnabled(it.key(), state_.store, hasConditions));
    // The caption names the data set's subject and file, which tests and files change.
    updateCaption();
}

void CMainFrame::runCommand(int id) {
    if (!isCommandEnabled(id, state_.store, state_.sensory.any(state_.store))) return;
    const bool handled =
        view_->handleCommand(id) || handleFrameCommand(id) || (appHandler_ && appHandler_(id));
    if (!handled) statusBar()->showMessage("This command is not available yet.", 4000);
    updateCommandStates();
}

bool CMainFrame::handleFrameCommand(int id) {
    if (id >= CmdRecentFile1 && id < CmdRecentFile1 + RecentFileCount) {
        const QStringList list = recent_.files();
        const int index = id - CmdRecentFile1;
        if (index < list.size()) files_.openRecent(list[index]);
        rebuildRecentFiles();
        return true;
    }
    switch (id) {
        case CmdOpen:
            files_.open();
            break;
        case CmdSave:
            files_.save();
            break;
        case CmdOpenCfg:
            files_.openConfiguration();
            break;
        case CmdSaveCfg:
            files_.saveConfiguration();
            break;
        case CmdOpenProtocol:
            files_.openProtocol();
            break;
        case CmdSaveProtocol:
            files_.saveProtocol();
            break;
        case CmdNewProtocol: {
            CProtocolDlg dialog(state_.protocol, state_.store.targetLocation,
                                state_.paths.programFolder, port_, this);
            port_.runDialog(dialog);
            runCommand(CmdBlankView);
            break;
        }
        case CmdDaGraphSetup: {
            CYaxesDlg dialog(state_.settings.graph, state_.settings.diffusionLine, port_, this);
            port_.runDialog(dialog);
            view_->redraw();
            break;
        }
        default:
            return false;
    }
    rebuildRecentFiles();
    return true;
}

DialogBar* CMainFrame::switchDialogBar(int templateId) {
    hideDialogBar();
    bar_ = DialogBar::create(templateId, this);
    if (!bar_) return nullptr;
    connect(bar_, &DialogBar::command, this, &CMainFrame::runCommand);
    connect(bar_, &DialogBar::comboChanged, this, &CMainFrame::barComboChanged);
    addToolBarBreak(Qt::TopToolBarArea);
    addToolBar(Qt::TopToolBarArea, bar_);
    bar_->show();
    return bar_;
}

void CMainFrame::hideDialogBar() {
    if (!bar_) return;
    // A bar button may be what asked for this, so the widget goes once its signal returns.
    bar_->hide();
    removeToolBarBreak(bar_);
    removeToolBar(bar_);
    bar_->deleteLater();
    bar_ = nullptr;
}

bool CMainFrame::fillBarCombo(int id, const QStringList& entries, int selected) {
    return bar_ && bar_->fillCombo(id, entries, selected);
}

bool CMainFrame::fillBarCombo(int id, const ComboFill& fill) {
    QStringList entries;
    for (const auto& e : fill.entries) entries << QString::fromStdString(e);
    return fillBarCombo(id, entries, fill.selected);
}

int CMainFrame::barComboSelection(int id) const {
    return bar_ ? bar_->comboSelection(id) : -1;
}

bool CMainFrame::showBarControl(int id, bool visible) {
    return bar_ && bar_->showControl(id, visible);
}

DialogBar* CMainFrame::applyBarSetup(int viewCommand, int32_t diffusionSamples) {
    const auto setup = barSetupFor(viewCommand);
    if (!setup) {
        hideDialogBar();
        return nullptr;
    }
    if (!switchDialogBar(setup->templateId)) return nullptr;
    for (int id : setup->shown) showBarControl(id, true);
    for (int id : setup->hidden) showBarControl(id, false);
    if (setup->fillAttempts)
        fillBarCombo(BarAttemptCombo, attemptComboFill(state_.store.attemptCount));
    if (setup->fillIntervals)
        fillBarCombo(BarIntervalCombo, intervalComboFill(state_.store.attemptSeconds));
    if (setup->fillDiffusion)
        fillBarCombo(BarDiffusionIntervalCombo, diffusionComboFill(diffusionSamples));
    return bar_;
}

void CMainFrame::enterFullScreen() {
    if (fullScreen_) return;
    normalGeometry_ = geometry();
    // The window manager places a full-screen window over panels and borders; moving the frame
    // past the screen edges, as a bare window system needs, is refused by most of them.
    showFullScreen();
    fullScreen_ = true;
}

WindowPlacement CMainFrame::placement() const {
    if (fullScreen_) return {normalGeometry_, false};
    return {isMaximized() ? normalGeometry() : geometry(), isMaximized()};
}

void CMainFrame::leaveFullScreen() {
    if (!fullScreen_) return;
    showNormal();
    setGeometry(normalGeometry_);
    fullScreen_ = false;
}

void CMainFrame::setPlatformChoice(int32_t choice) {
    if (QAction* a = platformActions_.value(choice, nullptr)) a->setChecked(true);
    // Only a simulated subject can be steered.
    for (QAction* subject : {mouseSteering_, subjectOnPlate_, playRecording_})
        if (subject) subject->setEnabled(choice != PlatformAutomatic);
}

void CMainFrame::closeEvent(QCloseEvent* event) {
    if (!files_.offerSave(true)) {
        event->ignore();
        return;
    }
    event->accept();
    if (shutdown_) shutdown_();
}

bool CMainFrame::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress || event->type() == QEvent::KeyRelease)
        updateLockIndicators(static_cast<QKeyEvent*>(event)->nativeModifiers());
    return QMainWindow::eventFilter(watched, event);
}

void CMainFrame::updateLockIndicators(quint32 nativeModifiers) {
    // The X11 modifier state: Lock is bit 1, Num Lock is usually Mod2 (bit 4), Scroll Lock
    // Mod3 on the keyboard maps that bind it. Other window systems leave the panes greyed.
    if (nativeModifiers == 0 && !QGuiApplication::platformName().startsWith("xcb")) return;
    capsPane_->setEnabled(nativeModifiers & 0x02);
    numPane_->setEnabled(nativeModifiers & 0x10);
    scrollPane_->setEnabled(nativeModifiers & 0x20);
}

}  // namespace kenvo
