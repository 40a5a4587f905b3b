#include "analysis/spreadsheet_xml.h"

#include <algorithm>
#include <ctime>

#include "analysis/half_wave.h"
#include "analysis/sway_parameters.h"
#include "analysis/text_format.h"

namespace kenvo {

namespace {

constexpr const char* HeadCommon =
    "<?xml version=\"1.0\"?>\n"
    "<ss:Workbook xmlns:ss=\"urn:schemas-microsoft-com:office:spreadsheet\">\n"
    "<ss:Styles>\n"
    "  <ss:Style ss:ID=\"1\">\n"
    "    <ss:Font ss:Bold=\"1\"/>\n"
    "  </ss:Style>\n"
    "  <ss:Style ss:ID=\"2\">\n"
    "    <ss:Font ss:Bold=\"1\"/>\n"
    "    <ss:Interior ss:Color=\"#FFFF00\" ss:Pattern=\"Solid\"/>\n"
    "  </ss:Style>\n";

constexpr const char* HeadEnd =
    "</ss:Styles>\n"
    "<ss:Worksheet ss:Name=\"Sheet1\">\n";

constexpr const char* BatchStyles =
    "  <ss:Style ss:ID=\"3\">\n"
    "    <ss:Font ss:Bold=\"1\"/>\n"
    "    <ss:Interior ss:Color=\"#00CC00\" ss:Pattern=\"Solid\"/>\n"
    "  </ss:Style>\n"
    "  <ss:Style ss:ID=\"4\">\n"
    "    <ss:Font ss:Bold=\"1\"/>\n"
    "    <ss:Interior ss:Color=\"#0000CC\" ss:Pattern=\"Solid\"/>\n"
    "  </ss:Style>\n";

bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f'; }

void tableStart(std::string& out, const std::vector<int32_t>& widths) {
    out += "  <ss:Table>\n";
    for (int32_t w : widths) out += formatText("      <ss:Column ss:Width=\"%d\"/>\n", w);
}

void titleRow(std::string& out, std::string_view text) {
    out += "    <ss:Row ss:StyleID=\"1\"><ss:Cell><ss:Data ss:Type=\"String\">";
    out += escapeXml(text);
    out += " </ss:Data></ss:Cell></ss:Row>\n";
}

// The r-th line (0-based) of a title whose lines are separated by line feeds.
std::string_view titleLine(std::string_view title, int line) {
    for (int i = 0; i < line; ++i) {
        const auto nl = title.find('\n');
        if (nl == std::string_view::npos) return {};
        title.remove_prefix(nl + 1);
    }
    return title.substr(0, title.find('\n'));
}

void headerCell(std::string& out, int32_t style, std::string_view text) {
    out += formatText("      <ss:Cell ss:StyleID=\"%d\"><ss:Data ss:Type=\"String\"> ", style);
    out += escapeXml(text);
    out += " </ss:Data></ss:Cell>\n";
}

void dataRow(std::string& out, const std::vector<std::string>& cells, const std::vector<CellKind>& kinds) {
    out += "  <ss:Row>\n";
    for (std::size_t c = 0; c < kinds.size(); ++c) {
        const std::string text = prepareCellText(c < cells.size() ? cells[c] : std::string());
        out += "      <ss:Cell><ss:Data ss:Type=\"";
        out += cellType(kinds[c], text);
        out += "\">";
        out += escapeXml(text);
        out += "</ss:Data></ss:Cell>\n";
    }
    out += "  </ss:Row>\n";
}

struct SingleLayout {
    std::vector<int32_t> widths;
    std::vector<std::string_view> titles;
    std::vector<CellKind> kinds;
};

SingleLayout singleLayout(const TableContent& content) {
    const SummaryTable table = content.table;
    const TableDescriptor& d = tableDescriptor(table);
    SingleLayout l;
    if (!content.columns.empty()) {
        for (const TableColumn& c : content.columns) {
            l.widths.push_back(c.screenWidth);
            l.titles.push_back(c.title);
            l.kinds.push_back(c.numeric ? CellKind::SignedNumberIfNumeric : CellKind::String);
        }
        return l;
    }
    if (table == SummaryTable::DrivingSummary) return {{300}, {" "}, {CellKind::String}};
    CellKind kind = CellKind::Number;
    if (table == SummaryTable::TargetSummary) kind = CellKind::NumberIfNumeric;
    for (int32_t c = 0; c < d.count; ++c) {
        l.widths.push_back(d.screenWidths[static_cast<std::size_t>(c)]);
        l.titles.push_back(d.screenTitles[static_cast<std::size_t>(c)]);
        l.kinds.push_back(kind);
    }
    if (table == SummaryTable::IntervalSummary) l.kinds[0] = CellKind::NumberIfNumeric;
    return l;
}

struct BatchColumn {
    std::string_view group;  // header row 1
    std::string_view title;  // two lines
    int32_t style;
    int32_t width;
    CellKind kind;
};

constexpr CellKind S = CellKind::String, N = CellKind::Number;
constexpr BatchColumn BatchColumns[23] = {
    {"", "\n", 1, 100, S},
    {"Summary", "Attempt\n#", 2, 60, N},
    {"", "Length X\n(mm)", 2, 60, N},
    {"", "Length Y\n(mm)", 2, 60, N},
    {"", "DX/DY\n(1)", 2, 60, N},
    {"", "Velocity-mean\n(mm/s)", 2, 80, N},
    {"", "\n", 1, 50, S},
    {"Driving summary", "Average distance\n", 3, 120, N},
    {"", "SD\n", 3, 70, N},
    {"", "Average distance squared\n", 3, 120, N},
    {"", "SD\n", 3, 70, N},
    {"", "Average vzdialenosti plus\n", 3, 120, N},
    {"", "Average vzdialenosti minus\n", 3, 120, N},
    {"", "Average drahy plus\n", 3, 120, N},
    {"", "Average drahy minus\n", 3, 120, N},
    {"", "Pocet prechodov\n", 3, 120, N},
    {"", "Frequency prechodov\n", 3, 120, N},
    {"", "\n", 1, 50, S},
    {"Frequency analysis", "Attempt\n(#)", 4, 70, N},
    {"", "Average X\n(mm)", 4, 70, N},
    {"", "SD X\n(mm)", 4, 70, N},
    {"", "Average Y\n(mm)", 4, 70, N},
    {"", "SD Y\n(mm)", 4, 70, N},
};

std::string f71(float v) { return formatText("%7.1f", static_cast<double>(v)); }
std::string f51(float v) { return formatText("%5.1f", static_cast<double>(v)); }

}  // namespace

std::string prepareCellText(std::string_view text) {
    while (!text.empty() && isBlank(text.front())) text.remove_prefix(1);
    while (!text.empty() && isBlank(text.back())) text.remove_suffix(1);
    std::string out(text);
    for (char& c : out)
        if (c == ',') c = '.';
    return out;
}

const char* cellType(CellKind kind, std::string_view prepared) {
    if (prepared.empty() || kind == CellKind::String) return "String";
    if (kind == CellKind::Number) return "Number";
    if (kind == CellKind::SignedNumberIfNumeric && prepared.front() == '-') {
        prepared.remove_prefix(1);
        if (prepared.empty()) return "String";
    }
    for (char c : prepared)
        if (!((c >= '0' && c <= '9') || c == '.')) return "String";
    return "Number";
}

std::string escapeXml(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        switch (c) {
            case '&': out += "&amp;"; break;
            case '<': out += "&lt;"; break;
            case '>': out += "&gt;"; break;
            case '"': out += "&quot;"; break;
            default: out += c;
        }
    }
    return out;
}

std::string spreadsheetHeadSingle() { return std::string(HeadCommon) + HeadEnd; }
std::string spreadsheetHeadBatch() { return std::string(HeadCommon) + BatchStyles + HeadEnd; }
std::string spreadsheetTail() { return "</ss:Worksheet>\n</ss:Workbook>\n"; }

namespace {
std::string localStartTime(int32_t startTime, const char* format) {
    // The file keeps the low 32 bits of the time; read unsigned, they stay right until 2106.
    const time_t t = static_cast<time_t>(static_cast<uint32_t>(startTime));
    tm local{};
    localtime_r(&t, &local);
    char text[32];
    std::strftime(text, sizeof text, format, &local);
    return text;
}
}  // namespace

std::string exportDate(int32_t startTime) { return localStartTime(startTime, "%d.%m.%Y"); }
std::string exportTime(int32_t startTime) { return localStartTime(startTime, "%H:%M:%S"); }

std::string buildTableDocument(const TableContent& table, const ExportHeading& heading) {
    const SingleLayout layout = singleLayout(table);
    std::string body;
    tableStart(body, layout.widths);
    titleRow(body, "Name: " + heading.subjectName + "\r\n");
    titleRow(body, formatText("Weight: %d\r\n", heading.subjectWeight));
    titleRow(body, "Date: " + exportDate(heading.startTime) + "    Time: " + exportTime(heading.startTime) + "\r\n");
    if (table.table == SummaryTable::Attempt || table.table == SummaryTable::DrivingSummary)
        titleRow(body, formatText("Repetition No: %d\r\n", heading.selectedAttempt + 1));
    titleRow(body, " ");
    for (int line = 0; line < 2; ++line) {
        body += "  <ss:Row>\n";
        for (std::string_view title : layout.titles) headerCell(body, 2, titleLine(title, line));
        body += "    </ss:Row>\n";
    }
    for (const auto& row : table.rows) dataRow(body, row, layout.kinds);
    body += "    </ss:Table>\n";
    return spreadsheetHeadSingle() + body + spreadsheetTail();
}

void BatchDocument::addDataSet(const MeasurementStore& store, const std::string& subjectName) {
    const int32_t attempts = std::clamp(store.attemptCount, 0, MaxAttempts);
    std::vector<CellKind> kinds;
    for (const BatchColumn& c : BatchColumns) kinds.push_back(c.kind);
    for (int32_t t = 0; t < attempts; ++t) {
        std::vector<std::string> cells(23);
        if (t == 0) cells[0] = subjectName.empty() ? "no name" : subjectName;
        const IntervalParameters p = computeWholeAttempt(store, t);
        cells[1] = formatText("%d", t + 1);
        cells[2] = f71(p.lengthX);
        cells[3] = f71(p.lengthY);
        cells[4] = f71(dxDyRatio(p.lengthX, p.lengthY));
        cells[5] = f71(p.meanVelocity);  // under its title; it used to be left empty
        cells[6] = f71(p.meanDistance);
        const DeviationParameters d = computeDeviationParameters(store, t);
        cells[7] = f71(d.meanDistance);
        cells[8] = f51(d.sdDistance);
        cells[9] = f71(d.meanDistanceSquared);
        cells[10] = f51(d.sdDistanceSquared);
        cells[11] = f71(d.plusDistance);
        cells[12] = f71(d.minusDistance);
        cells[13] = f71(d.plusPath);
        cells[14] = f71(d.minusPath);
        cells[15] = formatText("%10d", d.crossings);
        if (d.hasPathPerCrossing) cells[16] = f71(d.pathPerCrossing);
        const HalfWaveParameters h = computeHalfWaveParameters(store, t, filterFrequency_);
        cells[18] = formatText("%d", t + 1);
        cells[19] = f71(h.x.meanAmplitude);
        cells[20] = f71(h.x.sdAmplitude);
        cells[21] = f71(h.y.meanAmplitude);
        cells[22] = f71(h.y.sdAmplitude);
        dataRow(dataRows_, cells, kinds);
        ++rows_;
    }
}

std::string BatchDocument::document() const {
    std::vector<int32_t> widths;
    for (const BatchColumn& c : BatchColumns) widths.push_back(c.width);
    std::string body;
    tableStart(body, widths);
    body += "  <ss:Row>\n";
    for (const BatchColumn& c : BatchColumns) headerCell(body, 1, c.group);
    body += "    </ss:Row>\n";
    for (int line = 0; line < 2; ++line) {
        body += "  <ss:Row>\n";
        for (const BatchColumn& c : BatchColumns) headerCell(body, c.style, titleLine(c.title, line));
        body += "    </ss:Row>\n";
    }
    titleRow(body, "NAME:");
    body += dataRows_;
    body += "    </ss:Table>\n";
    return spreadsheetHeadBatch() + body + spreadsheetTail();
}

}  // namespace kenvo
