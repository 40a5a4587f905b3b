#pragma once

#include <QDialog>

#include "clinical/clinical_view_options.h"

class QCheckBox;
class QDoubleSpinBox;

namespace kenvo {

// "Clinical measures setup": the low-pass on or off with its cut-off, and whether the
// pictures draw the 95 % ellipse.
class ClinicalSetupDialog final : public QDialog {
    Q_OBJECT

  public:
    ClinicalSetupDialog(const ClinicalViewOptions& options, QWidget* parent = nullptr);

    ClinicalViewOptions options() const;

    QCheckBox* lowPassBox() const { return lowPass_; }
    QDoubleSpinBox* cutoffBox() const { return cutoff_; }
    QCheckBox* ellipseBox() const { return ellipse_; }

  private:
    QCheckBox* lowPass_;
    QDoubleSpinBox* cutoff_;
    QCheckBox* ellipse_;
};

}  // namespace kenvo
