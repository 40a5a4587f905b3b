#include "render/image_writers.h"

#include <span>

#include <QBuffer>
#include <QByteArray>
#include <QMarginsF>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QString>

#include "files/atomic_file.h"
#include "render/qpainter_surface.h"

namespace kenvo {

namespace {

bool writeBytes(const std::string& path, const QByteArray& bytes, std::string& error,
                FileAccess access = FileAccess::Usual) {
    const std::span<const uint8_t> data(reinterpret_cast<const uint8_t*>(bytes.constData()),
                                        static_cast<std::size_t>(bytes.size()));
    return writeFileAtomically(path, data, error, access);
}

}  // namespace

QImage renderScreenImage(int width, int height, const std::function<void(Surface&)>& draw) {
    QImage image(width, height, QImage::Format_RGB32);
    if (image.isNull()) return image;
    image.fill(Qt::white);
    QPainter painter(&image);
    {
        QPainterSurface surface(painter, QPainterSurface::Mapping::Screen);
        draw(surface);
    }
    painter.end();
    return image;
}

bool writePng(const std::string& path, int width, int height, const std::function<void(Surface&)>& draw,
              std::string& error) {
    const QImage image = renderScreenImage(width, height, draw);
    if (image.isNull()) {
        error = "cannot make an image of " + std::to_string(width) + " x " + std::to_string(height) + " pixels";
        return false;
    }
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (!image.save(&buffer, "PNG")) {
        error = "cannot encode the image as PNG";
        return false;
    }
    return writeBytes(path, bytes, error);
}

bool writePdf(const std::string& path, int pageCount, const std::function<void(Surface&, int page)>& drawPage,
              std::string& error, const PdfOptions& options) {
    if (pageCount < 1) {
        error = "a document needs at least one page";
        return false;
    }
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    {
        QPdfWriter writer(&buffer);
        writer.setResolution(options.resolution);
        writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                                         QMarginsF(options.marginMm, options.marginMm, options.marginMm,
                                                   options.marginMm),
                                         QPageLayout::Millimeter));
        writer.setTitle(QString::fromStdString(options.title));
        writer.setCreator(QStringLiteral("KenvoPlat"));
        QPainter painter;
        if (!painter.begin(&writer)) {
            error = "cannot start the PDF document";
            return false;
        }
        for (int page = 1; page <= pageCount; ++page) {
            if (page > 1) writer.newPage();
            QPainterSurface surface(painter, QPainterSurface::Mapping::Page);
            drawPage(surface, page);
        }
        painter.end();
    }
    return writeBytes(path, bytes, error, options.access);
}

}  // namespace kenvo
