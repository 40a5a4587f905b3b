#pragma once

#include <QDialog>

#include "procedures/sensory_protocol.h"

class QSpinBox;

namespace kenvo {

// The sensory balance test's set-up: trials per condition (1..5) and seconds per trial
// (10..300). OK writes the plan back; the boxes keep every value within the limits.
class SensorySetupDialog final : public QDialog {
    Q_OBJECT

  public:
    SensorySetupDialog(SensoryPlan& plan, QWidget* parent = nullptr);
    QSpinBox* trialsBox() const { return trials_; }
    QSpinBox* secondsBox() const { return seconds_; }
    void accept() override;

  private:
    SensoryPlan& plan_;
    QSpinBox* trials_;
    QSpinBox* seconds_;
};

}  // namespace kenvo
