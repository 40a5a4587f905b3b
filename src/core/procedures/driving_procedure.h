#pragma once

#include <cstdint>
#include <string>

#include "graphs/display_state.h"
#include "graphs/surface.h"
#include "procedures/driving_computation.h"
#include "model/measurement_store.h"
#include "procedures/procedure_port.h"
#include "model/settings.h"
#include "procedures/track_generator.h"
#include "platform/acquisition_control.h"

namespace kenvo {

class Dispatcher;
class PlatformLink;

// The driving test's button bar and its controls.
inline constexpr int32_t DrivingBarTemplate = 150;
enum DrivingBarControl : int32_t {
    DrivingExitButton = 1074,
    DrivingStopButton = 1075,
    DrivingStartButton = 1076,
    DrivingCenterButton = 1077,
};

// The driving test: a time-seeded track scrolls through the driving square while the reader
// thread records the subject's distance from it (DrivingComputation). Recording starts once a
// full square of track has scrolled in and ends at the planned length (the timer posts Stop)
// or at the Stop button. Runs on the user-interface thread.
class DrivingProcedure {
public:
    static constexpr int32_t TickMs = 55;

    DrivingProcedure(MeasurementStore& store, Settings& settings, PlatformLink& link,
                     Dispatcher& dispatcher, DisplayState& display, DrivingDisplay& driving,
                     ProcedurePort& port);
    ~DrivingProcedure();
    DrivingProcedure(const DrivingProcedure&) = delete;
    DrivingProcedure& operator=(const DrivingProcedure&) = delete;

    // "Driving test", after the set-up dialog was accepted: unsaved data still unsaved are
    // offered for saving (the window asks before its dialog; a refused or failed save stops
    // here), a new driving data set, then continueTest.
    bool newTest(const Rect& client);
    // "Continue driving test with same subject": arms the platform, generates new tracks and
    // starts the scroll timer, halted until Start. False for another test's data set or when
    // arming failed.
    bool continueTest(const Rect& client);
    // The view's client rectangle changed (full screen takes effect once the window system
    // has resized the window): the square, its track scale and the marker mapping follow it
    // until Start, and then stay put for the attempt.
    void relayout(const Rect& client);
    // "Start": the track starts scrolling for the next attempt.
    bool start();
    // Timer 5: scrolls, switches recording on after one screen and reports true when the
    // attempt reached its length, so the caller runs Stop. A lost platform ends the test here.
    bool tick();
    // "Stop": completes the attempt and ends the test; the attempt's slot, or -1 when none was
    // under way.
    int32_t stop();
    // "Exit": ends the test without completing an attempt, runs Save and blanks the view.
    void exit();
    // Ends a live test without saving (the program is closing).
    void halt() { stopTest(); }
    // "Center": the current COP becomes the track centre.
    void center();

    // The dialog copy the "Perform dialog" edits; OK there regenerates with the working copy,
    // except while a test is live (false): its tracks stay as the subject is following them.
    TrackParameters& trackParameters() { return edited_; }
    bool regenerate();

    bool live() const { return live_; }
    // Start was pressed and the attempt is neither stopped nor left.
    bool attemptUnderWay() const { return attemptUnderWay_; }
    const Rect& square() const { return square_; }
    AcquisitionControl& control() { return control_; }
    const DrivingDisplay& driving() const { return driving_; }
    void setRecoveryPath(std::string path) { recoveryPath_ = std::move(path); }

private:
    void stopTest();
    void blankView();
    void fitSquare(const Rect& client);
    void writeRecovery();

    MeasurementStore& store_;
    Settings& settings_;
    PlatformLink& link_;
    Dispatcher& dispatcher_;
    DisplayState& display_;
    DrivingDisplay& driving_;
    ProcedurePort& port_;
    AcquisitionControl control_;
    DrivingComputation computation_;
    TrackParameters edited_{};
    TrackParameters working_{};
    Rect square_{};
    bool live_ = false;
    bool attemptUnderWay_ = false;
    std::string recoveryPath_;
    bool recoveryProblemShown_ = false;
};

}  // namespace kenvo
