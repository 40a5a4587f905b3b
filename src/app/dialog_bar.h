#pragma once

#include <QHash>
#include <QStringList>
#include <QToolBar>

class QAction;
class QComboBox;

namespace kenvo {

// One button bar of a view mode, docked along the top below the toolbar and built from its
// template: buttons, combos, labels and small groups, each reachable by its control id.
// Buttons are sent on as commands with the control's id; a combo's new choice is a separate
// notification, since some combo ids equal menu command ids (32806 is also Target Summary).
class DialogBar final : public QToolBar {
    Q_OBJECT

  public:
    // Null for an unknown template.
    static DialogBar* create(int templateId, QWidget* parent);

    int templateId() const { return templateId_; }

    QWidget* control(int id) const { return controls_.value(id, nullptr); }
    QComboBox* combo(int id) const;

    // Clears the combo, adds the entries in order and selects `selected`.
    bool fillCombo(int id, const QStringList& entries, int selected);
    // The selected index of a combo, -1 when none or no such combo.
    int comboSelection(int id) const;
    // Shows or hides one control; false when the bar has no such control.
    bool showControl(int id, bool visible);
    bool isControlShown(int id) const;

  signals:
    void command(int id);
    void comboChanged(int id);

  private:
    explicit DialogBar(int templateId, QWidget* parent);
    void addButton(int id, const QString& text, QWidget* into = nullptr);
    void addCombo(int id, int width, const QStringList& items = {});
    void addLabel(const QString& text);
    QWidget* addGroup(const QString& title, int leftId, int rightId);
    void build();

    int templateId_;
    QHash<int, QWidget*> controls_;
    QHash<int, QAction*> actions_;  // controls placed directly on the bar
    QHash<int, bool> shown_;
};

}  // namespace kenvo
