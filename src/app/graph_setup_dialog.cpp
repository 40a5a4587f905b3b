#include "graph_setup_dialog.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QVBoxLayout>
#include <array>

#include "model/subject_validation.h"
#include "operator_port.h"

namespace kenvo {

namespace {

// Sorted, as the list shows them: the rows' meanings are not in value order.
constexpr std::array<const char*, 4> ParameterTexts = {"COP - X", "COP - Y", "Heart frequence",
                                                       "Velocity"};
constexpr std::array<int32_t, 4> ParameterOfRow = {GraphCopX, GraphCopY, GraphHeartFrequency,
                                                   GraphVelocity};

// The order OK reads the controls in; 0 stands for the radio pair and the combos, which
// cannot fail.
constexpr std::array<int, 17> CheckOrder = {1006, 1005, 1012, 1007, 1011, 1010, 0,    1003, 1008,
                                            0,    1014, 1013, 1015, 0,    1020, 1018, 1019};

QLabel* header(const char* text, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setAlignment(Qt::AlignCenter);
    return label;
}

}  // namespace

int32_t CSetypGDlg::parameterOfRow(int row) {
    return row >= 0 && row < 4 ? ParameterOfRow[static_cast<std::size_t>(row)] : GraphCopX;
}

int CSetypGDlg::rowOfParameter(int32_t parameter) {
    for (int row = 0; row < 4; ++row)
        if (ParameterOfRow[static_cast<std::size_t>(row)] == parameter) return row;
    return 0;
}

QLineEdit* CSetypGDlg::addBox(int id, int32_t GraphSettings::*member, int32_t min, int32_t max) {
    auto* edit = new QLineEdit(QString::number(graph_.*member), this);
    edit->setObjectName(QStringLiteral("box%1").arg(id));
    edit->setAlignment(Qt::AlignRight);
    edit->setMaximumWidth(70);
    boxes_.insert(id, IntegerBox{member, min, max, edit});
    return edit;
}

QComboBox* CSetypGDlg::makeCombo(int32_t parameter) {
    auto* combo = new QComboBox(this);
    for (const char* text : ParameterTexts) combo->addItem(text);
    combo->setCurrentIndex(rowOfParameter(parameter));
    return combo;
}

CSetypGDlg::CSetypGDlg(GraphSettings& graph, OperatorPort& port, QWidget* parent)
    : QDialog(parent), graph_(graph), port_(port) {
    setWindowTitle("Graph Setup");
    using G = GraphSettings;

    auto* live = new QGroupBox("Live display", this);
    auto* liveForm = new QFormLayout(live);
    liveForm->addRow("Time axis (s)", addBox(1003, &G::timeAxisSeconds, 1, 60));
    liveForm->addRow("COP trace length", addBox(1005, &G::copTraceLength, 10, 3000));

    auto* after = new QGroupBox("COP after Test", this);
    auto* afterForm = new QFormLayout(after);
    afterForm->addRow("Display Time (s)", addBox(1006, &G::copDisplayTimeSeconds, 0, 10));

    auto* window = new QGroupBox("Display Graph (s)", this);
    auto* windowForm = new QFormLayout(window);
    windowForm->addRow("From:", addBox(1007, &G::graphFromSeconds, 0, 50));
    windowForm->addRow("To:", addBox(1008, &G::graphToSeconds, 1, 60));

    auto* origin = new QGroupBox("COP", this);
    auto* originLayout = new QVBoxLayout(origin);
    real_ = new QRadioButton("real COP", origin);
    centred_ = new QRadioButton("center COP", origin);
    (graph.copCentred ? centred_ : real_)->setChecked(true);
    originLayout->addWidget(real_);
    originLayout->addWidget(centred_);

    auto* scaling = new QGroupBox("Axes scaling", this);
    auto* grid = new QGridLayout(scaling);
    grid->setHorizontalSpacing(8);
    grid->addWidget(header("MIN", scaling), 0, 2);
    grid->addWidget(header("MAX", scaling), 0, 3);
    grid->addWidget(header("STEP", scaling), 0, 4);
    grid->addWidget(new QLabel("COP X and Y-axes scaling", scaling), 1, 0, 1, 2);
    grid->addWidget(addBox(1010, &G::copAxisMin, -600, 600), 1, 2);
    grid->addWidget(addBox(1011, &G::copAxisMax, -600, 600), 1, 3);
    grid->addWidget(addBox(1012, &G::copAxisStep, 1, 600), 1, 4);
    y1_ = makeCombo(graph.y1Parameter);
    y2_ = makeCombo(graph.y2Parameter);
    grid->addWidget(new QLabel("Y1 - axes", scaling), 2, 0);
    grid->addWidget(y1_, 2, 1);
    grid->addWidget(addBox(1013, &G::y1Min, -600, 600), 2, 2);
    grid->addWidget(addBox(1014, &G::y1Max, -600, 600), 2, 3);
    grid->addWidget(addBox(1015, &G::y1Step, 1, 600), 2, 4);
    grid->addWidget(new QLabel("Y2 - axes", scaling), 3, 0);
    grid->addWidget(y2_, 3, 1);
    grid->addWidget(addBox(1018, &G::y2Min, -600, 600), 3, 2);
    grid->addWidget(addBox(1020, &G::y2Max, -600, 600), 3, 3);
    grid->addWidget(addBox(1019, &G::y2Step, 1, 600), 3, 4);

    auto* top = new QHBoxLayout;
    auto* leftColumn = new QVBoxLayout;
    leftColumn->addWidget(live);
    leftColumn->addWidget(after);
    auto* rightColumn = new QVBoxLayout;
    rightColumn->addWidget(window);
    rightColumn->addWidget(origin);
    top->addLayout(leftColumn);
    top->addLayout(rightColumn);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &CSetypGDlg::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &CSetypGDlg::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(scaling);
    layout->addSpacing(4);
    layout->addWidget(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

QLineEdit* CSetypGDlg::box(int id) const {
    const auto it = boxes_.find(id);
    return it == boxes_.end() ? nullptr : it->edit;
}

void CSetypGDlg::accept() {
    GraphSettings accepted = graph_;
    for (int id : CheckOrder) {
        if (id == 0) continue;
        const IntegerBox& b = boxes_[id];
        int32_t value = 0;
        std::string failure;
        if (!parseIntegerBox(b.edit->text().toStdString(), value)) {
            failure = integerMessage();
        } else if (value < b.min || value > b.max) {
            failure = integerRangeMessage(b.min, b.max);
        }
        if (!failure.empty()) {
            port_.message(QString::fromStdString(failure));
            b.edit->setFocus(Qt::OtherFocusReason);
            b.edit->selectAll();
            return;
        }
        accepted.*b.member = value;
    }
    accepted.copCentred = centred_->isChecked() ? 1 : 0;
    accepted.y1Parameter = parameterOfRow(y1_->currentIndex());
    accepted.y2Parameter = parameterOfRow(y2_->currentIndex());
    graph_ = accepted;
    QDialog::accept();
}

}  // namespace kenvo
