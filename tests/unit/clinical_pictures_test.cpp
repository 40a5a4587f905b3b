// The 95 % ellipse over the COP pictures, and the clinical table's variable columns.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <numbers>

#include "analysis/clipboard_text.h"
#include "analysis/spreadsheet_xml.h"
#include "clinical/attempt_trace.h"
#include "graph_test_support.h"
#include "graphs/cop_pictures.h"
#include "graphs/display_geometry.h"
#include "graphs/ellipse_outline.h"
#include "graphs/report_controls.h"
#include "graphs/report_pages.h"
#include "model/measurement_store.h"
#include "reports/clinical_table.h"

namespace kenvo {
namespace {

using testing_support::polylines;

constexpr int32_t Samples = 1500;

// A sway along a tilted direction with some sideways wobble, well inside the axes.
std::unique_ptr<MeasurementStore> tiltedSway() {
    auto store = std::make_unique<MeasurementStore>();
    store->calibration.scaleX = 100.0f;
    store->calibration.scaleY = 100.0f;
    CopSample* s = store->samples(0);
    for (int32_t i = 0; i < Samples; ++i) {
        const double t = i / 100.0;
        const double along = 8.0 * std::sin(2 * std::numbers::pi * 0.4 * t);
        const double across = 2.5 * std::sin(2 * std::numbers::pi * 1.1 * t + 0.7);
        const double x = 4.0 + along * 0.8 - across * 0.6;
        const double y = -3.0 + along * 0.6 + across * 0.8;
        s[i] = CopSample{float(x / 100.0), float(y / 100.0), 72};
    }
    store->length[0] = Samples;
    store->attemptCount = 1;
    store->attemptSeconds = Samples / 100;
    return store;
}

GraphSettings axes() {
    GraphSettings g;
    g.copAxisMin = -25;
    g.copAxisMax = 25;
    return g;
}

// Where a plane point lies in millimetres (the mapping's inverse).
std::pair<double, double> toMm(const Point& p, const Rect& r, const GraphSettings& g) {
    const double range = g.copAxisMax - g.copAxisMin;
    return {g.copAxisMin + (p.x - r.left) * range / (r.right - r.left),
            g.copAxisMin + (r.bottom - p.y) * range / (r.bottom - r.top)};
}

TEST(EllipseOutline, DrawnPointsLieOnTheMeasuredEllipse) {
    const auto store = tiltedSway();
    const GraphSettings g = axes();
    const Rect plane{20, 30, 420, 430};  // 8 pixels per mm
    const double pixelMm = 50.0 / 400.0;
    for (const auto lowPass : {std::optional<double>{}, std::optional<double>{5.0}}) {
        const ClinicalViewOptions options{lowPass.has_value(), lowPass.value_or(10.0), true};
        RecordingSurface s;
        drawAttemptEllipse(s, plane, g, *store, 0, 0, Samples, &options);
        const auto lines = polylines(s);
        ASSERT_EQ(lines.size(), 1u);
        EXPECT_EQ(lines[0].colour, EllipsePen.colour);
        const std::vector<Point>& points = lines[0].points;
        ASSERT_GE(points.size(), size_t(EllipseOutlinePoints) + 1);
        EXPECT_EQ(points.front(), points.back()) << "closed";

        // The measures' own ellipse: centre, semi-axes and angle of the same filtered attempt.
        const ClinicalMeasures m = computeClinicalMeasures(attemptTrace(*store, 0), lowPass);
        const double cx = *m[ClinicalMeasure::MeanX], cy = *m[ClinicalMeasure::MeanY];
        const double a = *m[ClinicalMeasure::EllipseMajor], b = *m[ClinicalMeasure::EllipseMinor];
        const double angle = *m[ClinicalMeasure::EllipseAngle] * std::numbers::pi / 180.0;
        EXPECT_NEAR(*m[ClinicalMeasure::EllipseAngle], 36.87, 3.0) << "the sway's direction";
        for (const Point& p : points) {
            const auto [x, y] = toMm(p, plane, g);
            const double dx = x - cx, dy = y - cy;
            const double u = dx * std::cos(angle) + dy * std::sin(angle);
            const double v = -dx * std::sin(angle) + dy * std::cos(angle);
            const double radius = std::sqrt(u * u / (a * a) + v * v / (b * b));
            // A point half a pixel off in each axis moves the radius by at most this much.
            EXPECT_NEAR(radius, 1.0, pixelMm / b) << p.x << "," << p.y;
        }
    }
}

TEST(EllipseOutline, FollowsTheShownRangeAndTheSwitch) {
    const auto store = tiltedSway();
    const GraphSettings g = axes();
    const Rect plane{0, 0, 400, 400};
    ClinicalViewOptions options;
    RecordingSurface off;
    drawAttemptEllipse(off, plane, g, *store, 0, 0, Samples, &options);
    drawAttemptEllipse(off, plane, g, *store, 0, 0, Samples, nullptr);
    EXPECT_TRUE(off.ops().empty()) << "off by default";

    options.drawEllipse = true;
    // Half a cycle of the slow sway covers less ground than the whole attempt.
    const auto whole = attemptEllipse(*store, 0, 0, Samples, options);
    const auto part = attemptEllipse(*store, 0, 100, 225, options);
    ASSERT_TRUE(whole && part);
    EXPECT_LT(part->area, whole->area * 0.8);
    // Too few samples in the range, or a range beyond the recording, draw nothing.
    RecordingSurface none;
    drawAttemptEllipse(none, plane, g, *store, 0, 10, 12, &options);
    drawAttemptEllipse(none, plane, g, *store, 0, Samples, Samples + 500, &options);
    drawAttemptEllipse(none, plane, g, *store, 3, 0, Samples, &options);
    EXPECT_TRUE(none.ops().empty());
}

// The pictures draw it where the options ask: the graph report over its zoomed range (screen and
// paper), COP All over every attempt; without options, or switched off, nothing changes.
TEST(EllipseOutline, GraphReportAndCopAllDrawTheirSamplesEllipses) {
    auto store = tiltedSway();
    store->attemptSeconds = Samples / 100;
    GraphSettings g = GraphSettings::defaults();
    DisplayState st;
    enterGraphReport(st, *store, g);
    for (int i = 0; i < 300; ++i) leftCursorForward(st);
    for (int i = 0; i < 900; ++i) rightCursorBack(st);
    ASSERT_TRUE(zoomReport(st));
    ASSERT_GT(st.rangeStart, 0);
    ASSERT_LT(st.rangeEnd, Samples);
    ClinicalViewOptions options;
    const auto ellipses = [&](const ClinicalViewOptions* o, bool paper) {
        const StanceContext ctx{.graph = g, .store = *store, .state = st, .clinical = o};
        RecordingSurface s(paper);
        drawGraphReportPage(ctx, s, screenReportBoxes());
        std::vector<testing_support::Polyline> green;
        for (const auto& line : polylines(s))
            if (line.colour == EllipsePen.colour) green.push_back(line);
        return green;
    };
    EXPECT_TRUE(ellipses(nullptr, false).empty());
    EXPECT_TRUE(ellipses(&options, false).empty()) << "off by default";
    options.drawEllipse = true;
    for (const bool paper : {false, true}) {
        const auto drawn = ellipses(&options, paper);
        ASSERT_EQ(drawn.size(), 1u) << paper;
        const auto expected = attemptEllipse(*store, 0, st.rangeStart, st.rangeEnd, options);
        ASSERT_TRUE(expected);
        EXPECT_EQ(drawn[0].points,
                  ellipseOutline(*expected, CopPlaneMapping(g, panel::CopPlane), g));
    }

    // COP All: one ellipse per attempt, each over its whole recording.
    store->attemptCount = 2;
    std::copy_n(store->samples(0), Samples, store->samples(1));
    store->length[1] = Samples;
    const StanceContext ctx{.graph = g, .store = *store, .state = st, .clinical = &options};
    RecordingSurface all;
    showCopPicture(ctx, all, panel::CopPlane, CopPictureAll);
    std::size_t green = 0;
    for (const auto& line : polylines(all)) green += line.colour == EllipsePen.colour;
    EXPECT_EQ(green, 2u);
}

TEST(EllipseOutline, StaysWithinTheAxes) {
    const GraphSettings g = axes();
    const Rect plane{0, 0, 400, 400};
    const PredictionEllipse huge{20.0, 0.0, 40.0, 10.0, 0.0, 0.0};
    for (const Point& p : ellipseOutline(huge, CopPlaneMapping(g, plane), g)) {
        EXPECT_GE(p.x, plane.left);
        EXPECT_LE(p.x, plane.right);
    }
}

TEST(ClinicalTable, ColumnsFollowTheAttemptsAndTheClipboardCopiesThemAll) {
    auto store = tiltedSway();
    CopSample* second = store->samples(1);
    for (int32_t i = 0; i < 2; ++i) second[i] = CopSample{0.01f * float(i), 0.0f, 72};
    store->length[1] = 2;  // too short for most measures
    store->attemptCount = 2;
    const TableContent t = buildClinicalTable(*store, 10.0);
    ASSERT_EQ(t.columns.size(), 5u);
    EXPECT_EQ(tableColumnCount(t), 5);
    EXPECT_TRUE(t.columns[0].leftAligned);
    ASSERT_EQ(t.rows.size(), ClinicalMeasureCount);
    const auto& area = t.rows[static_cast<size_t>(ClinicalMeasure::Area95)];
    EXPECT_EQ(area[0], "95 % ellipse area (mm2)");
    EXPECT_NE(area[1], "n/a");
    EXPECT_EQ(area[2], "n/a");
    EXPECT_EQ(area[3], area[1]) << "the mean of the one attempt that has it";
    EXPECT_EQ(area[4], "n/a");
    const std::string copied = copyAllRows(t);
    EXPECT_EQ(copied.substr(0, copied.find("\r\n")), "samples 1500 2 751.00 1059.25 ");

    // In the spreadsheet the numbers, negative ones too, are numbers and "n/a" is text.
    const std::string xml = buildTableDocument(t, ExportHeading{"Clinical", 70, 0, 0});
    const auto& meanY = t.rows[static_cast<size_t>(ClinicalMeasure::MeanY)];
    ASSERT_EQ(meanY[1].front(), '-');
    EXPECT_NE(xml.find("<ss:Data ss:Type=\"Number\">" + meanY[1] + "</ss:Data>"),
              std::string::npos);
    EXPECT_NE(xml.find("<ss:Data ss:Type=\"String\">n/a</ss:Data>"), std::string::npos);
    EXPECT_NE(xml.find("<ss:Data ss:Type=\"String\">95 % ellipse area (mm2)</ss:Data>"),
              std::string::npos);
    EXPECT_STREQ(cellType(CellKind::SignedNumberIfNumeric, "-"), "String");
    EXPECT_STREQ(cellType(CellKind::NumberIfNumeric, "-1.5"), "String")
        << "the fixed tables keep theirs";
}

}  // namespace
}  // namespace kenvo
