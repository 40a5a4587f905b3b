#include "da_setup_dialog.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QVBoxLayout>
#include <cmath>

#include "model/subject_validation.h"
#include "operator_port.h"

namespace kenvo {

namespace {
constexpr std::array<const char*, 4> RowNames = {"r   (mm)", "r2 (mm2)", "x  (mm)", "y  (mm)"};
constexpr int FirstAxisId = 1002;
}  // namespace

bool parseNumberBox(const QString& text, float& value) {
    const QString trimmed = text.trimmed();
    bool ok = false;
    float v = QLocale().toFloat(trimmed, &ok);
    if (!ok) v = QLocale::c().toFloat(trimmed, &ok);
    if (!ok || !std::isfinite(v)) return false;
    value = v;
    return true;
}

CYaxesDlg::CYaxesDlg(GraphSettings& graph, DiffusionLine& line, OperatorPort& port, QWidget* parent)
    : QDialog(parent), graph_(graph), line_(line), port_(port) {
    setWindowTitle("DA Y-axes Setup & Graph options");

    auto* axes = new QGroupBox("Y-axes", this);
    auto* grid = new QGridLayout(axes);
    grid->setHorizontalSpacing(8);
    int column = 1;
    for (const char* title : {"MIN", "MAX", "STEP"}) {
        auto* label = new QLabel(title, axes);
        label->setAlignment(Qt::AlignCenter);
        grid->addWidget(label, 0, column++);
    }
    for (int row = 0; row < 4; ++row) {
        grid->addWidget(new QLabel(RowNames[static_cast<std::size_t>(row)], axes), row + 1, 0);
        const int values[3] = {0, graph.daMax[row], graph.daStep[row]};
        for (int c = 0; c < 3; ++c) {
            auto* edit = new QLineEdit(QString::number(values[c]), axes);
            edit->setAlignment(Qt::AlignRight);
            edit->setMaximumWidth(70);
            axisBoxes_[static_cast<std::size_t>(row * 3 + c)] = edit;
            grid->addWidget(edit, row + 1, c + 1);
        }
    }

    auto* fit = new QGroupBox("Result line", this);
    auto* fitForm = new QFormLayout(fit);
    slope_ = new QLineEdit(QLocale().toString(double(line.daLineA), 'g', 7), fit);
    intercept_ = new QLineEdit(QLocale().toString(double(line.daLineB), 'g', 7), fit);
    fitForm->addRow("a:", slope_);
    fitForm->addRow("b:", intercept_);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &CYaxesDlg::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &CYaxesDlg::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(axes);
    layout->addWidget(fit);
    layout->addWidget(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

QLineEdit* CYaxesDlg::box(int id) const {
    if (id >= FirstAxisId && id < FirstAxisId + 12)
        return axisBoxes_[static_cast<std::size_t>(id - FirstAxisId)];
    if (id == 1062) return slope_;
    if (id == 1063) return intercept_;
    return nullptr;
}

void CYaxesDlg::accept() {
    auto fail = [this](QLineEdit* edit, const std::string& message) {
        port_.message(QString::fromStdString(message));
        edit->setFocus(Qt::OtherFocusReason);
        edit->selectAll();
    };
    int32_t maxima[4], steps[4];
    for (int row = 0; row < 4; ++row) {
        for (int c = 0; c < 3; ++c) {
            QLineEdit* edit = axisBoxes_[static_cast<std::size_t>(row * 3 + c)];
            int32_t value = 0;
            if (!parseIntegerBox(edit->text().toStdString(), value))
                return fail(edit, integerMessage());
            if (c == 1) maxima[row] = value;
            if (c == 2) steps[row] = value;
        }
    }
    float a = 0.0f, b = 0.0f;
    if (!parseNumberBox(slope_->text(), a)) return fail(slope_, "Please enter a number.");
    if (!parseNumberBox(intercept_->text(), b)) return fail(intercept_, "Please enter a number.");
    for (int row = 0; row < 4; ++row) {
        graph_.daMax[row] = maxima[row];
        graph_.daStep[row] = steps[row];
    }
    line_.daLineA = a;
    line_.daLineB = b;
    QDialog::accept();
}

}  // namespace kenvo
