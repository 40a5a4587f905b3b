#pragma once

#include <QColor>
#include <QFont>
#include <QPainter>
#include <QPoint>

#include "graphs/surface.h"

class QImage;

namespace kenvo {

// The drawing surface on the view's backing image: a QPainter carrying out the display
// routines' primitives in view pixels. Lives only while one drawing pass runs.
class ImageSurface final : public Surface {
  public:
    explicit ImageSurface(QImage& image);

    void moveTo(int32_t x, int32_t y) override;
    void lineTo(int32_t x, int32_t y) override;
    void rectangle(const Rect& r) override;
    void ellipse(const Rect& r) override;
    void setPixel(int32_t x, int32_t y, Rgb colour) override;
    void fillSolid(const Rect& r, Rgb colour) override;
    void text(const Rect& r, std::string_view utf8, TextAlign align) override;

    Pen selectPen(const Pen& pen) override;
    Brush selectBrush(const Brush& brush) override;
    ViewFont selectFont(ViewFont font) override;
    Rgb setTextColour(Rgb colour) override;

    bool isPrinting() const override { return false; }

  private:
    void applyPen();

    QPainter painter_;
    QPoint position_;
    Pen pen_{};
    Brush brush_{};
    ViewFont font_ = ViewFont::SmallNormal;
    Rgb textColour_ = colour::Black;
};

// The Liberation Sans font of a view font, sized in pixels.
QFont viewQFont(ViewFont font);

}  // namespace kenvo
