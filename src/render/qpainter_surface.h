#pragma once

#include <QFont>
#include <QPainter>
#include <QPointF>
#include <QTransform>

#include "graphs/surface.h"

namespace kenvo {

// The drawing surface on a QPainter, for any paint device: the view's backing image, PNG
// images, PDF and printer pages.
//
// Screen mapping: one unit per device pixel, y downward, drawn without antialiasing so that
// pixels, one-pixel lines and rectangles land exactly where the routines put them (a rectangle
// covers left .. right-1 and top .. bottom-1).
//
// Page mapping (isPrinting): 0.1 mm per unit from the device's resolution, origin at the top
// left of the paintable area, y upward (so the page has y <= 0). Text is drawn upright in the
// normalised rectangle, with the font height converted to device pixels.
class QPainterSurface final : public Surface {
public:
    enum class Mapping { Screen, Page };

    // The painter must be active; the surface restores its state when destroyed.
    QPainterSurface(QPainter& painter, Mapping mapping);
    ~QPainterSurface() override;
    QPainterSurface(const QPainterSurface&) = delete;
    QPainterSurface& operator=(const QPainterSurface&) = delete;

    void moveTo(int32_t x, int32_t y) override;
    void lineTo(int32_t x, int32_t y) override;
    void rectangle(const Rect& r) override;
    void ellipse(const Rect& r) override;
    void setPixel(int32_t x, int32_t y, Rgb colour) override;
    void fillSolid(const Rect& r, Rgb colour) override;
    void text(const Rect& r, std::string_view utf8, TextAlign align) override;
    void image(const Rect& r, const RasterImage& picture) override;

    Pen selectPen(const Pen& pen) override;
    Brush selectBrush(const Brush& brush) override;
    ViewFont selectFont(ViewFont font) override;
    Rgb setTextColour(Rgb colour) override;

    bool isPrinting() const override { return mapping_ == Mapping::Page; }

    // The font a view font becomes at `pixelHeight` device pixels.
    static QFont qtFont(ViewFont font, double pixelHeight);

private:
    QRectF outline(const Rect& r) const;
    void applyPen();

    QPainter& painter_;
    Mapping mapping_;
    Pen pen_{};
    Brush brush_{};
    ViewFont font_ = ViewFont::SmallNormal;
    Rgb textColour_ = colour::Black;
    QPointF position_;
};

}  // namespace kenvo
