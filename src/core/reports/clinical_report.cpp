#include "reports/clinical_report.h"

#include <algorithm>
#include <cmath>

namespace kenvo {

namespace {

constexpr double Pi = 3.14159265358979323846;

// The page's bands, top down (y is negative below the top edge).
constexpr int32_t HeaderBottom = -230;
constexpr int32_t PatientTop = -260;
constexpr int32_t PatientRow = 48;
constexpr int32_t PanelHeight = 430;
constexpr int32_t PanelGap = 20;
constexpr int32_t LineHeight = 46;
constexpr int32_t FooterTop = -2660;

// The columns of a condition's table.
constexpr int32_t TableLeft = 420;
constexpr int32_t ValueRight = 1120;
constexpr int32_t UnitLeft = 1140;
constexpr int32_t ReferenceLeft = 1290;
constexpr int32_t BandLeft = 1630;
constexpr int32_t PanelRight = ReportPageWidth;

constexpr Rgb TraceColour{0, 60, 160};
constexpr Rgb EllipseColour{0, 160, 0};
constexpr Rgb RuleColour{120, 120, 120};
constexpr Rgb GridColour{210, 210, 210};

void textAt(Surface& s, ViewFont font, const Rect& r, const std::string& text,
            TextAlign align = TextAlign::Left) {
    s.selectFont(font);
    s.text(r, text, align);
}

void rule(Surface& s, int32_t y, int32_t left = 0, int32_t right = ReportPageWidth) {
    s.selectPen(Pen{RuleColour, 2});
    s.moveTo(left, y);
    s.lineTo(right, y);
}

// The point a panel's picture is centred on: the ellipse's centre, else the mean point.
std::pair<double, double> pictureCentre(const ReportConditionPanel& panel) {
    if (panel.ellipse) return {panel.ellipse->centreX, panel.ellipse->centreY};
    const std::size_t n = std::min(panel.x.size(), panel.y.size());
    double mx = 0.0, my = 0.0;
    for (std::size_t i = 0; i < n; ++i) mx += panel.x[i], my += panel.y[i];
    return n == 0 ? std::pair{0.0, 0.0}
                  : std::pair{mx / static_cast<double>(n), my / static_cast<double>(n)};
}

// The half-width in mm of the squares the traces are pictured in, the same for every panel so
// that more sway looks larger: the farthest sample or ellipse point from a picture's centre,
// rounded up to a round number of millimetres.
double pictureHalfSpan(const std::vector<ReportConditionPanel>& panels) {
    double far = 0.0;
    for (const ReportConditionPanel& panel : panels) {
        const auto [cx, cy] = pictureCentre(panel);
        for (std::size_t i = 0; i < panel.x.size() && i < panel.y.size(); ++i)
            far = std::max({far, std::abs(panel.x[i] - cx), std::abs(panel.y[i] - cy)});
        if (panel.ellipse) far = std::max(far, panel.ellipse->major);
    }
    far = std::max(far * 1.05, 1.0);
    const double decade = std::pow(10.0, std::floor(std::log10(far)));
    for (const double step : {1.0, 1.5, 2.0, 2.5, 3.0, 4.0, 5.0, 6.0, 8.0, 10.0})
        if (far <= step * decade) return step * decade;
    return 10.0 * decade;
}

std::string millimetres(double v) {
    const long whole = std::lround(v);
    if (std::abs(v - static_cast<double>(whole)) < 1e-9) return std::to_string(whole) + " mm";
    std::string s = std::to_string(v);
    s.erase(s.find_last_not_of('0') + 1);
    if (!s.empty() && s.back() == '.') s.pop_back();
    return s + " mm";
}

// The COP picture: a square box around the centre, the trace, the ellipse, the scale.
void drawPicture(Surface& s, const ReportConditionPanel& panel, const Rect& box, double half) {
    s.selectPen(Pen{RuleColour, 2});
    s.selectBrush(Brush{colour::White});
    s.rectangle(box);
    const std::pair<double, double> centre = pictureCentre(panel);
    const double mx = centre.first;
    const double my = centre.second;
    const int32_t midX = (box.left + box.right) / 2;
    const int32_t midY = (box.top + box.bottom) / 2;
    const double unit = (box.right - box.left) / 2.0 / half;  // page units per mm
    auto px = [&](double x) { return midX + static_cast<int32_t>(std::lround((x - mx) * unit)); };
    auto py = [&](double y) { return midY + static_cast<int32_t>(std::lround((y - my) * unit)); };

    // Cross hairs through the mean point.
    s.selectPen(Pen{GridColour, 1});
    s.moveTo(box.left, midY);
    s.lineTo(box.right, midY);
    s.moveTo(midX, box.top);
    s.lineTo(midX, box.bottom);

    if (!panel.x.empty()) {
        s.selectPen(Pen{TraceColour, 1});
        s.moveTo(px(panel.x[0]), py(panel.y[0]));
        for (std::size_t i = 1; i < panel.x.size() && i < panel.y.size(); ++i)
            s.lineTo(px(panel.x[i]), py(panel.y[i]));
    }
    if (panel.ellipse) {
        const PredictionEllipse& e = *panel.ellipse;
        const double angle = e.angleDeg.value_or(0.0) * Pi / 180.0;
        s.selectPen(Pen{EllipseColour, 4});
        constexpr int Points = 72;
        for (int k = 0; k <= Points; ++k) {
            const double t = 2.0 * Pi * k / Points;
            const double ex = e.major * std::cos(t), ey = e.minor * std::sin(t);
            const double x = e.centreX + ex * std::cos(angle) - ey * std::sin(angle);
            const double y = e.centreY + ex * std::sin(angle) + ey * std::cos(angle);
            if (k == 0)
                s.moveTo(px(x), py(y));
            else
                s.lineTo(px(x), py(y));
        }
    }
    // The scale: the box spans the half-span to each side of its centre.
    textAt(s, ViewFont::PrintSmall,
           Rect{box.left - 20, box.bottom - 5, box.right + 20, box.bottom - 45},
           "scale ±" + millimetres(half), TextAlign::Centre);
}

// Breaks a paragraph into lines of at most `width` characters at spaces (a word longer than
// that keeps its own line), for the fixed columns of the page.
std::string wrapped(const std::string& text, std::size_t width) {
    std::string out, line, word;
    auto flushWord = [&] {
        if (word.empty()) return;
        if (!line.empty() && line.size() + 1 + word.size() > width) {
            out += line + "\n";
            line.clear();
        }
        line += (line.empty() ? "" : " ") + word;
        word.clear();
    };
    for (const char ch : text) {
        if (ch == ' ')
            flushWord();
        else if (ch == '\n') {
            flushWord();
            out += line + "\n";
            line.clear();
        } else
            word += ch;
    }
    flushWord();
    return out + line;
}

// Characters of the small print font that fit the table's width, counted generously.
constexpr std::size_t VerdictWidth = 118;

void drawBand(Surface& s, ReportBand band, const Rect& cell) {
    if (band == ReportBand::None) return;
    const int32_t mid = (cell.top + cell.bottom) / 2;
    s.selectPen(Pen{reportBandColour(band), 1});
    s.selectBrush(Brush{reportBandColour(band)});
    s.rectangle(Rect{cell.left, mid + 10, cell.left + 20, mid - 10});
    s.setTextColour(reportBandColour(band));
    textAt(s, band == ReportBand::Within ? ViewFont::PrintSmall : ViewFont::PrintSmallBold,
           Rect{cell.left + 32, cell.top, cell.right, cell.bottom}, reportBandWords(band));
    s.setTextColour(colour::Black);
}

void drawPanel(Surface& s, const ReportConditionPanel& panel, int32_t top, double half) {
    const int32_t bottom = top - PanelHeight;
    s.selectPen(Pen{RuleColour, 2});
    s.selectBrush(Brush{colour::White});
    s.rectangle(Rect{0, top, PanelRight, bottom});
    textAt(s, ViewFont::PrintBold, Rect{20, top - 8, 1200, top - 58}, panel.title);
    textAt(s, ViewFont::PrintSmall, Rect{1000, top - 8, PanelRight - 20, top - 58}, panel.trials,
           TextAlign::Right);

    drawPicture(s, panel, Rect{50, top - 70, 350, top - 370}, half);

    int32_t y = top - 70;
    if (panel.lines.empty()) {
        s.selectFont(ViewFont::PrintSmall);
        s.multilineText(Rect{TableLeft, y, PanelRight - 20, y - LineHeight}, panel.verdict,
                        TextAlign::Left);
        return;
    }
    const auto header = [&](int32_t left, int32_t right, const char* text, TextAlign align) {
        textAt(s, ViewFont::PrintSmallBold, Rect{left, y, right, y - LineHeight}, text, align);
    };
    header(TableLeft, ValueRight - 240, "Measure", TextAlign::Left);
    header(ValueRight - 240, ValueRight, "Value", TextAlign::Right);
    header(UnitLeft, ReferenceLeft, "Unit", TextAlign::Left);
    header(ReferenceLeft, BandLeft - 20, "Reference P5–P95", TextAlign::Centre);
    header(BandLeft, PanelRight, "Result", TextAlign::Left);
    y -= LineHeight;
    rule(s, y, TableLeft, PanelRight - 20);
    for (const ReportMeasureLine& line : panel.lines) {
        const bool outside = line.band == ReportBand::Below || line.band == ReportBand::Above;
        textAt(s, ViewFont::PrintSmall, Rect{TableLeft, y, ValueRight - 240, y - LineHeight},
               line.label);
        textAt(s, outside ? ViewFont::PrintSmallBold : ViewFont::PrintSmall,
               Rect{ValueRight - 240, y, ValueRight, y - LineHeight}, line.value, TextAlign::Right);
        textAt(s, ViewFont::PrintSmall, Rect{UnitLeft, y, ReferenceLeft, y - LineHeight},
               line.unit);
        textAt(s, ViewFont::PrintSmall, Rect{ReferenceLeft, y, BandLeft - 20, y - LineHeight},
               line.reference.empty() ? std::string("–") : line.reference, TextAlign::Centre);
        drawBand(s, line.band, Rect{BandLeft, y, PanelRight - 10, y - LineHeight});
        y -= LineHeight;
    }
    s.selectFont(ViewFont::PrintSmall);
    s.multilineText(Rect{TableLeft, y - 4, PanelRight - 20, bottom + 4},
                    wrapped(panel.verdict, VerdictWidth), TextAlign::Left);
}

}  // namespace

const char* reportBandWords(ReportBand band) {
    switch (band) {
        case ReportBand::Within:
            return "within range";
        case ReportBand::Below:
            return "below range";
        case ReportBand::Above:
            return "above range";
        case ReportBand::None:
            break;
    }
    return "";
}

Rgb reportBandColour(ReportBand band) {
    switch (band) {
        case ReportBand::Within:
            return Rgb{0, 130, 0};
        case ReportBand::Below:
            return Rgb{0, 90, 200};
        case ReportBand::Above:
            return Rgb{200, 0, 0};
        case ReportBand::None:
            break;
    }
    return colour::Black;
}

void drawClinicalReport(Surface& s, const ClinicalReportContent& c) {
    SurfaceState keep(s);
    s.setTextColour(colour::Black);

    // Header: the clinic's logo and name, the report's title.
    int32_t nameLeft = 0;
    if (!c.logo.empty()) {
        // At most 40 x 20 mm, in proportion.
        const double scale = std::min(400.0 / c.logo.width, 200.0 / c.logo.height);
        const auto w = static_cast<int32_t>(std::lround(c.logo.width * scale));
        const auto h = static_cast<int32_t>(std::lround(c.logo.height * scale));
        s.image(Rect{0, 0, w, -h}, c.logo);
        nameLeft = w + 40;
    }
    textAt(s, ViewFont::PrintTitle, Rect{nameLeft, 0, ReportPageWidth, -80}, c.clinicName);
    textAt(s, ViewFont::PrintBold, Rect{nameLeft, -100, ReportPageWidth, -150}, c.title);
    rule(s, HeaderBottom);

    // The patient and the session, in two columns.
    const std::size_t rows = (c.patient.size() + 1) / 2;
    for (std::size_t i = 0; i < c.patient.size(); ++i) {
        const int32_t left = i < rows ? 0 : ReportPageWidth / 2;
        const int32_t top =
            PatientTop - static_cast<int32_t>(i % std::max<std::size_t>(rows, 1)) * PatientRow;
        textAt(s, ViewFont::PrintSmallBold, Rect{left, top, left + 300, top - PatientRow},
               c.patient[i].first);
        textAt(s, ViewFont::PrintSmall,
               Rect{left + 300, top, left + ReportPageWidth / 2 - 20, top - PatientRow},
               c.patient[i].second);
    }
    int32_t y = PatientTop - static_cast<int32_t>(rows) * PatientRow - 20;
    rule(s, y);
    y -= PanelGap;

    const double half = pictureHalfSpan(c.conditions);
    for (const ReportConditionPanel& panel : c.conditions) {
        drawPanel(s, panel, y, half);
        y -= PanelHeight + PanelGap;
    }

    if (!c.quotients.empty()) {
        textAt(s, ViewFont::PrintSmallBold, Rect{0, y, ReportPageWidth, y - LineHeight},
               c.quotientsTitle);
        y -= LineHeight;
        constexpr int32_t Columns = 3;
        constexpr int32_t Width = ReportPageWidth / Columns;
        for (std::size_t i = 0; i < c.quotients.size(); ++i) {
            const int32_t left = static_cast<int32_t>(i % Columns) * Width;
            const int32_t top = y - static_cast<int32_t>(i / Columns) * LineHeight;
            textAt(s, ViewFont::PrintSmall, Rect{left, top, left + Width - 160, top - LineHeight},
                   c.quotients[i].first);
            textAt(s, ViewFont::PrintSmallBold,
                   Rect{left + Width - 160, top, left + Width - 30, top - LineHeight},
                   c.quotients[i].second, TextAlign::Right);
        }
        y -= static_cast<int32_t>((c.quotients.size() + Columns - 1) / Columns) * LineHeight + 10;
    }

    s.selectFont(ViewFont::PrintSmall);
    for (const std::string& note : c.notes) {
        const int32_t lines = 1 + static_cast<int32_t>(std::count(note.begin(), note.end(), '\n'));
        s.multilineText(Rect{0, y, ReportPageWidth, y - lines * LineHeight}, note, TextAlign::Left);
        y -= lines * 29 + 12;
    }

    // The signature line sits just above the footer, wherever the content ended.
    const int32_t signature = FooterTop + 90;
    textAt(s, ViewFont::PrintSmall, Rect{0, signature + 50, 200, signature}, "Date:");
    rule(s, signature, 120, 700);
    textAt(s, ViewFont::PrintSmall, Rect{800, signature + 50, 1100, signature}, "Signature:");
    rule(s, signature, 980, ReportPageWidth);

    rule(s, FooterTop);
    textAt(s, ViewFont::PrintSmall, Rect{0, FooterTop - 5, ReportPageWidth, FooterTop - 50},
           c.source);
    textAt(s, ViewFont::PrintSmall, Rect{0, FooterTop - 55, 1200, FooterTop - 100}, c.program);
    textAt(s, ViewFont::PrintSmall, Rect{1200, FooterTop - 55, ReportPageWidth, FooterTop - 100},
           "Page " + std::to_string(c.page) + " of " + std::to_string(c.pages), TextAlign::Right);
}

}  // namespace kenvo
