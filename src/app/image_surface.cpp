#include "image_surface.h"

#include <QImage>
#include <QString>
#include <algorithm>

namespace kenvo {

namespace {

QColor toQColor(Rgb c) {
    return QColor(c.r, c.g, c.b);
}

// The routines' rectangles include the left and top edges and exclude the right and bottom.
QRect toQRect(const Rect& r) {
    const int left = std::min(r.left, r.right), right = std::max(r.left, r.right);
    const int top = std::min(r.top, r.bottom), bottom = std::max(r.top, r.bottom);
    return QRect(QPoint(left, top), QPoint(right - 1, bottom - 1));
}

}  // namespace

QFont viewQFont(ViewFont font) {
    const FontSpec size = fontSpec(font);
    QFont f(QStringLiteral("Liberation Sans"));
    f.setStyleHint(QFont::SansSerif);
    f.setPixelSize(size.height);
    f.setBold(size.bold);
    return f;
}

ImageSurface::ImageSurface(QImage& image) : painter_(&image) {
    applyPen();
    painter_.setBrush(toQColor(brush_.colour));
    painter_.setFont(viewQFont(font_));
}

void ImageSurface::applyPen() {
    QPen pen(toQColor(pen_.colour));
    pen.setWidth(std::max(pen_.width, 1));
    painter_.setPen(pen);
}

void ImageSurface::moveTo(int32_t x, int32_t y) {
    position_ = QPoint(x, y);
}

void ImageSurface::lineTo(int32_t x, int32_t y) {
    const QPoint to(x, y);
    painter_.drawLine(position_, to);
    position_ = to;
}

void ImageSurface::rectangle(const Rect& r) {
    painter_.drawRect(toQRect(r).adjusted(0, 0, -1, -1));
}

void ImageSurface::ellipse(const Rect& r) {
    painter_.drawEllipse(toQRect(r).adjusted(0, 0, -1, -1));
}

void ImageSurface::setPixel(int32_t x, int32_t y, Rgb colour) {
    const QPen saved = painter_.pen();
    painter_.setPen(toQColor(colour));
    painter_.drawPoint(x, y);
    painter_.setPen(saved);
}

void ImageSurface::fillSolid(const Rect& r, Rgb colour) {
    painter_.fillRect(toQRect(r), toQColor(colour));
}

void ImageSurface::text(const Rect& r, std::string_view utf8, TextAlign align) {
    const Qt::Alignment horizontal = align == TextAlign::Left    ? Qt::AlignLeft
                                     : align == TextAlign::Right ? Qt::AlignRight
                                                                 : Qt::AlignHCenter;
    const QPen saved = painter_.pen();
    painter_.setPen(toQColor(textColour_));
    painter_.drawText(toQRect(r), int(horizontal | Qt::AlignVCenter) | Qt::TextDontClip,
                      QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size())));
    painter_.setPen(saved);
}

Pen ImageSurface::selectPen(const Pen& pen) {
    const Pen old = pen_;
    pen_ = pen;
    applyPen();
    return old;
}

Brush ImageSurface::selectBrush(const Brush& brush) {
    const Brush old = brush_;
    brush_ = brush;
    painter_.setBrush(toQColor(brush_.colour));
    return old;
}

ViewFont ImageSurface::selectFont(ViewFont font) {
    const ViewFont old = font_;
    font_ = font;
    painter_.setFont(viewQFont(font_));
    return old;
}

Rgb ImageSurface::setTextColour(Rgb colour) {
    const Rgb old = textColour_;
    textColour_ = colour;
    return old;
}

}  // namespace kenvo
