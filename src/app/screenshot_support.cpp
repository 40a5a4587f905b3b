#include "screenshot_support.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QWidget>
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

}  // namespace kenvo::screenshots
