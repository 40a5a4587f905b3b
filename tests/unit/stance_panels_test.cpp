#include <gtest/gtest.h>

#include "graphs/protocol_target_disc.h"
#include "graphs/stance_frames.h"
#include "stance_fixture.h"

namespace kenvo {
namespace {

using Kind = RecordingSurface::Kind;
using Labels = std::vector<std::string>;

class StanceFrameTest : public test::StanceFixture {};

TEST_F(StanceFrameTest, TimeGraphValueTicksLeaveOutTheMinimum) {
    RecordingSurface s;
    drawTimeGraphFrame(ctx(), s, panel::TimeGraph);
    const Labels y1 = labels(s, TextAlign::Right, colour::Blue);
    EXPECT_EQ(y1, (Labels{"-80", "-60", "-40", "-20", "0", "20", "40", "60", "80", "100"}));
    // Y2 labels sit right of the graph, right-aligned in their box, in red.
    EXPECT_EQ(labels(s, TextAlign::Right, colour::Red).size(), 10u);
    // 100 is the top of the axis: at the frame's top edge, label box 10 above and below it.
    const auto* top = s.findText("100");
    ASSERT_NE(top, nullptr);
    EXPECT_EQ(top->rect, (Rect{260, 140, 295, 160}));
    EXPECT_NE(s.findText("COP-X (mm)"), nullptr);
    EXPECT_NE(s.findText("COP-Y (mm)"), nullptr);
}

TEST_F(StanceFrameTest, LiveAxisTitlesNameEveryQuantity) {
    EXPECT_EQ(liveAxisTitle(GraphVelocity), "v (mm/s)");
    EXPECT_EQ(liveAxisTitle(GraphHeartFrequency), "HR (1/min)");
    EXPECT_EQ(liveAxisTitle(7), "");
}

TEST_F(StanceFrameTest, CopPlaneTicksStartAtTheMinimumOnEveryAxis) {
    RecordingSurface s;
    drawCopPlaneFrame(ctx(), s, panel::CopPlane);
    const Labels expected{"-50", "-30", "-10", "10", "30", "50"};
    Labels bottom = labels(s, TextAlign::Centre, colour::Black);
    ASSERT_FALSE(bottom.empty());
    EXPECT_EQ(bottom.front(), "COP (mm)");  // the title comes before the ticks
    bottom.erase(bottom.begin());
    EXPECT_EQ(bottom, expected);
    EXPECT_EQ(labels(s, TextAlign::Right, colour::Black), expected);
    EXPECT_EQ(labels(s, TextAlign::Left, colour::Black), expected);
    // Each tick has its bottom, left and right label after the title: -50 on the bottom axis at
    // the left corner, 50 at the right one.
    EXPECT_EQ(s.texts()[1]->rect, (Rect{20, 353, 60, 368}));
    EXPECT_EQ(s.texts()[3 * 5 + 1]->rect, (Rect{220, 353, 260, 368}));
    EXPECT_DOUBLE_EQ(state.copScaleX, 2.0);

    graph.copAxisStep = 30;
    RecordingSurface s30;
    drawCopPlaneFrame(ctx(), s30, panel::CopPlane);
    EXPECT_EQ(labels(s30, TextAlign::Right, colour::Black), (Labels{"-50", "-20", "10", "40"}));
    EXPECT_EQ(s30.findText("50"), nullptr);
}

TEST_F(StanceFrameTest, PaperBoxesGrowUpwardFromTheBottomEdge) {
    // A printed COP plane of 200 x 200 mm: top above bottom in 0.1 mm units.
    const Rect paper{400, -1500, 2400, -3500};
    RecordingSurface s(true);
    drawCopPlaneFrame(ctx(), s, paper);
    const auto texts = s.texts();
    ASSERT_EQ(texts.size(), 19u);
    // After the title: -50 under the bottom axis, then on the left and right axes at the bottom
    // corner.
    EXPECT_EQ(texts[1]->rect, (Rect{200, -3520, 600, -3560}));
    EXPECT_EQ(texts[2]->rect, (Rect{300, -3480, 380, -3520}));
    EXPECT_EQ(texts[3]->rect, (Rect{2430, -3480, 2600, -3520}));
    EXPECT_EQ(texts[1]->font, ViewFont::PrintNormal);
    // 50 on the left axis lands on the top edge.
    EXPECT_EQ(texts[17]->text, "50");
    EXPECT_EQ(texts[17]->rect, (Rect{300, -1480, 380, -1520}));
    // The title below the labels, further down the page.
    const auto* title = s.findText("COP (mm)");
    ASSERT_NE(title, nullptr);
    EXPECT_EQ(title->rect, (Rect{400, -3580, 2400, -3620}));
}

TEST_F(StanceFrameTest, DegenerateAxesDrawWithoutDividingOrLooping) {
    graph.copAxisMin = graph.copAxisMax = 10;
    graph.y1Step = 0;
    graph.y2Min = 100;
    graph.y2Max = -100;
    graph.timeAxisSeconds = 0;
    RecordingSurface s;
    drawCopPlaneFrame(ctx(), s, panel::CopPlane);
    drawTimeGraphFrame(ctx(), s, panel::TimeGraph);
    // An empty COP range keeps its one tick at the minimum; every value maps to the corner.
    EXPECT_EQ(labels(s, TextAlign::Right, colour::Black), (Labels{"10"}));
    EXPECT_EQ(state.copScaleX, 0.0);
    EXPECT_EQ(state.timeScale, 0.0);
    EXPECT_EQ(state.y2Scale, 0.0);
    EXPECT_TRUE(labels(s, TextAlign::Right, colour::Blue).empty());
    EXPECT_TRUE(labels(s, TextAlign::Right, colour::Red).empty());

    graph.copAxisMin = 60;
    graph.copAxisMax = 50;
    graph.copAxisStep = -5;
    RecordingSurface reversed;
    drawCopPlaneFrame(ctx(), reversed, panel::CopPlane);
    EXPECT_EQ(reversed.texts().size(), 1u);  // the title only
}

TEST_F(StanceFrameTest, TargetDataShowsTheAttemptNumber) {
    state.selectedAttempt = 2;
    RecordingSurface stance;
    drawCopPlaneFrame(ctx(), stance, panel::CopPlane);
    EXPECT_EQ(stance.findText("Test No:"), nullptr);

    store->settings.testMode = TestModeTargetHitting;
    RecordingSurface s;
    drawCopPlaneFrame(ctx(), s, panel::CopPlane);
    const auto* label = s.findText("Test No:");
    ASSERT_NE(label, nullptr);
    EXPECT_EQ(label->rect, (Rect{10, 90, 70, 105}));
    const auto* number = s.findText("3");
    ASSERT_NE(number, nullptr);
    EXPECT_EQ(number->rect, (Rect{72, 90, 98, 105}));
    EXPECT_TRUE(s.of(Kind::Ellipse).empty());  // no target test running: no disc
}

TEST_F(StanceFrameTest, ProtocolTargetDiscMarksTheNewTargetOnce) {
    TargetTestState t;
    t.newTargetFlag = 1;
    target = &t;
    client = {0, 0, 1000, 600};  // driving square 290, 90, 710, 510
    store->settings.testMode = TestModeTargetHitting;
    recordingAttempt = 4;
    store->targetLocation[4] = 2;  // right

    RecordingSurface s;
    drawCopPlaneFrame(ctx(), s, panel::CopPlane);
    const auto discs = s.of(Kind::Ellipse);
    ASSERT_EQ(discs.size(), 1u);
    EXPECT_EQ(discs[0]->rect, (Rect{658, 248, 762, 352}));
    EXPECT_EQ(discs[0]->fill, colour::Blue);
    EXPECT_EQ(t.circleX, 710);
    EXPECT_EQ(t.circleY, 300);
    EXPECT_EQ(t.circleRadius, 52);
    EXPECT_EQ(t.newTargetFlag, 0);

    RecordingSurface again;
    drawCopPlaneFrame(ctx(), again, panel::CopPlane);
    EXPECT_TRUE(again.of(Kind::Ellipse).empty());
}

TEST_F(StanceFrameTest, ProtocolTargetsSitOnTheSquaresSides) {
    const Rect sq{290, 90, 710, 510};
    EXPECT_EQ(protocolTargetCircle(sq, 0), (TargetCircle{290, 300, 52}));
    EXPECT_EQ(protocolTargetCircle(sq, 1), (TargetCircle{500, 90, 52}));
    EXPECT_EQ(protocolTargetCircle(sq, 3), (TargetCircle{500, 510, 52}));
}

}  // namespace
}  // namespace kenvo
