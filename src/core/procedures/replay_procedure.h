#pragma once

#include <cstdint>

#include "graphs/display_state.h"
#include "model/measurement_store.h"
#include "procedures/procedure_port.h"
#include "model/settings.h"

namespace kenvo {

// The button bar of the replay and its controls.
inline constexpr int32_t ReplayBarTemplate = 139;
enum ReplayBarControl : int32_t {
    ReplayAttemptCombo = 32801,
    ReplayFastReverse = 1031,
    ReplayReverse = 1035,
    ReplayStepReverse = 1040,
    ReplayPause = 1036,
    ReplayStepForward = 1041,
    ReplayForward = 1037,
    ReplayFastForward = 1038,
    ReplayStop = 1039,
    ReplayCopButton = 1033,
    ReplayCopAllButton = 1034,
};

// "Real simulation": replays an attempt of the data set on the live panels. The view's
// always-running replay timer moves it (the replay step of the display routines); this class
// sets the mode, the speed and direction, the attempt and the display centre.
class ReplayProcedure {
public:
    ReplayProcedure(MeasurementStore& store, Settings& settings, DisplayState& display,
                    ProcedurePort& port);

    // Enters replay mode paused at the start of the first attempt.
    void enter();
    // A speed button of the bar (FRev .. FForw, Stop); false for another id.
    bool button(int32_t id);
    // The attempt combo chose attempt `attempt`: paused and rewound to its start.
    void selectAttempt(int32_t attempt);

private:
    void rewind();
    void centreOnFirstSample();

    MeasurementStore& store_;
    Settings& settings_;
    DisplayState& display_;
    ProcedurePort& port_;
};

// Samples per replay tick of a speed button (negative backward); false for another id.
bool replaySpeed(int32_t buttonId, int32_t& step);

}  // namespace kenvo
