#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "graphs/recording_surface.h"
#include "reports/clinical_report.h"

namespace kenvo {
namespace {

ReportConditionPanel panelOf(const std::string& title, double amplitude, ReportBand velocityBand) {
    ReportConditionPanel p;
    p.title = title;
    p.trials = "3 trials";
    for (int i = 0; i < 3000; ++i) {
        const double t = i / 100.0;
        p.x.push_back(amplitude * 0.6 * std::sin(0.3 * t));
        p.y.push_back(amplitude * std::sin(0.21 * t + 1.0));
    }
    p.ellipse = PredictionEllipse{0.0, 0.0, amplitude * 1.5, amplitude, 90.0, 0.0};
    p.lines = {{"95 % ellipse area", "123.4", "mm²", "46.2 – 612.0", ReportBand::Within},
               {"Velocity", "8.12", "mm/s", "4.9 – 15.2", velocityBand},
               {"RMS AP / ML", "3.1 / 2.2", "mm", "", ReportBand::None}};
    p.verdict = "Within the range of the reference group";
    return p;
}

ClinicalReportContent fourConditions() {
    ClinicalReportContent c;
    c.clinicName = "Balance Clinic";
    c.logo = RasterImage{300, 100, std::vector<uint8_t>(300 * 100 * 4, 128)};
    c.title = "Balance assessment";
    c.patient = {{"Name", "Jana Nováková"}, {"Patient code", "P-1"}, {"Birth date", "1958-03-14"}};
    c.conditions = {panelOf("Eyes open, firm surface", 3, ReportBand::Within),
                    panelOf("Eyes closed, firm surface", 4, ReportBand::Below),
                    panelOf("Eyes open, on foam", 10, ReportBand::Within),
                    panelOf("Eyes closed, on foam", 14, ReportBand::Above)};
    c.quotientsTitle = "Quotients";
    c.quotients = {{"Romberg, area, firm", "1.25"}, {"Romberg, area, foam", "1.61"}};
    c.notes = {"First line of a note\nsecond line"};
    c.source = "Reference values: a source";
    c.program = "KenvoPlat 9.9";
    return c;
}

TEST(ClinicalReport, EverythingLiesOnThePageAndEveryPanelIsDrawn) {
    RecordingSurface s(true);
    drawClinicalReport(s, fourConditions());
    for (const auto& op : s.ops()) {
        const Rect& r = op.rect;
        for (int32_t x : {r.left, r.right}) {
            EXPECT_GE(x, 0) << op.text;
            EXPECT_LE(x, ReportPageWidth) << op.text;
        }
        for (int32_t y : {r.top, r.bottom}) {
            EXPECT_LE(y, 0) << op.text;
            EXPECT_GE(y, -ReportPageHeight) << op.text;
        }
    }
    for (const char* title : {"Eyes open, firm surface", "Eyes closed, firm surface",
                              "Eyes open, on foam", "Eyes closed, on foam"})
        EXPECT_NE(s.findText(title), nullptr) << title;
    // Panels follow one another down the page without overlapping.
    int32_t previous = 1;
    for (const char* title : {"Eyes open, firm surface", "Eyes closed, firm surface",
                              "Eyes open, on foam", "Eyes closed, on foam"}) {
        const int32_t top = s.textOp(title).rect.top;
        EXPECT_LT(top, previous - 400) << title;
        previous = top;
    }
    EXPECT_NE(s.findText("Page 1 of 1"), nullptr);
    EXPECT_NE(s.findText("Reference values: a source"), nullptr);
}

TEST(ClinicalReport, BandsAreWrittenInWordsAndInColour) {
    RecordingSurface s(true);
    drawClinicalReport(s, fourConditions());
    int within = 0, below = 0, above = 0;
    for (const auto* op : s.texts()) {
        if (op->text == "within range") {
            ++within;
            EXPECT_EQ(op->colour, reportBandColour(ReportBand::Within));
        } else if (op->text == "below range") {
            ++below;
            EXPECT_EQ(op->colour, reportBandColour(ReportBand::Below));
            EXPECT_EQ(op->font, ViewFont::PrintSmallBold);
        } else if (op->text == "above range") {
            ++above;
            EXPECT_EQ(op->colour, reportBandColour(ReportBand::Above));
        }
    }
    EXPECT_EQ(within, 6);  // area in all four panels, velocity in two
    EXPECT_EQ(below, 1);
    EXPECT_EQ(above, 1);
    // A measure without reference values says so with a dash and no band.
    EXPECT_NE(s.findText("–"), nullptr);
    // The body text is black again after a coloured band.
    EXPECT_EQ(s.textOp("Page 1 of 1").colour, colour::Black);
}

TEST(ClinicalReport, EveryPictureHasTheSameScaleSoMoreSwayLooksLarger) {
    RecordingSurface s(true);
    drawClinicalReport(s, fourConditions());
    int scales = 0;
    for (const auto* op : s.texts())
        if (op->text.rfind("scale ±", 0) == 0) {
            // The largest ellipse has a semi-major axis of 21 mm.
            EXPECT_EQ(op->text, "scale ±25 mm");
            ++scales;
        }
    EXPECT_EQ(scales, 4);
}

TEST(ClinicalReport, TheLogoKeepsItsProportionsAndAPageWithoutOneHasNone) {
    RecordingSurface s(true);
    drawClinicalReport(s, fourConditions());
    const auto images = s.of(RecordingSurface::Kind::Image);
    ASSERT_EQ(images.size(), 1u);
    const Rect& box = images[0]->rect;
    EXPECT_NEAR(box.right - box.left, 3 * (box.top - box.bottom), 3);  // 300 x 100 pixels
    EXPECT_LE(box.right - box.left, 400);
    EXPECT_LE(box.top - box.bottom, 200);
    // The clinic's name starts right of the logo.
    EXPECT_GT(s.textOp("Balance Clinic").rect.left, box.right);

    ClinicalReportContent plain = fourConditions();
    plain.logo = {};
    plain.conditions.resize(1);
    RecordingSurface t(true);
    drawClinicalReport(t, plain);
    EXPECT_TRUE(t.of(RecordingSurface::Kind::Image).empty());
    EXPECT_EQ(t.textOp("Balance Clinic").rect.left, 0);
}

TEST(ClinicalReport, ALongVerdictIsBrokenIntoLinesThatFitThePanel) {
    ClinicalReportContent c = fourConditions();
    c.conditions[0].verdict =
        "Outside the range of the reference group (95 % ellipse area below, mean velocity below, "
        "mean frequency below): Santos & Duarte 2016, age group Old, n = 72";
    RecordingSurface s(true);
    drawClinicalReport(s, c);
    const RecordingSurface::Op* verdict = nullptr;
    for (const auto* op : s.texts())
        if (op->text.rfind("Outside the range", 0) == 0) verdict = op;
    ASSERT_NE(verdict, nullptr);
    EXPECT_TRUE(verdict->multiline);
    const std::string& text = verdict->text;
    ASSERT_NE(text.find('\n'), std::string::npos);
    std::size_t start = 0;
    while (start <= text.size()) {
        const std::size_t end = std::min(text.find('\n', start), text.size());
        EXPECT_LE(end - start, 118u) << text.substr(start, end - start);
        start = end + 1;
    }
    // Nothing of it is lost in the breaking.
    std::string joined = text;
    std::replace(joined.begin(), joined.end(), '\n', ' ');
    EXPECT_EQ(joined, c.conditions[0].verdict);
}

}  // namespace
}  // namespace kenvo
