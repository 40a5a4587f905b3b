// kenvoplat-render-icons: draws the application's SVG icon as PNG files in the hicolor theme's
// layout (OUT/NxN/apps/kenvoplat.png), so the desktop finds an icon at every usual size.
#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QSvgRenderer>
#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv) {
    if (argc < 4) {
        std::fputs("usage: kenvoplat-render-icons ICON.svg OUTPUT-FOLDER SIZE...\n", stderr);
        return 2;
    }
    QGuiApplication application(argc, argv);
    QSvgRenderer svg(QString::fromLocal8Bit(argv[1]));
    if (!svg.isValid()) {
        std::fprintf(stderr, "kenvoplat-render-icons: cannot read %s\n", argv[1]);
        return 1;
    }
    const QString out = QString::fromLocal8Bit(argv[2]);
    for (int i = 3; i < argc; ++i) {
        const int size = std::atoi(argv[i]);
        if (size < 8 || size > 1024) {
            std::fprintf(stderr, "kenvoplat-render-icons: bad size %s\n", argv[i]);
            return 2;
        }
        QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        QPainter p(&image);
        svg.render(&p);
        p.end();
        const QString folder = QString("%1/%2x%2/apps").arg(out).arg(size);
        if (!QDir().mkpath(folder) || !image.save(folder + "/kenvoplat.png")) {
            std::fprintf(stderr, "kenvoplat-render-icons: cannot write %s\n",
                         folder.toLocal8Bit().constData());
            return 1;
        }
    }
    return 0;
}
