#include "about_dialog.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QVBoxLayout>
#include <cmath>

#include "clinical/norms.h"

namespace kenvo {

QPixmap aboutPicture() {
    QPixmap pixmap(96, 96);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    // The plate in perspective, with its four load cells.
    const QPolygonF plate({QPointF(18, 30), QPointF(78, 30), QPointF(92, 78), QPointF(4, 78)});
    p.setPen(QPen(QColor(70, 80, 90), 1.5));
    p.setBrush(QColor(185, 195, 205));
    p.drawPolygon(plate);
    p.setBrush(QColor(120, 130, 140));
    p.drawPolygon(QPolygonF({QPointF(4, 78), QPointF(92, 78), QPointF(92, 84), QPointF(4, 84)}));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(40, 150, 60));
    for (QPointF c : {QPointF(23, 35), QPointF(73, 35), QPointF(14, 72), QPointF(82, 72)})
        p.drawEllipse(c, 3, 2);
    // A sway path around the centre of the plate.
    QPainterPath path;
    for (int i = 0; i <= 120; ++i) {
        const double t = i * 0.13;
        const QPointF point(48 + 14 * std::sin(t) * std::cos(0.37 * t),
                            54 + 8 * std::sin(1.7 * t + 0.4) * std::cos(0.23 * t));
        i == 0 ? path.moveTo(point) : path.lineTo(point);
    }
    p.setPen(QPen(QColor(200, 40, 40), 1.4));
    p.setBrush(Qt::NoBrush);
    p.drawPath(path);
    p.setBrush(QColor(200, 40, 40));
    p.drawEllipse(path.currentPosition(), 2.5, 2.5);
    // Cross-hairs of the plate centre.
    p.setPen(QPen(QColor(60, 60, 60), 1, Qt::DashLine));
    p.drawLine(QPointF(48, 33), QPointF(48, 76));
    p.drawLine(QPointF(12, 54), QPointF(84, 54));
    return pixmap;
}

AboutDialog::AboutDialog(QWidget* parent) : QDialog(parent) {
    setWindowTitle("About KenvoPlat");
    auto* picture = new QLabel(this);
    picture->setPixmap(aboutPicture());
    picture->setAlignment(Qt::AlignTop);

    auto* text = new QLabel(this);
    text->setTextFormat(Qt::RichText);
    // The original lines unchanged, then the source of the built-in reference values, which
    // their licence (CC BY 4.0) asks to name.
    const QString normsSource =
        QString::fromUtf8(NormsSource.data(), static_cast<qsizetype>(NormsSource.size()));
    text->setText(QStringLiteral("<b>KenvoPlat</b> Version %1<br><br>"
                                 "Balance force platform measurements<br>"
                                 "Copyright &copy; Kenvotec")
                      .arg(KENVOPLAT_VERSION) +
                  QStringLiteral("<br><br><small>%1</small>").arg(normsSource.toHtmlEscaped()));
    text->setWordWrap(true);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);

    auto* row = new QHBoxLayout;
    row->addWidget(picture);
    row->addSpacing(12);
    row->addWidget(text, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(row);
    layout->addWidget(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

}  // namespace kenvo
