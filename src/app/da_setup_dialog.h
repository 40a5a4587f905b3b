#pragma once

#include <QDialog>
#include <array>

#include "model/graph_settings.h"

class QLineEdit;

namespace kenvo {

class OperatorPort;

// "DA Y-axes Setup & Graph options": the tops and tick steps of the four diffusion axes and
// the fitted line's slope and intercept. Every diffusion axis starts at 0, so the MIN boxes
// always show 0 and what is typed there is not kept.
class CYaxesDlg final : public QDialog {
    Q_OBJECT

  public:
    CYaxesDlg(GraphSettings& graph, DiffusionLine& line, OperatorPort& port,
              QWidget* parent = nullptr);

    // Boxes by control id: MIN 1002/1005/1008/1011, MAX 1003/1006/1009/1012,
    // STEP 1004/1007/1010/1013, a: 1062, b: 1063.
    QLineEdit* box(int id) const;

    void accept() override;

  private:
    GraphSettings& graph_;
    DiffusionLine& line_;
    OperatorPort& port_;
    std::array<QLineEdit*, 12> axisBoxes_{};  // row by row: MIN, MAX, STEP
    QLineEdit* slope_;
    QLineEdit* intercept_;
};

// A number box's text: the user's decimal separator or a point, optional blanks around.
bool parseNumberBox(const QString& text, float& value);

}  // namespace kenvo
