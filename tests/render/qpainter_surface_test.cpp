#include <gtest/gtest.h>

#include <cmath>

#include <QColor>
#include <QImage>
#include <QPainter>
#include <QRect>

#include "graphs/scaled_surface.h"
#include "render/image_writers.h"
#include "render/qpainter_surface.h"
#include "support/temp_dir.h"

namespace kenvo {
namespace {

QColor at(const QImage& image, int x, int y) {
    return image.pixelColor(x, y);
}

bool dark(const QColor& c) {
    return c.lightness() < 128;
}

// A page image at 254 dpi: one device pixel per 0.1 mm.
QImage pageImage(int width, int height) {
    QImage image(width, height, QImage::Format_RGB32);
    image.setDotsPerMeterX(10000);
    image.setDotsPerMeterY(10000);
    image.fill(Qt::white);
    return image;
}

// The bounding box of the dark pixels.
QRect ink(const QImage& image) {
    QRect box;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (dark(at(image, x, y))) box |= QRect(x, y, 1, 1);
    return box;
}

TEST(QPainterSurfaceTest, ScreenLinesPixelsAndFillsLandOnExactPixels) {
    const QImage image = renderScreenImage(100, 100, [](Surface& s) {
        EXPECT_FALSE(s.isPrinting());
        s.selectPen(Pen{colour::Red});
        s.moveTo(10, 20);
        s.lineTo(50, 20);
        s.selectPen(Pen{colour::Black});
        s.selectBrush(Brush{colour::Blue});
        s.rectangle({10, 40, 30, 60});
        s.setPixel(70, 70, Rgb{0, 128, 0});
        s.fillSolid({80, 80, 90, 90}, colour::Magenta);
    });
    EXPECT_EQ(at(image, 30, 20), QColor(Qt::red));
    EXPECT_EQ(at(image, 30, 21), QColor(Qt::white));
    EXPECT_EQ(at(image, 30, 19), QColor(Qt::white));
    // The rectangle covers 10..29 x 40..59: black outline, blue inside.
    EXPECT_EQ(at(image, 10, 40), QColor(Qt::black));
    EXPECT_EQ(at(image, 29, 59), QColor(Qt::black));
    EXPECT_EQ(at(image, 30, 60), QColor(Qt::white));
    EXPECT_EQ(at(image, 20, 50), QColor(Qt::blue));
    EXPECT_EQ(at(image, 70, 70), QColor(0, 128, 0));
    EXPECT_EQ(at(image, 71, 70), QColor(Qt::white));
    EXPECT_EQ(at(image, 80, 80), QColor(Qt::magenta));
    EXPECT_EQ(at(image, 89, 89), QColor(Qt::magenta));
    EXPECT_EQ(at(image, 90, 90), QColor(Qt::white));
}

TEST(QPainterSurfaceTest, PageMappingPutsYUpwardFromTheTopLeft) {
    QImage image = pageImage(300, 300);
    {
        QPainter painter(&image);
        QPainterSurface s(painter, QPainterSurface::Mapping::Page);
        EXPECT_TRUE(s.isPrinting());
        // 10 mm to 20 mm right and down from the top left corner, written with top above bottom.
        s.fillSolid({100, -100, 200, -200}, colour::Blue);
        s.selectPen(Pen{colour::Red, 3});
        s.moveTo(0, -250);
        s.lineTo(300, -250);
    }
    EXPECT_EQ(at(image, 150, 150), QColor(Qt::blue));
    EXPECT_EQ(at(image, 101, 101), QColor(Qt::blue));
    EXPECT_EQ(at(image, 150, 50), QColor(Qt::white));
    EXPECT_EQ(at(image, 150, 205), QColor(Qt::white));
    EXPECT_EQ(at(image, 150, 250).red(), 255);
    EXPECT_LT(at(image, 150, 250).green(), 100);
}

TEST(QPainterSurfaceTest, PageTextIsUprightAndInsideItsBox) {
    QImage image = pageImage(200, 120);
    {
        QPainter painter(&image);
        QPainterSurface s(painter, QPainterSurface::Mapping::Page);
        s.selectFont(ViewFont::PrintBold);
        s.text({20, -20, 180, -100}, "T", TextAlign::Centre);
    }
    const QRect box = ink(image);
    ASSERT_FALSE(box.isEmpty());
    EXPECT_TRUE(QRect(20, 20, 160, 80).contains(box))
        << box.x() << "," << box.y() << " " << box.width() << "x" << box.height();
    // About 30 units (3 mm) high, centred in the box.
    EXPECT_GE(box.height(), 15);
    EXPECT_LE(box.height(), 32);
    EXPECT_NEAR(box.center().y(), 60, 6);
    EXPECT_NEAR(box.center().x(), 100, 6);
    // A T's bar is at its top: the widest dark row lies in the upper half of the glyph.
    int widestRow = -1, widest = 0;
    for (int y = box.top(); y <= box.bottom(); ++y) {
        int n = 0;
        for (int x = box.left(); x <= box.right(); ++x) n += dark(at(image, x, y));
        if (n > widest) widest = n, widestRow = y;
    }
    EXPECT_LT(widestRow, box.top() + box.height() / 2);
}

TEST(QPainterSurfaceTest, ScreenTextFollowsAlignmentAndColour) {
    const QImage image = renderScreenImage(200, 40, [](Surface& s) {
        s.setTextColour(colour::Red);
        s.text({0, 0, 200, 20}, "100", TextAlign::Right);
        s.setTextColour(colour::Black);
        s.text({0, 20, 200, 40}, "100", TextAlign::Left);
    });
    QRect right, left;
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 200; ++x) {
            const QColor c = at(image, x, y);
            if (c.red() > 200 && c.green() < 120) right |= QRect(x, y, 1, 1);
            if (dark(c) && y >= 20) left |= QRect(x, y, 1, 1);
        }
    ASSERT_FALSE(right.isEmpty());
    ASSERT_FALSE(left.isEmpty());
    EXPECT_GE(right.left(), 160);
    EXPECT_LE(left.right(), 40);
    EXPECT_LE(right.height(), 12);
}

TEST(QPainterSurfaceTest, PdfHasOnePagePerCallAndFailsCleanly) {
    test::TempDir dir;
    std::string error;
    int calls = 0;
    ASSERT_TRUE(
        writePdf(dir.file("two.pdf"), 2,
                 [&](Surface& s, int page) {
                     ++calls;
                     EXPECT_TRUE(s.isPrinting());
                     s.text({0, 0, 1000, -100}, "Page " + std::to_string(page), TextAlign::Left);
                 },
                 error, {"two pages"}))
        << error;
    EXPECT_EQ(calls, 2);
    const std::string bytes = test::readFileBytes(dir.file("two.pdf"));
    EXPECT_EQ(bytes.rfind("%PDF", 0), 0u);
    int pages = 0;
    for (std::size_t p = bytes.find("/Type /Page"); p != std::string::npos;
         p = bytes.find("/Type /Page", p + 1))
        if (bytes.compare(p, 12, "/Type /Pages") != 0) ++pages;
    EXPECT_EQ(pages, 2);

    EXPECT_FALSE(writePng(
        dir.file("missing/x.png"), 10, 10, [](Surface&) {}, error));
    EXPECT_FALSE(error.empty());
    EXPECT_FALSE(writePdf(
        dir.file("none.pdf"), 0, [](Surface&, int) {}, error));
}

// A layout drawn larger: what a routine draws with lines and outlines, it erases again with
// fills of the same layout pixels (a tick's marks, a trace's head). At any scale nothing of the
// drawing may be left over, or the screen collects stray dots tick after tick.
TEST(QPainterSurfaceTest, AtAnyScaleAFillOfTheSameLayoutPixelsErasesLinesAndOutlines) {
    for (const double scale : {1.0, 1.25, 1.375, 1.5, 2.0, 2.6, 3.0}) {
        SCOPED_TRACE(scale);
        QImage image(200, 200, QImage::Format_RGB32);
        image.fill(Qt::white);
        {
            QPainter painter(&image);
            QPainterSurface device(painter, QPainterSurface::Mapping::Screen);
            ScaledSurface s(device, scale);
            for (const int32_t width : {1, 2, 3}) {
                const int32_t y = 10 + 15 * width;
                s.selectPen(Pen{colour::Black, width});
                s.moveTo(
                    10, y);  // a line across the rows of y - width / 2 .. y - width / 2 + width - 1
                s.lineTo(40, y);
                s.moveTo(20 + 5 * width, 5);  // and one down the columns around x
                s.lineTo(20 + 5 * width, 15);
                s.selectBrush(Brush{colour::Blue});
                s.rectangle({45, y - 5, 55, y + 3});
                // Erased as the routines erase: fills of the layout pixels the pen covered.
                const int32_t from = y - width / 2;
                s.fillSolid({10 - width / 2, from, 41 - width / 2 + width, from + width},
                            colour::White);
                const int32_t x = 20 + 5 * width - width / 2;
                s.fillSolid({x, 5 - width / 2, x + width, 16 - width / 2 + width}, colour::White);
                s.fillSolid({45 - width / 2, y - 5 - width / 2, 55 + width, y + 3 + width},
                            colour::White);
            }
        }
        EXPECT_TRUE(ink(image).isEmpty())
            << "left over: " << ink(image).x() << "," << ink(image).y();
        // And a line covers its whole cells: the rows of layout row 30 at this scale.
        QImage line(200, 200, QImage::Format_RGB32);
        line.fill(Qt::white);
        {
            QPainter painter(&line);
            QPainterSurface device(painter, QPainterSurface::Mapping::Screen);
            ScaledSurface s(device, scale);
            s.moveTo(10, 30);
            s.lineTo(40, 30);
        }
        const int top = int(std::lround(30 * scale)), next = int(std::lround(31 * scale));
        for (int row = top; row < next; ++row)
            EXPECT_TRUE(dark(at(line, int(25 * scale), row))) << row;
    }
}

}  // namespace
}  // namespace kenvo
