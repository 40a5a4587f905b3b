#pragma once

#include "graphs/surface.h"

namespace kenvo {

// Draws a screen layout larger (or smaller) on another surface: every coordinate is multiplied
// by the scale and rounded to the nearest device pixel, pen widths and text heights grow with
// it, so lines and text stay crisp instead of being a stretched picture. Lines and outlines
// cover the device pixels of exactly the layout pixels they cover, so a fill that later erases
// them leaves nothing behind. At scale 1 every primitive reaches the device exactly as it was
// drawn; at any whole-number scale as the same primitive, scaled.
class ScaledSurface final : public Surface {
  public:
    ScaledSurface(Surface& device, double scale);
    ~ScaledSurface() override;
    ScaledSurface(const ScaledSurface&) = delete;
    ScaledSurface& operator=(const ScaledSurface&) = delete;

    double scale() const { return scale_; }
    int32_t toDevice(int32_t v) const;
    Rect toDevice(const Rect& r) const;

    void moveTo(int32_t x, int32_t y) override;
    void lineTo(int32_t x, int32_t y) override;
    void rectangle(const Rect& r) override;
    void ellipse(const Rect& r) override;
    void setPixel(int32_t x, int32_t y, Rgb colour) override;
    void fillSolid(const Rect& r, Rgb colour) override;
    void text(const Rect& r, std::string_view utf8, TextAlign align) override;
    void multilineText(const Rect& r, std::string_view utf8, TextAlign align) override;
    void image(const Rect& r, const RasterImage& picture) override;

    Pen selectPen(const Pen& pen) override;
    Brush selectBrush(const Brush& brush) override;
    ViewFont selectFont(ViewFont font) override { return device_.selectFont(font); }
    Rgb setTextColour(Rgb colour) override { return device_.setTextColour(colour); }
    bool isPrinting() const override { return device_.isPrinting(); }

  private:
    bool wholeNumberScale() const;
    void fillCells(int32_t left, int32_t top, int32_t right, int32_t bottom, Rgb colour);
    // Where a device line goes for a layout line at `v` with the selected pen.
    int32_t lineAt(int32_t v) const;
    // The device rectangle whose outline covers the cells the layout outline covers.
    Rect outlineOf(const Rect& r) const;

    Surface& device_;
    double scale_;
    double deviceFontScaleBefore_;
    Pen devicePenBefore_;
    Pen pen_;  // as the routine selected it, before scaling its width
    Brush brush_;
    struct {
        int32_t x = 0, y = 0;
    } position_;
    int32_t layoutWidth_ = 1;
    int32_t deviceWidth_ = 1;
};

}  // namespace kenvo
