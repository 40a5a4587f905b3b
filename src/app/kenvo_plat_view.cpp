#include "kenvo_plat_view.h"

#include <QPaintEvent>
#include <QPainter>
#include <cstdio>

#include "app_state.h"
#include "files/code_page.h"
#include "image_surface.h"

namespace kenvo {

void renderBlankView(Surface& surface, const ViewContext& context) {
    SurfaceState keep(surface);
    surface.fillSolid(context.area, colour::White);

    // The subject of the data set, so the operator sees whose measurements are loaded.
    const SubjectRecord& subject = context.state.store.subject;
    char numbers[96];
    std::snprintf(numbers, sizeof numbers, "Sex: %s    Height: %d cm    Weight: %d kg",
                  subject.sex == 1 ? "male" : "female", subject.height, subject.weight);
    const std::string name = "Name: " + cp1250ToUtf8(subject.name);
    const int32_t left = context.area.left + 10, right = context.area.right - 10;
    surface.selectFont(ViewFont::SmallBold);
    surface.text({left, context.area.top + 6, right, context.area.top + 22}, name, TextAlign::Left);
    surface.selectFont(ViewFont::SmallNormal);
    surface.text({left, context.area.top + 6, right, context.area.top + 22}, numbers,
                 TextAlign::Right);
    surface.selectPen(Pen{colour::LightGrey, 1});
    surface.moveTo(left, context.area.top + 26);
    surface.lineTo(right, context.area.top + 26);
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
        ImageSurface surface(backing_);
        const ViewContext context{mode_, state_, Rect{0, 0, size.width(), size.height()}};
        renderer_(surface, context);
    }
    ++redraws_;
    update();
}

void CKenvoPlatView::drawIncrement(const std::function<void(Surface&)>& draw) {
    if (backing_.isNull()) redraw();
    {
        ImageSurface surface(backing_);
        draw(surface);
    }
    update();
}

bool CKenvoPlatView::handleCommand(int32_t id) {
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

void CKenvoPlatView::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    redraw();
}

}  // namespace kenvo
