#include <QImage>

#include "app_fixture.h"
#include "command_ids.h"
#include "command_table.h"
#include "kenvo_plat_view.h"
#include "toolbar_icons.h"

namespace kenvo::test {
namespace {

using View = AppFixture;

TEST_F(View, PluggedRendererDrawsTheModeFromScratchAndWipesIncrementalDrawing) {
    CKenvoPlatView& view = *frame().view();
    view.resize(300, 200);
    std::vector<ViewMode> modes;
    view.setRenderer([&](Surface& s, const ViewContext& c) {
        modes.push_back(c.mode);
        EXPECT_EQ(&c.state, &state());
        s.fillSolid(c.area, colour::Blue);
    });
    EXPECT_EQ(view.backing().pixelColor(10, 10), QColor(0, 0, 255));

    // A tick draws on top of what is there.
    view.drawIncrement([](Surface& s) { s.fillSolid({0, 0, 20, 20}, colour::Red); });
    EXPECT_EQ(view.backing().pixelColor(10, 10), QColor(255, 0, 0));
    EXPECT_EQ(view.backing().pixelColor(100, 100), QColor(0, 0, 255));

    view.setMode(ViewMode::GraphReport);
    view.redraw();
    EXPECT_EQ(view.backing().pixelColor(10, 10), QColor(0, 0, 255));
    ASSERT_FALSE(modes.empty());
    EXPECT_EQ(modes.back(), ViewMode::GraphReport);
}

TEST_F(View, BlankViewShowsTheSubjectHeaderOnlyWhileDataIsPresent) {
    CKenvoPlatView& view = *frame().view();
    view.resize(760, 200);
    const auto darkAtTop = [&] {
        const QImage& image = view.backing();
        int dark = 0;  // the header band's outline and texts
        for (int y = 0; y < 66; ++y)
            for (int x = 0; x < 400; ++x) dark += image.pixelColor(x, y).lightness() < 128;
        return dark;
    };
    view.redraw();
    EXPECT_EQ(view.backing().size(), QSize(760, 200));
    EXPECT_EQ(view.backing().pixelColor(200, 150), QColor(Qt::white));
    EXPECT_EQ(darkAtTop(), 0);
    state().store.dataPresent = 1;
    view.redraw();
    EXPECT_GT(darkAtTop(), 100);
    EXPECT_EQ(view.backing().pixelColor(200, 150), QColor(Qt::white));
}

TEST_F(View, FullScreenAndBackRestoresTheWindowRectangle) {
    frame().setGeometry(50, 60, 800, 560);
    const QRect before = frame().geometry();
    frame().enterFullScreen();
    EXPECT_TRUE(frame().isFullScreenMode());
    frame().enterFullScreen();  // a second call keeps the first rectangle
    frame().leaveFullScreen();
    EXPECT_FALSE(frame().isFullScreenMode());
    EXPECT_EQ(frame().geometry(), before);
}

TEST(ToolbarImages, EveryToolbarCommandHasItsOwnNineteenBySeventeenImage) {
    std::vector<QImage> seen;
    for (int id : toolbarLayout()) {
        if (id == 0) continue;
        const QPixmap pixmap = toolbarPixmap(id);
        ASSERT_EQ(pixmap.size(), QSize(19, 17)) << id;
        const QImage image = pixmap.toImage();
        int painted = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x) painted += qAlpha(image.pixel(x, y)) > 0;
        EXPECT_GT(painted, 20) << id;
        for (const QImage& other : seen) EXPECT_NE(other, image) << id;
        seen.push_back(image);
    }
}

}  // namespace
}  // namespace kenvo::test
