#include "graphs/scaled_surface.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace kenvo {

ScaledSurface::ScaledSurface(Surface& device, double scale)
    : device_(device),
      scale_(scale > 0.0 ? scale : 1.0),
      deviceFontScaleBefore_(device.fontScale()) {
    device_.setFontScale(deviceFontScaleBefore_ * scale_);
    // The routines find the device's pen selected, at their scale.
    devicePenBefore_ = device_.selectPen(Pen{});
    selectPen(devicePenBefore_);
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

void ScaledSurface::moveTo(int32_t x, int32_t y) {
    device_.moveTo(toDevice(x), toDevice(y));
}
void ScaledSurface::lineTo(int32_t x, int32_t y) {
    device_.lineTo(toDevice(x), toDevice(y));
}
void ScaledSurface::rectangle(const Rect& r) {
    device_.rectangle(toDevice(r));
}
void ScaledSurface::ellipse(const Rect& r) {
    device_.ellipse(toDevice(r));
}

void ScaledSurface::setPixel(int32_t x, int32_t y, Rgb colour) {
    // A layout pixel covers the device pixels up to where the next one starts.
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

Pen ScaledSurface::selectPen(const Pen& pen) {
    Pen onDevice = pen;
    // The thinnest line stays one device pixel at any scale below two.
    if (scale_ != 1.0)
        onDevice.width =
            std::max(1, static_cast<int32_t>(std::lround(std::max(pen.width, 1) * scale_)));
    device_.selectPen(onDevice);
    return std::exchange(pen_, pen);
}

}  // namespace kenvo
