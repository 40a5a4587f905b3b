#pragma once

#include <QDialog>
#include <QSpinBox>
#include <QString>
#include <optional>
#include <utility>

#include "operator_port.h"
#include "sensory_setup_dialog.h"

class QWidget;

namespace kenvo::screenshots {

// Never waits: the screenshots need no answers.
class SilentPort final : public OperatorPort {
  public:
    void message(const QString&, const QString&) override {}
    Answer ask(const QString&, bool) override { return Answer::No; }
    // The file of the next Save, when one is set; the chooser is never shown.
    std::optional<QString> chooseFile(const FileRequest&) override {
        return std::exchange(nextFile, std::nullopt);
    }
    std::optional<QString> nextFile;
    int runDialog(QDialog& dialog) override {
        // The sensory test's set-up: one trial per condition of 10 s, so the guide's later
        // steps are reached quickly.
        if (auto* setup = dynamic_cast<SensorySetupDialog*>(&dialog)) {
            setup->trialsBox()->setValue(1);
            setup->secondsBox()->setValue(10);
            setup->accept();
            return QDialog::Accepted;
        }
        return QDialog::Rejected;
    }
    void notice(const QString&) override {}
};

// Lets the window work for `ms` milliseconds (timers, redraws).
void runFor(int ms);
// Shows `widget`, lets it draw and writes it to `path` as PNG; says what it wrote.
bool save(QWidget& widget, const QString& path);
// Whether the picture at `path` of `window` shows `view` filled: the box around every
// non-white pixel of the view spans at least 75 % of the window's width and 70 % of the view's
// height. Says what it measured.
bool fillsTheView(const QString& path, const QWidget& window, const QWidget& view);

}  // namespace kenvo::screenshots
