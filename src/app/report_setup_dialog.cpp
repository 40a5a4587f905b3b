#include "report_setup_dialog.h"

#include <QDialogButtonBox>
#include <QFile>
#include <QFileInfo>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "operator_port.h"
#include "render/report_setup_store.h"

namespace kenvo {

namespace {

constexpr const char* PictureFilter =
    "Pictures (*.png *.jpg *.jpeg *.bmp)|*.png;*.jpg;*.jpeg;*.bmp||";
constexpr int PreviewHeight = 60;

}  // namespace

ReportSetupDialog::ReportSetupDialog(const QString& clinicName, const QString& logoPath,
                                     const QString& pictureFolder, OperatorPort& port,
                                     QWidget* parent)
    : QDialog(parent),
      port_(port),
      folder_(pictureFolder),
      keptLogo_(logoPath),
      name_(new QLineEdit(clinicName)),
      logo_(new QLabel) {
    setWindowTitle(QStringLiteral("Report setup"));
    name_->setObjectName(QStringLiteral("clinicName"));
    name_->setMaxLength(120);
    name_->setMinimumWidth(320);
    name_->setPlaceholderText(QStringLiteral("Printed at the top of every clinical report"));
    logo_->setObjectName(QStringLiteral("logoPreview"));
    logo_->setMinimumHeight(PreviewHeight);

    auto* choose = new QPushButton(QStringLiteral("Choose logo..."));
    choose->setObjectName(QStringLiteral("chooseLogo"));
    auto* remove = new QPushButton(QStringLiteral("Remove logo"));
    remove->setObjectName(QStringLiteral("removeLogo"));
    connect(choose, &QPushButton::clicked, this, &ReportSetupDialog::chooseLogo);
    connect(remove, &QPushButton::clicked, this, &ReportSetupDialog::removeLogo);
    auto* logoButtons = new QHBoxLayout;
    logoButtons->addWidget(choose);
    logoButtons->addWidget(remove);
    logoButtons->addStretch();

    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("Clinic's name:"), name_);
    form->addRow(QStringLiteral("Logo:"), logo_);
    form->addRow(QString(), logoButtons);
    auto* hint =
        new QLabel(QStringLiteral("The logo is copied into the program's settings folder, so the "
                                  "report does not depend on the original picture."));
    hint->setWordWrap(true);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(hint);
    layout->addWidget(buttons);
    showLogoState();
}

QString ReportSetupDialog::clinicName() const {
    return name_->text().trimmed();
}

void ReportSetupDialog::chooseLogo() {
    const auto path =
        port_.chooseFile(FileRequest{false, PictureFilter, QStringLiteral("png"), folder_});
    if (!path) return;
    chosenLogo_ = *path;
    removed_ = false;
    showLogoState();
}

void ReportSetupDialog::removeLogo() {
    chosenLogo_.clear();
    removed_ = true;
    showLogoState();
}

void ReportSetupDialog::showLogoState() {
    const QString shown = !chosenLogo_.isEmpty() ? chosenLogo_ : removed_ ? QString() : keptLogo_;
    if (shown.isEmpty()) {
        logo_->setPixmap(QPixmap());
        logo_->setText(QStringLiteral("(no logo)"));
        return;
    }
    // A preview, so the operator sees the picture before it goes on every report.
    RasterImage picture;
    std::string error;
    if (!loadLogo(QFile::encodeName(shown).toStdString(), picture, error)) {
        logo_->setPixmap(QPixmap());
        logo_->setText(QFileInfo(shown).fileName());
        return;
    }
    const QImage image(picture.rgba.data(), picture.width, picture.height, picture.width * 4,
                       QImage::Format_RGBA8888);
    logo_->setPixmap(
        QPixmap::fromImage(image.scaledToHeight(PreviewHeight, Qt::SmoothTransformation)));
}

}  // namespace kenvo
