#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

namespace kenvo {

struct Rgb {
    uint8_t r = 0;
    uint8_t g = 0;
    uint8_t b = 0;
    friend bool operator==(const Rgb&, const Rgb&) = default;
};

namespace colour {
inline constexpr Rgb Black{0, 0, 0};
inline constexpr Rgb White{255, 255, 255};
inline constexpr Rgb Red{255, 0, 0};
inline constexpr Rgb Blue{0, 0, 255};
inline constexpr Rgb Cyan{0, 255, 255};
inline constexpr Rgb Magenta{255, 0, 255};
inline constexpr Rgb LightGrey{200, 200, 200};
}  // namespace colour

// A rectangle in the surface's units: view pixels on screen; on a printed page 0.1 mm with y
// growing upward, so there `top` may be greater than `bottom`. Surfaces normalise as needed.
struct Rect {
    int32_t left = 0;
    int32_t top = 0;
    int32_t right = 0;
    int32_t bottom = 0;
    friend bool operator==(const Rect&, const Rect&) = default;
};

struct Pen {
    Rgb colour = colour::Black;
    int32_t width = 1;  // surface units; 1 is the thinnest line the device draws
    friend bool operator==(const Pen&, const Pen&) = default;
};

struct Brush {
    Rgb colour = colour::White;
    friend bool operator==(const Brush&, const Brush&) = default;
};

// The view's fonts: Liberation Sans (metrically the same as Arial, which the layouts were
// sized for); heights in surface units.
enum class ViewFont : int32_t {
    SmallBold,    // 12, bold: header labels on screen
    SmallNormal,  // 12: axis labels and values on screen
    LargeBold,    // 32, bold: the target display's status line
    PrintBold,    // 30, bold: header labels and titles on paper
    PrintNormal,  // 30: axis labels and values on paper
    PrintTitle,   // 50, bold: the title of a clinical report
    PrintSmall,   // 24: the body of a clinical report
    PrintSmallBold,  // 24, bold: its headings and labels
};

struct FontSpec {
    int32_t height;
    bool bold;
};
constexpr FontSpec fontSpec(ViewFont f) {
    switch (f) {
        case ViewFont::SmallBold: return {12, true};
        case ViewFont::SmallNormal: return {12, false};
        case ViewFont::LargeBold: return {32, true};
        case ViewFont::PrintBold: return {30, true};
        case ViewFont::PrintNormal: return {30, false};
        case ViewFont::PrintTitle: return {50, true};
        case ViewFont::PrintSmall: return {24, false};
        case ViewFont::PrintSmallBold: return {24, true};
    }
    return {12, false};
}

enum class TextAlign : int32_t { Left, Centre, Right };

// A picture to place on a page (a clinic's logo): 8-bit RGBA pixels, row by row from the top.
struct RasterImage {
    int32_t width = 0;
    int32_t height = 0;
    std::vector<uint8_t> rgba;  // width x height x 4 bytes

    bool empty() const { return width <= 0 || height <= 0; }
    friend bool operator==(const RasterImage&, const RasterImage&) = default;
};

// Where every display routine draws: the screen (through the view's backing image), printed
// pages, PNG and PDF files, and the tests' recorder. The routines do all scaling and placement;
// a surface only carries out primitives.
class Surface {
public:
    virtual ~Surface() = default;

    // Lines with the selected pen from the current position.
    virtual void moveTo(int32_t x, int32_t y) = 0;
    virtual void lineTo(int32_t x, int32_t y) = 0;
    // Outlined with the selected pen and filled with the selected brush.
    virtual void rectangle(const Rect& r) = 0;
    virtual void ellipse(const Rect& r) = 0;
    virtual void setPixel(int32_t x, int32_t y, Rgb colour) = 0;
    virtual void fillSolid(const Rect& r, Rgb colour) = 0;
    // One line of UTF-8 text in the rectangle, aligned horizontally and centred vertically,
    // in the selected font and text colour, with a transparent background.
    virtual void text(const Rect& r, std::string_view utf8, TextAlign align) = 0;
    // Several lines (split at line feeds and carriage returns) from the top of the rectangle
    // down, each as text() would draw it, one font height and a little leading apart.
    virtual void multilineText(const Rect& r, std::string_view utf8, TextAlign align);
    // The picture scaled to fill the rectangle (callers keep its proportions).
    virtual void image(const Rect& r, const RasterImage& picture) = 0;

    // Each returns what was selected before, so a routine can restore it.
    virtual Pen selectPen(const Pen& pen) = 0;
    virtual Brush selectBrush(const Brush& brush) = 0;
    virtual ViewFont selectFont(ViewFont font) = 0;
    virtual Rgb setTextColour(Rgb colour) = 0;

    // A printed page: 0.1 mm units, y upward; the routines use their paper layouts.
    virtual bool isPrinting() const = 0;

    // Text heights are multiplied by this: a drawing shown larger than its layout (see
    // ScaledSurface) keeps its text in proportion. 1 unless set.
    void setFontScale(double scale) { fontScale_ = scale; }
    double fontScale() const { return fontScale_; }

private:
    double fontScale_ = 1.0;
};

// Restores the pen, brush, font and text colour a routine found when it returns.
class SurfaceState {
public:
    explicit SurfaceState(Surface& s)
        : s_(s), pen_(s.selectPen(Pen{})), brush_(s.selectBrush(Brush{})), font_(s.selectFont(ViewFont::SmallNormal)),
          text_(s.setTextColour(colour::Black)) {
        s_.selectPen(pen_);
        s_.selectBrush(brush_);
        s_.selectFont(font_);
        s_.setTextColour(text_);
    }
    ~SurfaceState() {
        s_.selectPen(pen_);
        s_.selectBrush(brush_);
        s_.selectFont(font_);
        s_.setTextColour(text_);
    }
    SurfaceState(const SurfaceState&) = delete;
    SurfaceState& operator=(const SurfaceState&) = delete;

private:
    Surface& s_;
    Pen pen_;
    Brush brush_;
    ViewFont font_;
    Rgb text_;
};

}  // namespace kenvo
