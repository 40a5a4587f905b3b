#include "screenshot_support.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QImage>
#include <QWidget>
#include <algorithm>
#include <cstdio>

namespace kenvo::screenshots {

void runFor(int ms) {
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < ms) QApplication::processEvents(QEventLoop::AllEvents, 20);
}

bool save(QWidget& widget, const QString& path) {
    widget.show();
    for (int i = 0; i < 20; ++i) QApplication::processEvents();
    const bool ok = widget.grab().save(path);
    std::printf("%s %s\n", ok ? "wrote" : "FAILED", path.toLocal8Bit().constData());
    return ok;
}

bool fillsTheView(const QString& path, const QWidget& window, const QWidget& view) {
    const QImage picture = QImage(path).convertToFormat(QImage::Format_RGB32);
    // The picture is in device pixels; the widgets' geometry in logical ones.
    const double ratio = window.width() > 0 ? double(picture.width()) / window.width() : 1.0;
    const QRect area(QPointF(view.mapTo(&window, QPoint(0, 0))).toPoint() * ratio,
                     view.size() * ratio);
    QRect drawn;
    for (int y = std::max(0, area.top()); y <= std::min(area.bottom(), picture.height() - 1); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(picture.constScanLine(y));
        for (int x = std::max(0, area.left()); x <= std::min(area.right(), picture.width() - 1);
             ++x)
            if (line[x] != qRgb(255, 255, 255)) drawn |= QRect(x, y, 1, 1);
    }
    const double width = double(drawn.width()) / picture.width();
    const double height = area.height() > 0 ? double(drawn.height()) / area.height() : 0.0;
    const bool ok = width >= 0.75 && height >= 0.70;
    std::printf(
        "%s %s: the drawing spans %.0f %% of the window's width, %.0f %% of the view's height\n",
        ok ? "ok" : "TOO SMALL", path.toLocal8Bit().constData(), 100 * width, 100 * height);
    return ok;
}

}  // namespace kenvo::screenshots
