#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "graphs/display_state.h"
#include "model/measurement_store.h"
#include "procedures/procedure_port.h"
#include "model/settings.h"
#include "platform/acquisition_control.h"

namespace kenvo {

class PlatformLink;

// The button bar of the stance and target tests and its controls.
inline constexpr int32_t StanceBarTemplate = 142;
enum StanceBarControl : int32_t {
    StanceStartButton = 1042,
    StanceExitButton = 1043,
    StanceCenterButton = 1032,
    StanceCopButton = 1033,
};

// The stance test: a live COP display on the armed platform, one recorded attempt of
// `attemptSeconds` per Start, and Exit, which stops the link and offers the data for saving.
// Runs on the user-interface thread; the reader thread writes the samples through the
// acquisition control this object owns.
class StanceProcedure {
public:
    static constexpr int32_t TickMs = 50;

    StanceProcedure(MeasurementStore& store, Settings& settings, PlatformLink& link,
                    DisplayState& display, ProcedurePort& port);
    ~StanceProcedure();
    StanceProcedure(const StanceProcedure&) = delete;
    StanceProcedure& operator=(const StanceProcedure&) = delete;

    // "Stance test", after the stance dialog was accepted: unsaved data are offered for saving
    // (a refused or failed save stops here), a new stance data set, then continueTest().
    // `attemptSeconds` (0..300) sets the attempts' duration for this data set instead of the
    // stance time of the settings, which stays as it is (the sensory test's trials).
    bool newTest(std::optional<int32_t> attemptSeconds = std::nullopt);
    // "Continue stance test with same subject": arms the live display for the current data
    // set and marks the test as running. Does nothing for a target or driving data set or
    // while the test is already live; false then or when arming failed.
    bool continueTest();
    // "Start": records the next attempt into its own slot.
    bool start();
    // The end of the 50 ms tick, after the panels were drawn (which set `shownSamples`):
    // completes a finished attempt, centres the display once the first samples are in, and
    // ends the test when the platform was disconnected. True when an attempt was completed.
    bool afterTick();
    // Drops the attempt under way: recording stops, nothing of it is kept and its slot is used
    // by the next Start. False when no attempt is being recorded.
    bool abandonAttempt();
    // Called after each completed attempt, once the recovery copy was written, with the
    // attempt's index in the data set.
    void setAttemptCompleted(std::function<void(int32_t)> handler) {
        attemptCompleted_ = std::move(handler);
    }
    // "Exit": stops the link, runs Save and blanks the view.
    void exit();
    // Ends a live test without saving (the program is closing).
    void stop() { stopTest(); }
    // "Center": the display centre becomes the COP one before the newest live sample.
    void center();

    // The link is armed and the tick timer runs.
    bool live() const { return live_; }
    // Samples the dispatcher has recorded into the current attempt.
    int32_t recordedSamples() const { return control_.sampleCount.load(std::memory_order_acquire); }
    int32_t attemptEnd() const { return attemptEnd_; }
    // Samples the attempt being recorded still needs; 0 between attempts.
    int32_t samplesLeft() const;
    // The attempt being recorded, or -1 between attempts.
    int32_t recordingAttempt() const;
    AcquisitionControl& control() { return control_; }

    // Where the data set is written after each completed attempt (empty: nowhere).
    void setRecoveryPath(std::string path) { recoveryPath_ = std::move(path); }
    const std::string& recoveryPath() const { return recoveryPath_; }

private:
    bool continueWith(int32_t attemptSeconds);
    void stopTest();
    void blankView();
    void writeRecovery();

    MeasurementStore& store_;
    Settings& settings_;
    PlatformLink& link_;
    DisplayState& display_;
    ProcedurePort& port_;
    AcquisitionControl control_;
    SensorSums sums_;
    int32_t attemptEnd_ = 0;
    bool live_ = false;
    bool centrePending_ = false;
    std::string recoveryPath_;
    bool recoveryProblemShown_ = false;
    std::function<void(int32_t)> attemptCompleted_;
};


}  // namespace kenvo
