#include "graphs/report_axes.h"

#include <algorithm>

#include "analysis/text_format.h"
#include "graphs/axis_labels.h"
#include "graphs/report_pens.h"

namespace kenvo {

namespace {

// +1 where larger y is further down (the screen), -1 on paper.
int32_t down(const Surface& s) {
    return s.isPrinting() ? -1 : 1;
}

std::string tickLabel(const ReportValueAxis& axis, double v) {
    if (!axis.decimals) return formatText("%d", static_cast<int>(v));
    return formatText("%.*f", static_cast<int>(*axis.decimals), v);
}

}  // namespace

void drawReportValueAxis(Surface& s, const ReportValueAxis& axis, const ReportAxisLayout& l) {
    const int32_t out = axis.rightSide ? 1 : -1;  // outward from the graph
    const int32_t dn = down(s);
    const TextAlign align = axis.rightSide ? TextAlign::Left : TextAlign::Right;
    forEachTick(axis.first, axis.last, axis.step, [&](double v) {
        const int32_t y = axis.scale.vertical(axis.bottom, v);
        drawLine(s, axis.edge, y, axis.edge + out * l.tick, y);
        const int32_t near =
            axis.rightSide ? std::max(l.labelNear, l.tick + rightLabelGap(s)) : l.labelNear;
        const int32_t nearX = axis.edge + out * near, farX = axis.edge + out * l.labelFar;
        const Rect box{axis.rightSide ? nearX : farX, y - dn * l.labelHalfHeight,
                       axis.rightSide ? farX : nearX, y + dn * l.labelHalfHeight};
        s.text(box, tickLabel(axis, v), align);
    });
    s.text({axis.edge - l.titleHalfWidth, axis.top - dn * l.titleFar, axis.edge + l.titleHalfWidth,
            axis.top - dn * l.titleNear},
           axis.title, TextAlign::Centre);
}

void drawReportTimeTick(Surface& s, TimeLabelRow& labels, int32_t x, int32_t d,
                        const std::string& label, int32_t labelNear, int32_t labelFar) {
    if (s.isPrinting()) {
        drawLine(s, x, d, x, d - 20);
        labels.draw(paperTimeLabelBox(x, d, label), label);
    } else {
        drawLine(s, x, d, x, d + 3);
        labels.draw({x - 20, d + labelNear, x + 20, d + labelFar}, label);
    }
}

void drawReportTimeTitle(Surface& s, int32_t a, int32_t c, int32_t d, std::string_view title,
                         int32_t titleNear, int32_t titleFar) {
    if (s.isPrinting())
        s.text({a, d - 80, c, d - 120}, title, TextAlign::Centre);
    else
        s.text({a, d + titleNear, c, d + titleFar}, title, TextAlign::Centre);
}

void drawReportOpenFrame(Surface& s, const Rect& r) {
    s.selectFont(s.isPrinting() ? ViewFont::PrintNormal : ViewFont::SmallNormal);
    s.selectPen(ReportBlackPen);
    s.setTextColour(colour::Black);
    s.moveTo(r.left, r.top);
    s.lineTo(r.left, r.bottom);
    s.lineTo(r.right, r.bottom);
    s.lineTo(r.right, r.top);
}

}  // namespace kenvo
