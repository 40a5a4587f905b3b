#pragma once

#include <string>
#include <vector>

#include "graphs/display_state.h"
#include "graphs/recording_surface.h"

namespace kenvo::testing_support {

// A straight piece of a recorded drawing: a move followed by a line, or two lines in a row.
struct Segment {
    Point from;
    Point to;
    Rgb colour;
};

inline std::vector<Segment> segments(const RecordingSurface& s) {
    std::vector<Segment> out;
    Point at{};
    for (const auto& op : s.ops()) {
        const Point p{op.rect.left, op.rect.top};
        if (op.kind == RecordingSurface::Kind::LineTo) out.push_back({at, p, op.colour});
        if (op.kind == RecordingSurface::Kind::MoveTo || op.kind == RecordingSurface::Kind::LineTo)
            at = p;
    }
    return out;
}

inline std::vector<Segment> segmentsIn(const RecordingSurface& s, Rgb colour) {
    std::vector<Segment> out;
    for (const Segment& seg : segments(s))
        if (seg.colour == colour) out.push_back(seg);
    return out;
}

// The connected runs of a drawing: a move and the lines that follow it, in one colour.
struct Polyline {
    Rgb colour;
    std::vector<Point> points;
};

inline std::vector<Polyline> polylines(const RecordingSurface& s) {
    std::vector<Polyline> out;
    for (const auto& op : s.ops()) {
        const Point p{op.rect.left, op.rect.top};
        if (op.kind == RecordingSurface::Kind::MoveTo) {
            out.push_back({op.colour, {p}});
        } else if (op.kind == RecordingSurface::Kind::LineTo && !out.empty()) {
            out.back().points.push_back(p);
        }
    }
    return out;
}

// The longest run in `colour`: a trace among the ticks.
inline Polyline longest(const RecordingSurface& s, Rgb colour) {
    Polyline best{colour, {}};
    for (const Polyline& p : polylines(s))
        if (p.colour == colour && p.points.size() > best.points.size()) best = p;
    return best;
}

// The texts drawn with their box's top at `top`, in drawing order.
inline std::vector<std::string> textsAtTop(const RecordingSurface& s, int32_t top) {
    std::vector<std::string> out;
    for (const auto* op : s.texts())
        if (op->rect.top == top) out.push_back(op->text);
    return out;
}

inline std::vector<std::string> textsIn(const RecordingSurface& s, Rgb colour, TextAlign align) {
    std::vector<std::string> out;
    for (const auto* op : s.texts())
        if (op->colour == colour && op->align == align) out.push_back(op->text);
    return out;
}

}  // namespace kenvo::testing_support
