#pragma once

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "clinical/prediction_ellipse.h"
#include "graphs/surface.h"

namespace kenvo {

// The one-page clinical report, laid out on A4 paper (190 x 277 mm inside 10 mm margins) in
// the printed pages' units: 0.1 mm, y upward from the top left of the paintable area. What the
// page shows is worked out beforehand (numbers formatted, bands decided); this only places it,
// so the printer, the PDF writer, the command line and the tests draw the same page.

inline constexpr int32_t ReportPageWidth = 1900;
inline constexpr int32_t ReportPageHeight = 2770;

// Where a value lies against the reference group's P5-P95 range.
enum class ReportBand { None, Within, Below, Above };

// "within range", "below range", "above range"; empty for None.
const char* reportBandWords(ReportBand band);

// One measure in a condition's table.
struct ReportMeasureLine {
    std::string label;      // "95 % ellipse area"
    std::string value;      // formatted, or "n/a"
    std::string unit;       // "mm²"
    std::string reference;  // "46 – 612", empty without reference values
    ReportBand band = ReportBand::None;
};

// One condition (or, for a stance data set without conditions, all its attempts).
struct ReportConditionPanel {
    std::string title;   // "Eyes open, firm surface"
    std::string trials;  // "3 trials · picture: trial 2 (median area)"
    // The pictured trial's COP in mm as analysed, and its 95 % ellipse.
    std::vector<double> x, y;
    std::optional<PredictionEllipse> ellipse;
    std::vector<ReportMeasureLine> lines;
    std::string verdict;  // the comparison in plain words
};

struct ClinicalReportContent {
    std::string clinicName;
    RasterImage logo;   // empty: no logo
    std::string title;  // "Balance assessment – sensory test"
    std::vector<std::pair<std::string, std::string>> patient;  // label, value
    std::vector<ReportConditionPanel> conditions;              // up to four
    std::string quotientsTitle;
    std::vector<std::pair<std::string, std::string>> quotients;  // label, value
    std::vector<std::string> notes;                              // footnotes, one paragraph each
    std::string source;   // the reference values' attribution
    std::string program;  // "KenvoPlat 1.2.3"
    int page = 1;
    int pages = 1;
};

// Draws the page on a printing surface.
void drawClinicalReport(Surface& surface, const ClinicalReportContent& content);

// The colours of the bands; each band is also written out in words, so the page reads the same
// in black and white.
Rgb reportBandColour(ReportBand band);

}  // namespace kenvo
