#include "ml_header_ctrl.h"

#include <QPainter>
#include <cmath>

namespace kenvo {

CMLHeaderCtrl::CMLHeaderCtrl(QWidget* parent) : QHeaderView(Qt::Horizontal, parent) {
    setObjectName(QStringLiteral("swayListHeader"));
    // The headers only name the columns: clicking them neither sorts nor selects.
    setSectionsClickable(false);
    setSortIndicatorShown(false);
    setHighlightSections(false);
    setDefaultAlignment(Qt::AlignCenter);
    setFixedHeight(Height);
}

QSize CMLHeaderCtrl::sizeHint() const {
    return {QHeaderView::sizeHint().width(), scaled(Height)};
}

int CMLHeaderCtrl::scaled(int v) const {
    return static_cast<int>(std::lround(v * scale_));
}

void CMLHeaderCtrl::setScale(double scale) {
    scale_ = scale;
    setFixedHeight(scaled(Height));
}

std::pair<QString, QString> CMLHeaderCtrl::titleLines(const QString& title) {
    const auto split = title.indexOf(QLatin1Char('\n'));
    if (split < 0) return {title, QString()};
    return {title.left(split), title.mid(split + 1)};
}

void CMLHeaderCtrl::paintSection(QPainter* painter, const QRect& rect, int logicalIndex) const {
    if (!rect.isValid()) return;
    // Up to 256 characters of the title, as the header item holds them.
    const QString title =
        model()
            ? model()->headerData(logicalIndex, orientation(), Qt::DisplayRole).toString().left(256)
            : QString();
    painter->save();
    const QColor grey(200, 200, 200);
    painter->setBrush(grey);
    painter->setPen(Qt::black);
    painter->drawRect(rect.adjusted(0, 0, -1, -1));
    painter->setPen(Qt::black);
    painter->setBackground(grey);
    const auto [first, second] = titleLines(title);
    const int top = rect.top();
    const QRect firstBand(rect.left(), top + scaled(2), rect.width(), scaled(20));
    const QRect secondBand(rect.left(), top + scaled(22), rect.width(), scaled(20));
    painter->drawText(firstBand, Qt::AlignCenter | Qt::TextSingleLine, first);
    if (!second.isEmpty())
        painter->drawText(secondBand, Qt::AlignCenter | Qt::TextSingleLine, second);
    painter->restore();
}

}  // namespace kenvo
