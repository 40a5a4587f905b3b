#pragma once

#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "graphs/surface.h"

namespace kenvo {

// A surface that records what is drawn, so tests can assert on labels, boxes, colours and
// polylines rather than on pixels; also usable to measure or replay a drawing.
class RecordingSurface final : public Surface {
public:
    enum class Kind { MoveTo, LineTo, Rectangle, Ellipse, Pixel, Fill, Text, Image };

    struct Op {
        Kind kind;
        Rect rect;           // rectangle, ellipse, fill, text; (x, y) in left/top for points
        Rgb colour;          // pen colour for lines and outlines, the pixel's or fill's colour, text colour
        Rgb fill;            // brush colour for rectangles and ellipses
        int32_t penWidth;
        ViewFont font;
        TextAlign align;
        std::string text;
        bool multiline = false;
        double fontScale = 1.0;  // the surface's font scale when the text was drawn
    };

    explicit RecordingSurface(bool printing = false) : printing_(printing) {}

    void moveTo(int32_t x, int32_t y) override { add(Kind::MoveTo, {x, y, x, y}); }
    void lineTo(int32_t x, int32_t y) override { add(Kind::LineTo, {x, y, x, y}); }
    void rectangle(const Rect& r) override { add(Kind::Rectangle, r); }
    void ellipse(const Rect& r) override { add(Kind::Ellipse, r); }
    void setPixel(int32_t x, int32_t y, Rgb c) override { add(Kind::Pixel, {x, y, x, y}, c); }
    void fillSolid(const Rect& r, Rgb c) override { add(Kind::Fill, r, c); }
    void text(const Rect& r, std::string_view utf8, TextAlign align) override {
        Op& op = add(Kind::Text, r, text_);
        op.text = std::string(utf8);
        op.align = align;
        op.fontScale = fontScale();
    }
    // Recorded whole, so tests see a multi-line title as the one text it is.
    void multilineText(const Rect& r, std::string_view utf8, TextAlign align) override {
        text(r, utf8, align);
        ops_.back().multiline = true;
    }
    // Recorded by its box and size only (the text field says "WIDTHxHEIGHT").
    void image(const Rect& r, const RasterImage& picture) override {
        add(Kind::Image, r).text = std::to_string(picture.width) + "x" + std::to_string(picture.height);
    }
    Pen selectPen(const Pen& p) override { return std::exchange(pen_, p); }
    Brush selectBrush(const Brush& b) override { return std::exchange(brush_, b); }
    ViewFont selectFont(ViewFont f) override { return std::exchange(font_, f); }
    Rgb setTextColour(Rgb c) override { return std::exchange(text_, c); }
    bool isPrinting() const override { return printing_; }

    const std::vector<Op>& ops() const { return ops_; }
    void clear() { ops_.clear(); }

    // Conveniences for tests.
    std::vector<const Op*> texts() const { return of(Kind::Text); }
    std::vector<const Op*> of(Kind kind) const {
        std::vector<const Op*> out;
        for (const Op& op : ops_)
            if (op.kind == kind) out.push_back(&op);
        return out;
    }
    const Op* findText(std::string_view s) const {
        for (const Op& op : ops_)
            if (op.kind == Kind::Text && op.text == s) return &op;
        return nullptr;
    }
    // The drawn text `s`; throws when it was not drawn, so a test that reads its box fails
    // with the missing text named instead of reading through a null pointer.
    const Op& textOp(std::string_view s) const {
        if (const Op* op = findText(s)) return *op;
        throw std::out_of_range("no text \"" + std::string(s) + "\" was drawn");
    }
    const Pen& pen() const { return pen_; }
    const Brush& brush() const { return brush_; }
    ViewFont font() const { return font_; }

private:
    Op& add(Kind kind, const Rect& r, Rgb colour) {
        ops_.push_back(Op{kind, r, colour, brush_.colour, pen_.width, font_, TextAlign::Left, {}, false});
        return ops_.back();
    }
    Op& add(Kind kind, const Rect& r) { return add(kind, r, pen_.colour); }

    bool printing_;
    Pen pen_{};
    Brush brush_{};
    ViewFont font_ = ViewFont::SmallNormal;
    Rgb text_ = colour::Black;
    std::vector<Op> ops_;
};

}  // namespace kenvo
