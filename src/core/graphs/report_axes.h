#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "graphs/axis_labels.h"
#include "graphs/axis_scale.h"
#include "graphs/surface.h"

namespace kenvo {

// Tick, label and title placement shared by the report's time graphs and the diffusion graph.
// Distances are in surface units measured away from the axis; the routines turn them into
// rectangles for the screen (y down) or the page (y up, so a box's top is above its bottom).

// A value axis on the left or right edge of a graph.
struct ReportAxisLayout {
    int32_t tick;       // tick length
    int32_t labelNear;  // the label box from labelNear to labelFar beside the edge
    int32_t labelFar;
    int32_t labelHalfHeight;  // the label box from y - h to y + h
    int32_t titleHalfWidth;   // the title box around the edge ...
    int32_t titleNear;        // ... from titleNear to titleFar above the graph's top
    int32_t titleFar;
};

struct ReportValueAxis {
    bool rightSide = false;  // right edge: ticks outward to the right, labels left-aligned
    int32_t edge = 0;        // x of the edge
    int32_t top = 0;
    int32_t bottom = 0;
    AxisScale scale;
    double first = 0.0;  // ticks at first, first + step, ... up to last
    double last = 0.0;
    double step = 0.0;
    std::string_view title;
    // Labels with this many digits after the point; none: the whole number "%d" the settings'
    // integer axes have always shown.
    std::optional<int32_t> decimals;
};

// The ticks with their labels ("%d", or with the axis's decimals) and the centred title, in
// the current pen and text colour.
void drawReportValueAxis(Surface& surface, const ReportValueAxis& axis,
                         const ReportAxisLayout& layout);

// A time tick at x on the bottom line with its label centred below, the screen label box
// from labelNear to labelFar below the line; the paper layout is the same for every graph.
// The label is left out where it would overlap the previous one of `labels`.
void drawReportTimeTick(Surface& surface, TimeLabelRow& labels, int32_t x, int32_t bottom,
                        const std::string& label, int32_t labelNear, int32_t labelFar);
// The time axis title across left .. right, below the labels.
void drawReportTimeTitle(Surface& surface, int32_t left, int32_t right, int32_t bottom,
                         std::string_view title, int32_t titleNear, int32_t titleFar);

// The report graphs' open frame (left, bottom and right sides; no top line) in black, with the
// axis font of the screen or of paper selected and the text colour black.
void drawReportOpenFrame(Surface& surface, const Rect& graph);

}  // namespace kenvo
