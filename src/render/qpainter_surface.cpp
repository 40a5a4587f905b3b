#include "render/qpainter_surface.h"

#include <QImage>

#include <cmath>
#include <utility>

#include <QBrush>
#include <QColor>
#include <QPaintDevice>
#include <QPen>
#include <QString>

namespace kenvo {

namespace {

QColor qtColour(Rgb c) { return QColor(c.r, c.g, c.b); }

// Device pixels per 0.1 mm.
double pixelsPerTenthMm(int dpi) { return dpi / 254.0; }

}  // namespace

QPainterSurface::QPainterSurface(QPainter& painter, Mapping mapping) : painter_(painter), mapping_(mapping) {
    painter_.save();
    painter_.setBackgroundMode(Qt::TransparentMode);
    if (mapping_ == Mapping::Page) {
        const QPaintDevice* device = painter_.device();
        const double sx = pixelsPerTenthMm(device ? device->logicalDpiX() : 254);
        const double sy = pixelsPerTenthMm(device ? device->logicalDpiY() : 254);
        painter_.setWorldTransform(QTransform(sx, 0.0, 0.0, -sy, 0.0, 0.0), true);
        painter_.setRenderHint(QPainter::Antialiasing, true);
        painter_.setRenderHint(QPainter::TextAntialiasing, true);
    } else {
        painter_.setRenderHint(QPainter::Antialiasing, false);
        painter_.setRenderHint(QPainter::TextAntialiasing, true);
    }
    applyPen();
    painter_.setBrush(QBrush(qtColour(brush_.colour)));
}

QPainterSurface::~QPainterSurface() { painter_.restore(); }

QFont QPainterSurface::qtFont(ViewFont font, double pixelHeight) {
    const FontSpec spec = fontSpec(font);
    QFont f(QStringLiteral("Liberation Sans"));
    f.setStyleHint(QFont::SansSerif);
    f.setPixelSize(std::max(1, static_cast<int>(std::lround(pixelHeight))));
    f.setBold(spec.bold);
    return f;
}

QRectF QPainterSurface::outline(const Rect& r) const {
    QRectF q = QRectF(QPointF(r.left, r.top), QPointF(r.right, r.bottom)).normalized();
    // An aliased one-pixel outline is drawn on the rectangle's far edge too, so the screen
    // shape ends one pixel short of right and bottom, leaving them outside as the routines expect.
    if (mapping_ == Mapping::Screen) q.adjust(0.0, 0.0, -1.0, -1.0);
    return q;
}

void QPainterSurface::applyPen() {
    QPen pen(qtColour(pen_.colour));
    pen.setWidth(std::max(pen_.width, 1));
    pen.setStyle(Qt::SolidLine);
    pen.setCapStyle(pen_.width > 1 ? Qt::RoundCap : Qt::SquareCap);
    pen.setJoinStyle(Qt::RoundJoin);
    painter_.setPen(pen);
}

void QPainterSurface::moveTo(int32_t x, int32_t y) { position_ = QPointF(x, y); }

void QPainterSurface::lineTo(int32_t x, int32_t y) {
    const QPointF to(x, y);
    painter_.drawLine(position_, to);
    position_ = to;
}

void QPainterSurface::rectangle(const Rect& r) { painter_.drawRect(outline(r)); }

void QPainterSurface::ellipse(const Rect& r) { painter_.drawEllipse(outline(r)); }

void QPainterSurface::setPixel(int32_t x, int32_t y, Rgb c) {
    // The live COP trace sets thousands of pixels per tick; on a plain 32-bit screen image a
    // direct store is what a one-pixel fill amounts to, at a fraction of its cost.
    QPaintDevice* device = painter_.device();
    if (mapping_ == Mapping::Screen && device && device->devType() == QInternal::Image &&
        !painter_.hasClipping() && painter_.worldTransform().isIdentity()) {
        auto* image = static_cast<QImage*>(device);
        const QImage::Format format = image->format();
        // A shared image would be copied by the store, away from the painter's buffer.
        if (image->isDetached() &&
            (format == QImage::Format_RGB32 || format == QImage::Format_ARGB32 ||
             format == QImage::Format_ARGB32_Premultiplied)) {
            if (x >= 0 && y >= 0 && x < image->width() && y < image->height())
                reinterpret_cast<QRgb*>(image->scanLine(y))[x] = qRgb(c.r, c.g, c.b);
            return;
        }
    }
    painter_.fillRect(QRectF(x, y, 1.0, 1.0), qtColour(c));
}

void QPainterSurface::fillSolid(const Rect& r, Rgb c) {
    painter_.fillRect(QRectF(QPointF(r.left, r.top), QPointF(r.right, r.bottom)).normalized(), qtColour(c));
}

void QPainterSurface::text(const Rect& r, std::string_view utf8, TextAlign align) {
    // Drawn in device coordinates, so a page's upward y does not mirror the glyphs.
    const QTransform world = painter_.worldTransform();
    const QRectF box =
        world.mapRect(QRectF(QPointF(r.left, r.top), QPointF(r.right, r.bottom)).normalized());
    const double scale = std::hypot(world.m21(), world.m22());
    int flags = Qt::AlignVCenter | Qt::TextSingleLine;
    switch (align) {
        case TextAlign::Left: flags |= Qt::AlignLeft; break;
        case TextAlign::Centre: flags |= Qt::AlignHCenter; break;
        case TextAlign::Right: flags |= Qt::AlignRight; break;
    }
    painter_.save();
    painter_.resetTransform();
    painter_.setFont(qtFont(font_, fontSpec(font_).height * scale * fontScale()));
    painter_.setPen(qtColour(textColour_));
    painter_.setClipRect(box, Qt::IntersectClip);
    painter_.drawText(box, flags, QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size())));
    painter_.restore();
}

void QPainterSurface::image(const Rect& r, const RasterImage& picture) {
    if (picture.empty() ||
        picture.rgba.size() != static_cast<std::size_t>(picture.width) * picture.height * 4)
        return;
    const QImage wrapped(picture.rgba.data(), picture.width, picture.height, picture.width * 4,
                         QImage::Format_RGBA8888);
    // Drawn in device coordinates like text, so a page's upward y does not turn it over.
    const QTransform world = painter_.worldTransform();
    const QRectF box =
        world.mapRect(QRectF(QPointF(r.left, r.top), QPointF(r.right, r.bottom)).normalized());
    painter_.save();
    painter_.resetTransform();
    painter_.setRenderHint(QPainter::SmoothPixmapTransform, true);
    painter_.drawImage(box, wrapped);
    painter_.restore();
}

Pen QPainterSurface::selectPen(const Pen& pen) {
    Pen old = std::exchange(pen_, pen);
    applyPen();
    return old;
}

Brush QPainterSurface::selectBrush(const Brush& brush) {
    Brush old = std::exchange(brush_, brush);
    painter_.setBrush(QBrush(qtColour(brush_.colour)));
    return old;
}

ViewFont QPainterSurface::selectFont(ViewFont font) { return std::exchange(font_, font); }

Rgb QPainterSurface::setTextColour(Rgb colour) { return std::exchange(textColour_, colour); }

}  // namespace kenvo
