// The view's larger drawing: the scale from the window's size, and the surface that carries a
// layout out at that scale.
#include <gtest/gtest.h>

#include "graphs/layout_scale.h"
#include "graphs/recording_surface.h"
#include "graphs/scaled_surface.h"

namespace kenvo {
namespace {

using Kind = RecordingSurface::Kind;

TEST(LayoutScale, TheSmallerQuotientOfTheClientAgainstItsSizeAtTheFirstWindowSize) {
    // A window frame of menus and bars 72 pixels high: 800 x 488 at the first size.
    EXPECT_EQ(layoutScale(800, 488, 800, 560), 1.0);
    EXPECT_EQ(layoutScale(1600, 976, 1600, 1048), 2.0);
    // A wide screen: the height decides, so the layout stays whole.
    EXPECT_DOUBLE_EQ(layoutScale(1920, 976, 1920, 1048), 2.0);
    // A tall one: the width decides.
    EXPECT_DOUBLE_EQ(layoutScale(1200, 1200, 1200, 1272), 1.5);
    // A bar shown above the view takes from both the view and the window's frame alike.
    EXPECT_EQ(layoutScale(800, 458, 800, 560), 1.0);
    EXPECT_DOUBLE_EQ(layoutScale(1600, 916, 1600, 1018), 2.0);
    // Smaller than the first size: cut off as before, never shrunk.
    EXPECT_EQ(layoutScale(640, 400, 640, 472), 1.0);
    // No frame to speak of (a bare view) or nonsense sizes.
    EXPECT_EQ(layoutScale(0, 0, 800, 560), 1.0);
    EXPECT_EQ(layoutScale(900, 900, 2000, 2000), 1.0);
}

TEST(ScaledSurface, AtScaleOneEveryPrimitiveReachesTheDeviceUnchanged) {
    RecordingSurface direct, through;
    const auto draw = [](Surface& s) {
        s.selectPen({colour::Red, 3});
        s.moveTo(3, 7);
        s.lineTo(-5, 11);
        s.rectangle({1, 2, 3, 4});
        s.setPixel(9, 9, colour::Blue);
        s.multilineText({0, 0, 50, 40}, "a\nb", TextAlign::Centre);
    };
    draw(direct);
    {
        ScaledSurface scaled(through, 1.0);
        draw(scaled);
    }
    ASSERT_EQ(through.ops().size(), direct.ops().size());
    for (size_t i = 0; i < direct.ops().size(); ++i) {
        EXPECT_EQ(through.ops()[i].kind, direct.ops()[i].kind);
        EXPECT_EQ(through.ops()[i].rect, direct.ops()[i].rect);
        EXPECT_EQ(through.ops()[i].penWidth, direct.ops()[i].penWidth);
        EXPECT_EQ(through.ops()[i].fontScale, 1.0);
    }
}

TEST(ScaledSurface, PositionsPensTextAndPixelsGrowAndTheDeviceIsLeftAsItWas) {
    RecordingSurface device;
    device.selectPen({colour::Black, 1});
    {
        ScaledSurface s(device, 1.5);
        // A one-pixel line covers cells of one or two device pixels: it is two wide, placed
        // one pixel into its cell (4.5 and 10.5 round away from zero).
        s.moveTo(3, 7);
        s.selectPen({colour::Red, 0});
        s.lineTo(-3, 10);
        // A line three device pixels wide (2 x 1.5) starts where the cell of 10 - 1 starts
        // (13.5, so 14) and is placed one pixel into it; its far edge ends with the cell of 19.
        s.selectPen({colour::Red, 2});
        s.ellipse({10, 10, 20, 30});
        s.text({2, 4, 6, 8}, "x", TextAlign::Left);
        s.setPixel(1, 1, colour::Blue);  // covers device pixels 2 (1.5 rounded) up to 3
        s.setPixel(2, 2, colour::Blue);  // 3 up to 5 (4.5 rounded): two by two
    }
    const auto& ops = device.ops();
    ASSERT_EQ(ops.size(), 6u);
    EXPECT_EQ(ops[0].rect.left, 6);
    EXPECT_EQ(ops[0].rect.top, 12);
    EXPECT_EQ(ops[1].rect.left, -4);
    EXPECT_EQ(ops[1].rect.top, 16);
    EXPECT_EQ(ops[1].penWidth, 2);
    EXPECT_EQ(ops[2].rect, (Rect{15, 15, 29, 44}));
    EXPECT_EQ(ops[2].penWidth, 3);
    EXPECT_EQ(ops[3].rect, (Rect{3, 6, 9, 12}));
    EXPECT_EQ(ops[3].fontScale, 1.5);
    EXPECT_EQ(ops[4].kind, Kind::Pixel);
    EXPECT_EQ(ops[4].rect.left, 2);
    EXPECT_EQ(ops[5].kind, Kind::Fill);
    EXPECT_EQ(ops[5].rect, (Rect{3, 3, 5, 5}));
    // What the device had selected before comes back.
    EXPECT_EQ(device.pen(), (Pen{colour::Black, 1}));
    EXPECT_EQ(device.fontScale(), 1.0);
}

TEST(ScaledSurface, ARestoredPenIsTheRoutinesOwnNotTheScaledOne) {
    RecordingSurface device;
    ScaledSurface s(device, 2.0);
    {
        SurfaceState keep(s);
        s.selectPen({colour::Red, 4});
    }
    s.lineTo(1, 1);
    EXPECT_EQ(device.ops().back().penWidth, 2);  // the thinnest line at scale 2, not 4
    EXPECT_EQ(device.ops().back().colour, colour::Black);
}

}  // namespace
}  // namespace kenvo
