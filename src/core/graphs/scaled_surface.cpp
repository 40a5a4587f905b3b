#include "graphs/scaled_surface.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace kenvo {

// Every layout pixel becomes a cell of device pixels, from toDevice(x) up to toDevice(x + 1).
// A line or outline must cover exactly the cells of the layout pixels it covers: what a routine
// erases with a fill, or draws over, must meet exactly what it drew, or stray device pixels are
// left behind tick after tick. At a whole-number scale every cell is equally wide, and a device
// line k times as wide covers them exactly once placed: devices draw a line of width W over the
// W pixels from W / 2 before its coordinate (as raster devices do), so it goes W / 2 into its
// first cell. Between whole numbers cells differ by a pixel, which no one pen width fits:
// lines along the axes and outlines are filled cell by cell there, and slanted lines (traces,
// erased by drawing them again in white) take the widest cell's width.

ScaledSurface::ScaledSurface(Surface& device, double scale)
    : device_(device),
      scale_(scale > 0.0 ? scale : 1.0),
      deviceFontScaleBefore_(device.fontScale()) {
    device_.setFontScale(deviceFontScaleBefore_ * scale_);
    // The routines find the device's pen selected, at their scale.
    devicePenBefore_ = device_.selectPen(Pen{});
    selectPen(devicePenBefore_);
    brush_ = device_.selectBrush(Brush{});
    device_.selectBrush(brush_);
}

ScaledSurface::~ScaledSurface() {
    device_.selectPen(devicePenBefore_);
    device_.setFontScale(deviceFontScaleBefore_);
}

int32_t ScaledSurface::toDevice(int32_t v) const {
    if (scale_ == 1.0) return v;
    return static_cast<int32_t>(std::lround(v * scale_));
}

Rect ScaledSurface::toDevice(const Rect& r) const {
    return {toDevice(r.left), toDevice(r.top), toDevice(r.right), toDevice(r.bottom)};
}

int32_t ScaledSurface::lineAt(int32_t v) const {
    // The layout line covers the pixels from v - w / 2 on; the device line their cells.
    return toDevice(v - layoutWidth_ / 2) + deviceWidth_ / 2;
}

Rect ScaledSurface::outlineOf(const Rect& r) const {
    if (scale_ == 1.0) return r;
    // An outline is drawn on left/top and on right - 1/bottom - 1: the first edge covers cells
    // from left - w / 2, the far edge ends with the cell of right - 1 - w / 2 + w - 1.
    const auto first = [&](int32_t v) { return lineAt(v); };
    const auto last = [&](int32_t v) {
        const int32_t end =
            toDevice(v - 1 - layoutWidth_ / 2 + layoutWidth_);  // one past its last pixel
        return end - deviceWidth_ + deviceWidth_ / 2 + 1;
    };
    const bool across = r.left <= r.right, down = r.top <= r.bottom;
    return {across ? first(r.left) : last(r.left), down ? first(r.top) : last(r.top),
            across ? last(r.right) : first(r.right), down ? last(r.bottom) : first(r.bottom)};
}

bool ScaledSurface::wholeNumberScale() const {
    return scale_ == std::floor(scale_);
}

void ScaledSurface::fillCells(int32_t left, int32_t top, int32_t right, int32_t bottom,
                              Rgb colour) {
    device_.fillSolid(toDevice(Rect{left, top, right, bottom}), colour);
}

void ScaledSurface::moveTo(int32_t x, int32_t y) {
    position_ = {x, y};
    device_.moveTo(lineAt(x), lineAt(y));
}

void ScaledSurface::lineTo(int32_t x, int32_t y) {
    const int32_t x0 = position_.x, y0 = position_.y;
    position_ = {x, y};
    if (wholeNumberScale() || (x0 != x && y0 != y)) {
        device_.lineTo(lineAt(x), lineAt(y));
        return;
    }
    // The layout pixels a line of width w covers, from w / 2 before its ends.
    const int32_t half = layoutWidth_ / 2;
    fillCells(std::min(x0, x) - half, std::min(y0, y) - half, std::max(x0, x) - half + layoutWidth_,
              std::max(y0, y) - half + layoutWidth_, pen_.colour);
    device_.moveTo(lineAt(x), lineAt(y));
}

void ScaledSurface::rectangle(const Rect& r) {
    if (wholeNumberScale()) {
        device_.rectangle(outlineOf(r));
        return;
    }
    // The brush inside, then the four edges as the device draws them on left, top, right - 1 and
    // bottom - 1 of the normalised rectangle.
    const int32_t left = std::min(r.left, r.right), right = std::max(r.left, r.right);
    const int32_t top = std::min(r.top, r.bottom), bottom = std::max(r.top, r.bottom);
    if (right <= left || bottom <= top) return;
    fillCells(left, top, right, bottom, brush_.colour);
    const int32_t half = layoutWidth_ / 2, w = layoutWidth_;
    const int32_t outerLeft = left - half, outerRight = right - 1 - half + w;
    const int32_t outerTop = top - half, outerBottom = bottom - 1 - half + w;
    fillCells(outerLeft, outerTop, outerRight, outerTop + w, pen_.colour);
    fillCells(outerLeft, bottom - 1 - half, outerRight, outerBottom, pen_.colour);
    fillCells(outerLeft, outerTop, outerLeft + w, outerBottom, pen_.colour);
    fillCells(right - 1 - half, outerTop, outerRight, outerBottom, pen_.colour);
}

void ScaledSurface::ellipse(const Rect& r) {
    device_.ellipse(outlineOf(r));
}

void ScaledSurface::setPixel(int32_t x, int32_t y, Rgb colour) {
    const Rect cell{toDevice(x), toDevice(y), toDevice(x + 1), toDevice(y + 1)};
    if (cell.right - cell.left <= 1 && cell.bottom - cell.top <= 1)
        device_.setPixel(cell.left, cell.top, colour);
    else
        device_.fillSolid(cell, colour);
}

void ScaledSurface::fillSolid(const Rect& r, Rgb colour) {
    device_.fillSolid(toDevice(r), colour);
}

void ScaledSurface::text(const Rect& r, std::string_view utf8, TextAlign align) {
    device_.text(toDevice(r), utf8, align);
}

void ScaledSurface::multilineText(const Rect& r, std::string_view utf8, TextAlign align) {
    device_.multilineText(toDevice(r), utf8, align);
}

void ScaledSurface::image(const Rect& r, const RasterImage& picture) {
    device_.image(toDevice(r), picture);
}

Brush ScaledSurface::selectBrush(const Brush& brush) {
    brush_ = brush;
    return device_.selectBrush(brush);
}

Pen ScaledSurface::selectPen(const Pen& pen) {
    Pen onDevice = pen;
    layoutWidth_ = std::max(pen.width, 1);
    // As wide as the widest cell, so a line leaves no device pixel of its cells uncovered.
    deviceWidth_ = scale_ == 1.0
                       ? layoutWidth_
                       : std::max(1, static_cast<int32_t>(std::ceil(layoutWidth_ * scale_ - 1e-9)));
    if (scale_ != 1.0) onDevice.width = deviceWidth_;
    device_.selectPen(onDevice);
    return std::exchange(pen_, pen);
}

}  // namespace kenvo
