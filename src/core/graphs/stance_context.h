#pragma once

#include <cstdint>

#include "clinical/clinical_view_options.h"
#include "graphs/display_state.h"
#include "model/graph_settings.h"
#include "graphs/surface.h"
#include "model/measurement_store.h"

namespace kenvo {

// What the stance panels read and write: the graph settings, the data set with its live trace,
// the view's drawing state and, during a target hitting test, that test's state. The caller
// fills it per drawing (the overload flag and the attempt being recorded change every tick).
struct StanceContext {
    const GraphSettings& graph;
    MeasurementStore& store;
    DisplayState& state;
    // The running target hitting test (its circular target and new-target flag), or null.
    TargetTestState* target = nullptr;
    // The attempt being recorded, whose targetReached the live COP trace sets; -1 for none.
    int32_t recordingAttempt = -1;
    // The platform reports an overloaded load cell: the COP square is outlined in red.
    bool overload = false;
    // The view's client area; the protocol target disc is placed in its driving square.
    Rect client{};
    // Whether the COP pictures draw the 95 % ellipse, and with which filter; null draws none.
    const ClinicalViewOptions* clinical = nullptr;
};

// The data set was recorded by the target hitting test (mode 2 is the unused mode that shares
// its layout).
inline bool isTargetHittingData(const MeasurementStore& store) {
    return store.settings.testMode == 1 || store.settings.testMode == 2;
}

}  // namespace kenvo
