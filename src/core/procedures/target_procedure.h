#pragma once

#include <cstdint>
#include <string>

#include "graphs/display_state.h"
#include "graphs/surface.h"
#include "graphs/target_display.h"
#include "model/measurement_store.h"
#include "procedures/procedure_port.h"
#include "model/settings.h"
#include "procedures/target_placement.h"
#include "platform/acquisition_control.h"

namespace kenvo {

class PlatformLink;

inline constexpr int32_t ProcedureTargetView = 9;

// The two sounds of the target test: the alarm loops while the disc touches a wall or enters
// the cup the wrong way, the success sound plays once per reached target. A missing sound
// device is silence, never an error.
class TargetSounds {
public:
    virtual ~TargetSounds() = default;
    virtual void apply(HitSound sound) = 0;
    virtual void stopAll() = 0;
};

// The target hitting test: a full-screen target square on the armed platform, Start begins
// `stimuliCount` targets, one attempt each, stepped by the 50 ms frame; after the last one the
// test ends into the Target Summary. Runs on the user-interface thread.
class TargetProcedure {
public:
    static constexpr int32_t TickMs = 50;

    TargetProcedure(MeasurementStore& store, Settings& settings, PlatformLink& link,
                    DisplayState& display, TargetTestState& state, ProcedurePort& port,
                    TargetSounds& sounds, RandomSource random);
    ~TargetProcedure();
    TargetProcedure(const TargetProcedure&) = delete;
    TargetProcedure& operator=(const TargetProcedure&) = delete;

    // "Target hiting test", after the set-up dialog was accepted: data still unsaved are
    // offered for saving (the window asks before its dialog; a refused or failed save stops
    // here), a new data set with a random location
    // sequence, the armed platform and the full-screen view. An arming failure is reported and
    // the view still opens (Exit leaves it).
    bool newTest(const Rect& client);
    // "Start": a new location sequence (replacing any protocol in memory) and the first target.
    bool start();
    // One 50 ms frame drawn into `surface`: the hit decision, its sound and data effects, and
    // the step to the next target. Nothing here leaves the view, so it may run while drawing.
    void frame(Surface& surface);
    // After the frame's drawing: ends the test after its last target (true; the caller shows
    // the Target Summary) or when the platform was lost (reported, saved, view blanked).
    bool afterFrame();
    // Draws the current state without deciding anything (a repaint).
    void paint(Surface& surface) const;
    // The view's client rectangle changed (full screen takes effect once the window system
    // has resized the window): the squares follow it until Start places the first cup in
    // them, and then stay put for the test.
    void relayout(const Rect& client);
    // "Center", shown until Start: the target square is centred on the current COP.
    void center();
    // "Exit": ends the test early, runs Save and blanks the view.
    void exit();
    // Ends a live test without saving (the program is closing).
    void halt() { stopTest(); }

    bool live() const { return live_; }
    bool armed() const { return armed_; }
    const TargetLayout& layout() const { return layout_; }
    AcquisitionControl& control() { return control_; }
    void setRecoveryPath(std::string path) { recoveryPath_ = std::move(path); }

private:
    void stopTest();
    void blankView();
    void writeRecovery();

    MeasurementStore& store_;
    Settings& settings_;
    PlatformLink& link_;
    DisplayState& display_;
    TargetTestState& state_;
    ProcedurePort& port_;
    TargetSounds& sounds_;
    RandomSource random_;
    AcquisitionControl control_;
    TargetLayout layout_{};
    int32_t timeCount_ = 0;
    bool finished_ = false;  // the last target is done; afterFrame ends the test
    bool live_ = false;   // the view is open
    bool armed_ = false;  // the link runs
    std::string recoveryPath_;
    bool recoveryProblemShown_ = false;
};

}  // namespace kenvo
