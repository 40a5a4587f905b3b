// The frame's menu bar, toolbar and status bar.
#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QProxyStyle>
#include <QSettings>
#include <QStatusBar>
#include <QToolBar>
#include <QToolButton>

#include "command_ids.h"
#include "command_table.h"
#include "main_frame.h"
#include "model/platform_models.h"
#include "platform_choice.h"
#include "test_status.h"
#include "toolbar_icons.h"

namespace kenvo {

namespace {

// Tool buttons sized to the small images, so the whole toolbar fits the 800-pixel window.
class CompactToolBarStyle final : public QProxyStyle {
  public:
    int pixelMetric(PixelMetric metric, const QStyleOption* option,
                    const QWidget* widget) const override {
        if (metric == PM_ToolBarItemSpacing) return 0;
        if (metric == PM_ToolBarSeparatorExtent) return 6;
        return QProxyStyle::pixelMetric(metric, option, widget);
    }
    QSize sizeFromContents(ContentsType type, const QStyleOption* option, const QSize& size,
                           const QWidget* widget) const override {
        if (type == CT_ToolButton) return size + QSize(5, 6);
        return QProxyStyle::sizeFromContents(type, option, size, widget);
    }
};

QString text(std::string_view s) {
    return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
}

}  // namespace

void CMainFrame::createActions() {
    for (const CommandInfo& c : commandTable()) {
        auto* a = new QAction(text(c.text), this);
        a->setObjectName(QStringLiteral("command%1").arg(c.id));
        a->setData(c.id);
        if (!c.shortcut.empty()) {
            a->setShortcut(QKeySequence(text(c.shortcut)));
            a->setShortcutContext(Qt::WindowShortcut);
        }
        a->setStatusTip(text(c.statusTip));
        if (!c.toolTip.empty()) a->setToolTip(text(c.toolTip));
        const QPixmap image = toolbarPixmap(c.id);
        if (!c.toolTip.empty()) a->setIcon(QIcon(image));
        a->setIconVisibleInMenu(false);
        const int id = c.id;
        connect(a, &QAction::triggered, this, [this, id] { runCommand(id); });
        actions_.insert(c.id, a);
        // Keyboard-only commands still need a widget to listen for their keys.
        if (c.menu == MenuPlace::None) addAction(a);
    }
    for (int i = 0; i < RecentFileCount; ++i) {
        auto* a = new QAction(this);
        const int id = CmdRecentFile1 + i;
        a->setObjectName(QStringLiteral("command%1").arg(id));
        a->setStatusTip("Open this measurement file");
        connect(a, &QAction::triggered, this, [this, id] { runCommand(id); });
        actions_.insert(id, a);
    }
}

void CMainFrame::createMenus() {
    QMenuBar* bar = menuBar();
    auto menuFor = [](QMenu* menu, std::initializer_list<int> ids,
                      const QHash<int, QAction*>& actions) {
        for (int id : ids)
            id == 0 ? (void)menu->addSeparator() : menu->addAction(actions.value(id));
    };
    auto refresh = [this](QMenu* menu) {
        connect(menu, &QMenu::aboutToShow, this, &CMainFrame::updateCommandStates);
    };

    QMenu* file = bar->addMenu("&File");
    menuFor(file,
            {CmdOpen, CmdSave, 0, CmdOpenCfg, CmdSaveCfg, 0, CmdPrint, CmdPrintPreview, 0,
             CmdClinicalFiles, CmdExportReport, 0,
             CmdSetLogo, 0},
            actions_);
    for (int i = 0; i < RecentFileCount; ++i) file->addAction(actions_.value(CmdRecentFile1 + i));
    file->addSeparator();
    file->addAction(actions_.value(CmdExit));

    QMenu* subject = bar->addMenu("&Subject");
    menuFor(subject, {CmdSubjectInfo, CmdSubjects}, actions_);

    QMenu* test = bar->addMenu("&Test");
    menuFor(test,
            {CmdStanceTest, CmdContinueStance, CmdTargetTest, CmdDrivingTest, CmdContinueDriving,
             CmdSensoryTest, 0, CmdCheck, 0},
            actions_);
    QMenu* platform = test->addMenu("&Platform");
    platformGroup_ = new QActionGroup(this);
    auto addChoice = [&](int32_t choice, const QString& label, const QString& tip) {
        QAction* a = platform->addAction(label);
        a->setCheckable(true);
        a->setStatusTip(tip);
        platformGroup_->addAction(a);
        platformActions_.insert(choice, a);
        connect(a, &QAction::triggered, this, [this, choice] {
            if (platformHandler_) platformHandler_(choice);
        });
    };
    addChoice(PlatformAutomatic, "&Automatic", "Use the platform attached to this computer");
    platform->addSeparator();
    for (int32_t model = 0; model < PlatformModelCount; ++model)
        addChoice(model, QStringLiteral("Simulated %1").arg(text(PlatformDescriptions[model])),
                  "Use a simulated platform of this model (no hardware needed)");
    platform->addSeparator();
    mouseSteering_ = platform->addAction("Steer with the &mouse");
    mouseSteering_->setCheckable(true);
    mouseSteering_->setStatusTip(
        "The simulated subject's centre of pressure follows the mouse over the view");
    subjectOnPlate_ = platform->addAction("Subject on the p&late");
    subjectOnPlate_->setCheckable(true);
    subjectOnPlate_->setChecked(true);
    subjectOnPlate_->setStatusTip(
        "Clear to let the simulated subject step off, so the sensor check can zero the platform");
    playRecording_ = platform->addAction("Play a &recording...");
    playRecording_->setCheckable(true);
    playRecording_->setStatusTip("The simulated subject plays a COP recording (CSV t_s,x_mm,y_mm)");
    setPlatformChoice(PlatformAutomatic);

    QMenu* view = bar->addMenu("&View");
    view->addAction(actions_.value(CmdRealSimulation));
    QMenu* digital = view->addMenu("&Digital");
    menuFor(digital,
            {CmdSummary, CmdIntervalSummary, CmdAttempt, CmdTargetSummary, CmdDrivingSummary,
             CmdFrequencyAnalysis},
            actions_);
    menuFor(view, {CmdGraphReport, CmdDifusAnalysis, CmdClinicalMeasures, CmdSensoryResults}, actions_);
    // Ways of looking at the graph report's attempt; outside the report they do nothing.
    menuFor(view, {0, CmdWholeAttempt, CmdFitY}, actions_);
    actions_.value(CmdFitY)->setCheckable(true);

    QMenu* setup = bar->addMenu("Set&uP");
    menuFor(setup,
            {CmdGraphSetup, CmdDaGraphSetup, CmdClinicalSetup, CmdReportSetup, 0, CmdNewProtocol, CmdOpenProtocol,
             CmdSaveProtocol},
            actions_);
    setup->addSeparator();
    sounds_ = setup->addAction("Target test &sounds");
    sounds_->setCheckable(true);
    sounds_->setChecked(profile_.value("View/sounds", true).toBool());
    sounds_->setStatusTip("The alarm and success sounds of the target hitting test");
    connect(sounds_, &QAction::toggled, this, [this](bool on) {
        profile_.setValue("View/sounds", on);
        profile_.sync();
    });

    QMenu* about = bar->addMenu("&About");
    menuFor(about, {CmdAbout}, actions_);

    for (QMenu* m : {file, subject, test, view, digital, setup, about}) refresh(m);
}

void CMainFrame::createToolBar() {
    toolBar_ = addToolBar("Toolbar");
    toolBar_->setObjectName("toolBar");
    toolBar_->setIconSize(QSize(ToolbarImageWidth, ToolbarImageHeight));
    toolBar_->setMovable(true);
    toolBar_->setFloatable(true);
    toolBar_->setAllowedAreas(Qt::AllToolBarAreas);
    for (int id : toolbarLayout())
        id == 0 ? (void)toolBar_->addSeparator() : toolBar_->addAction(actions_.value(id));
    auto* compact = new CompactToolBarStyle;
    compact->setParent(toolBar_);
    toolBar_->setStyle(compact);
    for (QToolButton* button : toolBar_->findChildren<QToolButton*>()) button->setStyle(compact);
}

void CMainFrame::createStatusBar() {
    QStatusBar* status = statusBar();
    auto pane = [status](const char* label) {
        auto* l = new QLabel(label, status);
        l->setAlignment(Qt::AlignCenter);
        l->setMinimumWidth(l->fontMetrics().horizontalAdvance("SCRL") + 12);
        l->setEnabled(false);
        status->addPermanentWidget(l);
        return l;
    };
    capsPane_ = pane("CAP");
    numPane_ = pane("NUM");
    scrollPane_ = pane("SCRL");
    // The test on screen, left of the lock panes; it also keeps the message area at rest.
    testStatus_ = new TestStatus(*status);
    qApp->installEventFilter(this);
}

void CMainFrame::rebuildRecentFiles() {
    const QStringList list = recent_.files();
    for (int i = 0; i < RecentFileCount; ++i) {
        QAction* a = actions_.value(CmdRecentFile1 + i);
        const bool used = i < list.size();
        a->setVisible(used);
        if (used) {
            const QString shown = QDir::toNativeSeparators(list[i]).replace(QDir::homePath(), "~");
            a->setText(QStringLiteral("&%1 %2").arg(i + 1).arg(shown));
        }
    }
}

}  // namespace kenvo
