#include "kenvo_plat_view.h"

#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>

#include "app_state.h"
#include "graphs/display_geometry.h"
#include "graphs/header_band.h"
#include "render/qpainter_surface.h"

namespace kenvo {

void renderBlankView(Surface& surface, const ViewContext& context) {
    SurfaceState keep(surface);
    surface.fillSolid(context.area, colour::White);
    // The subject header band heads every view while a data set is present.
    if (context.state.store.dataPresent)
        drawHeaderBand(surface, panel::HeaderUpper, panel::HeaderLower,
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

void CKenvoPlatView::redraw() {
    const QSize size = this->size().expandedTo(QSize(1, 1));
    if (backing_.size() != size) backing_ = QImage(size, QImage::Format_RGB32);
    backing_.fill(Qt::white);
    {
        QPainter painter(&backing_);
        QPainterSurface surface(painter, QPainterSurface::Mapping::Screen);
        const ViewContext context{mode_, state_, Rect{0, 0, size.width(), size.height()}};
        renderer_(surface, context);
    }
    ++redraws_;
    update();
}

void CKenvoPlatView::drawIncrement(const std::function<void(Surface&)>& draw) {
    if (backing_.isNull()) redraw();
    {
        QPainter painter(&backing_);
        QPainterSurface surface(painter, QPainterSurface::Mapping::Screen);
        draw(surface);
    }
    update();
}

bool CKenvoPlatView::handleCommand(int32_t id) {
    for (const auto& handler : handlers_)
        if (handler(id)) return true;
    if (id != CmdBlankView) return false;
    mode_ = ViewMode::Blank;
    emit blanked();
    redraw();
    return true;
}

void CKenvoPlatView::paintEvent(QPaintEvent* event) {
    if (backing_.size() != size()) redraw();
    QPainter painter(this);
    painter.drawImage(event->rect(), backing_, event->rect());
}

void CKenvoPlatView::mousePressEvent(QMouseEvent* event) {
    emit mousePressed(event->position().toPoint(), event->button());
    QWidget::mousePressEvent(event);
}

void CKenvoPlatView::mouseMoveEvent(QMouseEvent* event) {
    emit pointerMoved(event->position().toPoint());
    QWidget::mouseMoveEvent(event);
}

void CKenvoPlatView::mouseReleaseEvent(QMouseEvent* event) {
    emit mouseReleased(event->position().toPoint(), event->button());
    QWidget::mouseReleaseEvent(event);
}

void CKenvoPlatView::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    redraw();
}

}  // namespace kenvo
