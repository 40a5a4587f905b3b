#include "view_primitives.h"

#include <QHeaderView>
#include <fstream>
#include <sstream>

#include "ml_header_ctrl.h"
#include "sway_list.h"

namespace kenvo::test {
namespace {

const char* kindName(RecordingSurface::Kind kind) {
    using K = RecordingSurface::Kind;
    switch (kind) {
        case K::MoveTo:
            return "MoveTo";
        case K::LineTo:
            return "LineTo";
        case K::Rectangle:
            return "Rectangle";
        case K::Ellipse:
            return "Ellipse";
        case K::Pixel:
            return "Pixel";
        case K::Fill:
            return "Fill";
        case K::Text:
            return "Text";
        case K::Image:
            return "Image";
    }
    return "?";
}

std::string rgb(Rgb c) {
    return std::to_string(c.r) + "," + std::to_string(c.g) + "," + std::to_string(c.b);
}

// Quoted, with line breaks and quotes escaped so every primitive stays on one line.
std::string quoted(std::string_view text) {
    std::string out = "\"";
    for (const char c : text) {
        if (c == '\n')
            out += "\\n";
        else if (c == '\r')
            out += "\\r";
        else if (c == '"' || c == '\\')
            (out += '\\') += c;
        else
            out += c;
    }
    return out + "\"";
}

}  // namespace

std::string describeOp(const RecordingSurface::Op& op) {
    using K = RecordingSurface::Kind;
    std::ostringstream line;
    line << kindName(op.kind);
    if (op.kind == K::MoveTo || op.kind == K::LineTo || op.kind == K::Pixel)
        line << ' ' << op.rect.left << ' ' << op.rect.top;
    else
        line << ' ' << op.rect.left << ' ' << op.rect.top << ' ' << op.rect.right << ' '
             << op.rect.bottom;
    line << " c=" << rgb(op.colour);
    if (op.kind == K::Rectangle || op.kind == K::Ellipse) line << " b=" << rgb(op.fill);
    if (op.kind != K::Text && op.kind != K::Fill && op.kind != K::Pixel && op.kind != K::Image)
        line << " w=" << op.penWidth;
    if (op.kind == K::Text) {
        line << " font=" << int(op.font) << " align=" << int(op.align)
             << " ml=" << int(op.multiline);
        if (op.fontScale != 1.0) line << " fs=" << op.fontScale;
    }
    if (op.kind == K::Text || op.kind == K::Image) line << ' ' << quoted(op.text);
    return line.str();
}

std::vector<std::string> describeOps(const RecordingSurface& surface) {
    std::vector<std::string> lines;
    lines.reserve(surface.ops().size());
    for (const auto& op : surface.ops()) lines.push_back(describeOp(op));
    return lines;
}

std::vector<std::string> describeList(const SwayList& list) {
    std::vector<std::string> lines;
    const QRect g = list.geometry();
    if (g.isEmpty() || !list.hasTable()) return lines;
    lines.push_back("List " + std::to_string(g.left()) + ' ' + std::to_string(g.top()) + ' ' +
                    std::to_string(g.width()) + ' ' + std::to_string(g.height()) +
                    " header=" + std::to_string(list.horizontalHeader()->height()) +
                    " row=" + std::to_string(list.verticalHeader()->defaultSectionSize()));
    for (int c = 0; c < list.columnCount(); ++c) {
        const auto* item = list.horizontalHeaderItem(c);
        lines.push_back("Column " + std::to_string(c) + ' ' + std::to_string(list.columnWidth(c)) +
                        ' ' + quoted(item ? item->text().toStdString() : std::string()));
    }
    for (int r = 0; r < list.rowCount(); ++r) {
        std::string row = "Row " + std::to_string(r);
        for (int c = 0; c < list.columnCount(); ++c) {
            const auto* item = list.item(r, c);
            row += ' ' + quoted(item ? item->text().toStdString() : std::string());
        }
        lines.push_back(row);
    }
    return lines;
}

ParsedLine parseLine(const std::string& line) {
    ParsedLine parsed;
    const auto quote = line.find('"');
    std::istringstream in(line.substr(0, quote));
    if (quote != std::string::npos) parsed.text = line.substr(quote);
    in >> parsed.kind;
    for (std::string word; in >> word;) {
        const auto equals = word.find('=');
        if (equals == std::string::npos)
            parsed.numbers.push_back(std::stol(word));
        else
            parsed.keys[word.substr(0, equals)] = word.substr(equals + 1);
    }
    return parsed;
}

std::vector<GoldenSection> readGolden(const std::string& path) {
    std::vector<GoldenSection> sections;
    std::ifstream in(path);
    for (std::string line; std::getline(in, line);) {
        if (line.rfind("== ", 0) == 0)
            sections.push_back({line.substr(3), {}});
        else if (!sections.empty() && !line.empty())
            sections.back().lines.push_back(line);
    }
    return sections;
}

std::string writeGolden(const std::vector<GoldenSection>& sections) {
    std::string out;
    for (const auto& section : sections) {
        out += "== " + section.name + '\n';
        for (const auto& line : section.lines) out += line + '\n';
    }
    return out;
}

}  // namespace kenvo::test
