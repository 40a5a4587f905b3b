#include "kenvo_plat_view.h"

#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <cmath>

#include "app_state.h"
#include "graphs/display_geometry.h"
#include "graphs/header_band.h"
#include "graphs/layout_scale.h"
#include "graphs/scaled_surface.h"
#include "render/qpainter_surface.h"

namespace kenvo {

namespace {

// The target and driving displays compute their squares from the whole view.
bool hasOwnGeometry(ViewMode mode) {
    return mode == ViewMode::TargetTest || mode == ViewMode::DrivingTest;
}

int scaled(int v, double scale) {
    return static_cast<int>(std::lround(v * scale));
}

}  // namespace

void renderBlankView(Surface& surface, const ViewContext& context) {
    SurfaceState keep(surface);
    surface.fillSolid(context.area, colour::White);
    // The subject header band heads every view while a data set is present.
    if (context.state.store.dataPresent)
        drawHeaderBand(
            surface, panel::HeaderUpper, panel::HeaderLower,
            {&context.state.store.subject, HeaderContent::SubjectOnly, 0, nullptr, false});
}

CKenvoPlatView::CKenvoPlatView(AppState& state, QWidget* parent)
    : QWidget(parent), state_(state), renderer_(renderBlankView) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::StrongFocus);
    setMinimumSize(200, 150);
}

void CKenvoPlatView::setRenderer(ModeRenderer renderer) {
    renderer_ = renderer ? std::move(renderer) : ModeRenderer(renderBlankView);
    redraw();
}

void CKenvoPlatView::updateLayoutScale() {
    const QWidget* top = window();
    const double scale = hasOwnGeometry(mode_) || top == this
                             ? 1.0
                             : kenvo::layoutScale(width(), height(), top->width(), top->height());
    if (scale == layoutScale_) return;
    layoutScale_ = scale;
    emit layoutScaleChanged(scale);
}

QSize CKenvoPlatView::layoutSize() const {
    return {static_cast<int>(std::ceil(width() / layoutScale_)),
            static_cast<int>(std::ceil(height() / layoutScale_))};
}

QRect CKenvoPlatView::toWidget(const QRect& layout) const {
    if (layout.isEmpty()) return layout;
    const int left = scaled(layout.left(), layoutScale_);
    const int top = scaled(layout.top(), layoutScale_);
    return QRect(QPoint(left, top),
                 QPoint(scaled(layout.left() + layout.width(), layoutScale_) - 1,
                        scaled(layout.top() + layout.height(), layoutScale_) - 1));
}

QPoint CKenvoPlatView::toLayout(QPointF widget) const {
    if (layoutScale_ == 1.0) return widget.toPoint();
    return QPoint(static_cast<int>(std::lround(widget.x() / layoutScale_)),
                  static_cast<int>(std::lround(widget.y() / layoutScale_)));
}

double CKenvoPlatView::deviceScale() const {
    return layoutScale_ * devicePixelRatioF();
}

QSize CKenvoPlatView::deviceSize() const {
    const double ratio = devicePixelRatioF();
    return QSize(scaled(width(), ratio), scaled(height(), ratio)).expandedTo(QSize(1, 1));
}

void CKenvoPlatView::render(Surface& device) {
    const QSize layout = layoutSize().expandedTo(QSize(1, 1));
    ScaledSurface surface(device, deviceScale());
    renderer_(surface, ViewContext{mode_, state_, Rect{0, 0, layout.width(), layout.height()}});
}

void CKenvoPlatView::redraw() {
    updateLayoutScale();
    const QSize size = deviceSize();
    if (backing_.size() != size) backing_ = QImage(size, QImage::Format_RGB32);
    backing_.fill(Qt::white);
    {
        QPainter painter(&backing_);
        QPainterSurface surface(painter, QPainterSurface::Mapping::Screen);
        render(surface);
    }
    ++redraws_;
    update();
}

void CKenvoPlatView::drawIncrement(const std::function<void(Surface&)>& draw) {
    if (backing_.isNull()) redraw();
    {
        QPainter painter(&backing_);
        QPainterSurface device(painter, QPainterSurface::Mapping::Screen);
        ScaledSurface surface(device, deviceScale());
        draw(surface);
    }
    update();
}

bool CKenvoPlatView::handleCommand(int32_t id) {
    for (const auto& handler : handlers_)
        if (handler(id)) return true;
    if (id != CmdBlankView) return false;
    mode_ = ViewMode::Blank;
    updateLayoutScale();
    emit blanked();
    redraw();
    return true;
}

void CKenvoPlatView::paintEvent(QPaintEvent* event) {
    if (backing_.size() != deviceSize()) redraw();
    QPainter painter(this);
    if (devicePixelRatioF() == 1.0)
        painter.drawImage(event->rect(), backing_, event->rect());
    else  // device pixels onto the same device pixels of a high-density screen
        painter.drawImage(QRectF(rect()), backing_, QRectF(backing_.rect()));
}

void CKenvoPlatView::mousePressEvent(QMouseEvent* event) {
    emit mousePressed(toLayout(event->position()), event->button());
    QWidget::mousePressEvent(event);
}

void CKenvoPlatView::mouseMoveEvent(QMouseEvent* event) {
    emit pointerMoved(toLayout(event->position()));
    QWidget::mouseMoveEvent(event);
}

void CKenvoPlatView::mouseReleaseEvent(QMouseEvent* event) {
    emit mouseReleased(toLayout(event->position()), event->button());
    QWidget::mouseReleaseEvent(event);
}

void CKenvoPlatView::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    redraw();
}

}  // namespace kenvo
