#pragma once

#include "graphs/axis_scale.h"
#include "graphs/display_state.h"
#include "model/graph_settings.h"
#include "graphs/surface.h"

namespace kenvo {

// Millimetres to COP plane coordinates: both axes run from copAxisMin to copAxisMax over the
// plane's width and height. A paper rectangle (top above bottom) gives a negative vertical
// factor, which puts larger values higher on the page as on the screen.
struct CopPlaneMapping {
    CopPlaneMapping(const GraphSettings& g, const Rect& r)
        : x(g.copAxisMin, g.copAxisMax, r.right - r.left),
          y(g.copAxisMin, g.copAxisMax, r.bottom - r.top), left(r.left), bottom(r.bottom) {}

    Point map(double xMm, double yMm) const { return {x.horizontal(left, xMm), y.vertical(bottom, yMm)}; }
    Point origin() const { return map(0.0, 0.0); }

    AxisScale x;
    AxisScale y;
    int32_t left;
    int32_t bottom;
};

}  // namespace kenvo
