#pragma once

#include <QDialog>
#include <QString>

class QLabel;
class QLineEdit;

namespace kenvo {

class OperatorPort;

// The clinic's name and logo on the clinical report. The logo is chosen through the operator
// port (so nothing blocks a test) and only named here; the caller copies it on OK.
class ReportSetupDialog final : public QDialog {
    Q_OBJECT

  public:
    ReportSetupDialog(const QString& clinicName, const QString& logoPath,
                      const QString& pictureFolder, OperatorPort& port, QWidget* parent = nullptr);

    QString clinicName() const;
    // The picture chosen in this dialog; empty when none was chosen.
    QString chosenLogo() const { return chosenLogo_; }
    // The operator removed the logo (and chose no other afterwards).
    bool logoRemoved() const { return removed_; }

    void chooseLogo();
    void removeLogo();

  private:
    void showLogoState();

    OperatorPort& port_;
    QString folder_;
    QString keptLogo_;
    QString chosenLogo_;
    bool removed_ = false;
    QLineEdit* name_;
    QLabel* logo_;
};

}  // namespace kenvo
