#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "clinical/clinical_view_options.h"
#include "clinical/prediction_ellipse.h"
#include "graphs/cop_plane_mapping.h"
#include "graphs/surface.h"

namespace kenvo {

class MeasurementStore;

// The ellipse has a colour of its own, so it is never taken for a trajectory or a cursor.
inline constexpr Pen EllipsePen{Rgb{0, 160, 0}, 1};

// Points on the outline are this many at least; the last one closes the outline on the first.
inline constexpr int32_t EllipseOutlinePoints = 72;

// The outline of `ellipse` (mm) in plane coordinates: `points` points evenly spaced in the
// ellipse's parameter, then the first again, each mapped like the COP trajectory and kept
// within the COP axes.
std::vector<Point> ellipseOutline(const PredictionEllipse& ellipse, const CopPlaneMapping& mapping,
                                  const GraphSettings& graph,
                                  int32_t points = EllipseOutlinePoints);

// The 95 % ellipse of samples [first, end) of `attempt`, after the options' low-pass over the
// whole attempt; nothing with fewer than three samples in the range.
std::optional<PredictionEllipse> attemptEllipse(const MeasurementStore& store, int32_t attempt,
                                                int32_t first, int32_t end,
                                                const ClinicalViewOptions& options);

// Draws the ellipse of samples [first, end) of `attempt` over the COP plane `plane` when the
// options ask for it.
void drawAttemptEllipse(Surface& surface, const Rect& plane, const GraphSettings& graph,
                        const MeasurementStore& store, int32_t attempt, int32_t first, int32_t end,
                        const ClinicalViewOptions* options);

}  // namespace kenvo
