#pragma once

#include <QDialog>
#include <QMap>

#include "model/graph_settings.h"

class QComboBox;
class QLineEdit;
class QRadioButton;

namespace kenvo {

class OperatorPort;

// "Graph Setup": the live time axis, the COP trace, the picture after a test, the graph
// window and the ranges of the COP plane and the two time-graph axes. OK checks every box in
// a fixed order and copies into the settings only when all pass.
class CSetypGDlg final : public QDialog {
    Q_OBJECT

  public:
    CSetypGDlg(GraphSettings& graph, OperatorPort& port, QWidget* parent = nullptr);

    // The integer box of a control id (1003 .. 1020), or null.
    QLineEdit* box(int id) const;
    QComboBox* y1Combo() const { return y1_; }
    QComboBox* y2Combo() const { return y2_; }
    QRadioButton* centredButton() const { return centred_; }

    void accept() override;

    // The combos list the quantities in sorted order; these map list rows to GraphParameter.
    static int32_t parameterOfRow(int row);
    static int rowOfParameter(int32_t parameter);

  private:
    struct IntegerBox {
        int32_t GraphSettings::*member;
        int32_t min;
        int32_t max;
        QLineEdit* edit = nullptr;
    };

    QLineEdit* addBox(int id, int32_t GraphSettings::*member, int32_t min, int32_t max);
    QComboBox* makeCombo(int32_t parameter);

    GraphSettings& graph_;
    OperatorPort& port_;
    QMap<int, IntegerBox> boxes_;
    QRadioButton* real_;
    QRadioButton* centred_;
    QComboBox* y1_;
    QComboBox* y2_;
};

}  // namespace kenvo
