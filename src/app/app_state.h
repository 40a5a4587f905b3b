#pragma once

#include "app_paths.h"
#include "clinical/clinical_view_options.h"
#include "model/measurement_store.h"
#include "model/settings.h"
#include "model/target_protocol.h"
#include "procedures/sensory_attempts.h"

namespace kenvo {

// The program's data, created once by the application (or a test) and passed by reference to
// the frame, the view and the dialogs.
struct AppState {
    MeasurementStore store;
    Settings settings;
    TargetProtocol protocol;
    AppPaths paths;
    ClinicalViewOptions clinical;  // from the user's preferences
    SensoryAttempts sensory;       // the conditions of the sensory test's attempts
};

}  // namespace kenvo
