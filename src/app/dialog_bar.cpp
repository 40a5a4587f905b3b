#include "dialog_bar.h"

#include <QAction>
#include <QComboBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>

#include "bar_setup.h"

namespace kenvo {

DialogBar* DialogBar::create(int templateId, QWidget* parent) {
    switch (templateId) {
        case BarTest:
        case BarDriving:
        case BarReplay:
        case BarList:
        case BarIntervalList:
        case BarGraphReport:
        case BarDiffusion:
            break;
        default:
            return nullptr;
    }
    auto* bar = new DialogBar(templateId, parent);
    bar->build();
    return bar;
}

DialogBar::DialogBar(int templateId, QWidget* parent) : QToolBar(parent), templateId_(templateId) {
    setObjectName(QStringLiteral("dialogBar%1").arg(templateId));
    setWindowTitle(QStringLiteral("Controls"));
    setMovable(false);
    setFloatable(false);
    setContextMenuPolicy(Qt::PreventContextMenu);
}

void DialogBar::addButton(int id, const QString& text, QWidget* into) {
    auto* button = new QPushButton(text, into ? into : this);
    button->setAutoDefault(false);
    button->setFocusPolicy(Qt::TabFocus);
    connect(button, &QPushButton::clicked, this, [this, id] { emit command(id); });
    controls_.insert(id, button);
    shown_.insert(id, true);
    if (into) {
        into->layout()->addWidget(button);
    } else {
        actions_.insert(id, addWidget(button));
    }
}

void DialogBar::addCombo(int id, int width, const QStringList& items) {
    auto* box = new QComboBox(this);
    box->setMinimumWidth(width);
    box->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    box->addItems(items);
    connect(box, &QComboBox::activated, this, [this, id] { emit comboChanged(id); });
    controls_.insert(id, box);
    shown_.insert(id, true);
    actions_.insert(id, addWidget(box));
}

void DialogBar::addLabel(const QString& text) {
    auto* label = new QLabel(text, this);
    label->setContentsMargins(6, 0, 3, 0);
    addWidget(label);
}

QWidget* DialogBar::addGroup(const QString& title, int leftId, int rightId) {
    auto* group = new QGroupBox(title, this);
    auto* layout = new QHBoxLayout(group);
    layout->setContentsMargins(4, 0, 4, 2);
    layout->setSpacing(2);
    addButton(leftId, QStringLiteral("<<"), group);
    addButton(rightId, QStringLiteral(">>"), group);
    for (int id : {leftId, rightId}) controls_.value(id)->setMaximumWidth(40);
    addWidget(group);
    return group;
}

void DialogBar::build() {
    const QStringList reportAxes = {"COP X", "COP Y", "Speed"};
    const QStringList diffusionAxes = {"r   (mm)", "r2 (mm2)", "x  (mm)", "y  (mm)"};
    switch (templateId_) {
        case BarTest:
            addButton(1042, "Start");
            addButton(1043, "Exit");
            addSeparator();
            addButton(1032, "Center");
            addButton(1033, "COP");
            break;
        case BarDriving:
            addButton(1076, "Start");
            addButton(1075, "Stop");
            addButton(1074, "Exit");
            addSeparator();
            addButton(1077, "Center");
            break;
        case BarReplay:
            addLabel("Attempt:");
            addCombo(BarAttemptCombo, 130);
            addSeparator();
            addButton(1031, "FRev");
            addButton(1035, "Rev");
            addButton(1040, "StepRev");
            addButton(1036, "Pause");
            addButton(1041, "StepForw");
            addButton(1037, "Forw");
            addButton(1038, "FForw");
            addButton(1039, "Stop");
            addSeparator();
            addButton(1033, "COP");
            addButton(1034, "COP All");
            break;
        case BarList:
        case BarIntervalList:
            addCombo(BarAttemptCombo, 130);
            addSeparator();
            addButton(32811, "Copy");
            addButton(32810, "Copy All");
            addButton(32812, "Export xml");
            if (templateId_ == BarList) {
                addButton(BarDeleteButton, "Delete");
                showControl(BarDeleteButton, false);
            } else {
                addSeparator();
                addCombo(BarIntervalCombo, 110);
            }
            break;
        case BarGraphReport:
            addCombo(BarAttemptCombo, 130);
            addLabel("Y1 parameter");
            addCombo(BarY1Combo, 90, reportAxes);
            addLabel("Y2 parameter");
            addCombo(BarY2Combo, 90, reportAxes);
            addButton(32813, "Zoom");
            addGroup("XL", 32816, 32817);
            addGroup("XR", 32814, 32815);
            break;
        case BarDiffusion:
            addCombo(BarAttemptCombo, 130);
            addLabel("Y1:");
            addCombo(BarY1Combo, 90, diffusionAxes);
            addLabel("Y2:");
            addCombo(BarY2Combo, 90, diffusionAxes);
            addGroup("X DIFUS", 32816, 32817);
            addCombo(BarDiffusionIntervalCombo, 170);
            addButton(1059, "RESULT");
            break;
        default:
            break;
    }
}

QComboBox* DialogBar::combo(int id) const {
    return qobject_cast<QComboBox*>(control(id));
}

bool DialogBar::fillCombo(int id, const QStringList& entries, int selected) {
    QComboBox* box = combo(id);
    if (!box) return false;
    box->clear();
    box->addItems(entries);
    box->setCurrentIndex(selected < entries.size() ? selected : -1);
    return true;
}

int DialogBar::comboSelection(int id) const {
    const QComboBox* box = combo(id);
    return box ? box->currentIndex() : -1;
}

bool DialogBar::showControl(int id, bool visible) {
    QWidget* widget = control(id);
    if (!widget) return false;
    if (QAction* action = actions_.value(id, nullptr)) {
        action->setVisible(visible);
    } else {
        widget->setVisible(visible);
    }
    shown_.insert(id, visible);
    return true;
}

bool DialogBar::isControlShown(int id) const {
    return shown_.value(id, false);
}

}  // namespace kenvo
