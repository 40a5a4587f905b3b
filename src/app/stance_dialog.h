#pragma once

#include <QDialog>
#include <cstdint>

#include "model/test_settings.h"

class QLineEdit;

namespace kenvo {

class OperatorPort;

// The stance test's duration: "Saving Time (s)", 0..300. OK writes it back only when valid.
class CStanceDlg final : public QDialog {
    Q_OBJECT

  public:
    static constexpr int32_t MaxSeconds = MaxStanceSeconds;

    CStanceDlg(int32_t& stanceTime, OperatorPort& port, QWidget* parent = nullptr);
    QLineEdit* timeEdit() const { return edit_; }
    void accept() override;

  private:
    int32_t& stanceTime_;
    OperatorPort& port_;
    QLineEdit* edit_;
};

}  // namespace kenvo
