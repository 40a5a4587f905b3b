#pragma once

#include <QDialog>
#include <QPixmap>

namespace kenvo {

// "About KenvoPlat": the program's picture, name, version and copyright, and OK.
class AboutDialog final : public QDialog {
    Q_OBJECT

  public:
    explicit AboutDialog(QWidget* parent = nullptr);
};

// The picture of the About box: a force platform with a subject's sway path on it.
QPixmap aboutPicture();

}  // namespace kenvo
