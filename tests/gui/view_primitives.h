#pragma once

// What the window's view shows, as text: every primitive the view's drawing routines put on
// the surface, and the table list that covers the view in the table modes. The golden file
// tests/data/view_golden_800x560.txt holds this text for every view at the window's first
// size; the view-scale tests compare against it and scale it.

#include <QString>
#include <map>
#include <string>
#include <vector>

#include "graphs/recording_surface.h"

namespace kenvo {
class SwayList;
}

namespace kenvo::test {

// One primitive or list line, e.g. `Text 10 20 100 32 c=0,0,0 b=255,255,255 w=1 font=1 align=0
// ml=0 "Attempt"`.
std::string describeOp(const RecordingSurface::Op& op);
std::vector<std::string> describeOps(const RecordingSurface& surface);
// The list's place, its header and row heights, its columns and every cell; nothing when hidden.
std::vector<std::string> describeList(const SwayList& list);

// A line taken apart: its kind, its plain numbers, its key=value pairs and the quoted rest.
struct ParsedLine {
    std::string kind;
    std::vector<long> numbers;
    std::map<std::string, std::string> keys;
    std::string text;
};
ParsedLine parseLine(const std::string& line);

// A golden file: sections headed by `== NAME`, each followed by its lines.
struct GoldenSection {
    std::string name;
    std::vector<std::string> lines;
};
std::vector<GoldenSection> readGolden(const std::string& path);
std::string writeGolden(const std::vector<GoldenSection>& sections);

}  // namespace kenvo::test
