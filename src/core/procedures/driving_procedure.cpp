#include "procedures/driving_procedure.h"

#include "procedures/procedure_steps.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <ctime>

#include "procedures/recovery_file.h"
#include "procedures/clock_seed.h"
#include "graphs/display_geometry.h"
#include "platform/dispatcher.h"
#include "platform/platform_link.h"

namespace kenvo {

namespace {
constexpr auto relaxed = std::memory_order_relaxed;
constexpr double TrackSpan = 0.33;  // the track keeps within a third of the platform's half-span
constexpr int32_t ScrollPerVelocity = 11;  // tenths of a row per tick and velocity step
constexpr int32_t ScrollArmed = -10;
}  // namespace

DrivingProcedure::DrivingProcedure(MeasurementStore& store, Settings& settings, PlatformLink& link,
                                   Dispatcher& dispatcher, DisplayState& display,
                                   DrivingDisplay& driving, ProcedurePort& port)
    : store_(store),
      settings_(settings),
      link_(link),
      dispatcher_(dispatcher),
      display_(display),
      driving_(driving),
      port_(port),
      computation_(driving) {
    dispatcher_.setDrivingHook(&computation_);
}

DrivingProcedure::~DrivingProcedure() {
    if (live_) {
        control_.stopped.store(1, std::memory_order_release);
        link_.stopLink();
    }
    dispatcher_.setDrivingHook(nullptr);
}

bool DrivingProcedure::newTest(const Rect& client) {
    if (!port_.offerSave()) return false;
    store_.dataSaved = 1;
    store_.attemptCount = 0;
    display_.selectedAttempt = 0;
    store_.resetDataSet(settings_.test, TestModeDriving);
    store_.dataSaved = 0;
    return continueTest(client);
}

bool DrivingProcedure::continueTest(const Rect& client) {
    if (store_.settings.testMode != TestModeDriving || live_) return false;
    if (store_.attemptCount >= MaxAttempts) {
        port_.message(MessageStoreFull);
        return false;
    }
    port_.setViewMode(ProcedureDrivingView);
    store_.testRunning = 1;
    store_.dataPresent = 1;
    port_.redraw();
    port_.setFullScreen(true);
    port_.switchBar(DrivingBarTemplate);
    port_.showBarControl(DrivingStopButton, false);
    port_.showBarControl(DrivingStartButton, true);

    square_ = drivingSquare(client);
    driving_.scrollPosition = ScrollArmed;
    attemptUnderWay_ = false;

    control_.stopped.store(0, relaxed);
    control_.recording.store(0, relaxed);
    control_.mode.store(AcquisitionDriving, relaxed);
    // Held within the slot, so a duration read from a damaged file cannot overflow it.
    const int32_t timedSamples = std::clamp(store_.settings.drivingTime, 0, MaxSamples / SampleRate) * SampleRate;
    control_.length.store(store_.settings.drivingEndMode == 1 ? 0 : timedSamples, relaxed);
    control_.centreX.store(0.0f, relaxed);
    control_.centreY.store(0.0f, relaxed);
    control_.dest.store(store_.samples(store_.attemptCount), relaxed);
    control_.setZeroOffsets(settings_.calibration.zeroOffset);
    computation_.setAttempt(nullptr, nullptr);
    if (!link_.arm(control_)) {
        port_.message(MessageCommunicationError);
        store_.testRunning = 0;
        port_.setFullScreen(false);
        return false;
    }
    live_ = true;
    store_.calibration = settings_.calibration;
    const float scaleX = store_.calibration.scaleX;
    driving_.trackMax = static_cast<int32_t>(scaleX * TrackSpan);
    driving_.trackMin = static_cast<int32_t>(scaleX * -TrackSpan);
    working_ = workingTrackParameters(edited_);
    generateTracks(store_, working_, clockSeed());
    fitSquare(client);

    port_.redraw();
    port_.startTimer(TimerDriving, TickMs);
    return true;
}

void DrivingProcedure::fitSquare(const Rect& client) {
    square_ = drivingSquare(client);
    driving_.squareHeight = square_.bottom - square_.top;
    const int32_t span = driving_.trackMax - driving_.trackMin;
    driving_.trackScale = span > 0 ? static_cast<double>(driving_.squareHeight) / span : 0.0;
    computation_.prepare(store_.calibration, store_.settings.drivingDirection, driving_);
}

void DrivingProcedure::relayout(const Rect& client) {
    if (!live_ || attemptUnderWay_ || drivingSquare(client) == square_) return;
    fitSquare(client);
}

bool DrivingProcedure::start() {
    if (!live_ || attemptUnderWay_) return false;
    const int32_t attempt = store_.attemptCount;
    store_.beginAttempt(attempt, static_cast<int64_t>(std::time(nullptr)), false);
    store_.attemptSeconds = store_.settings.drivingTime;
    display_.selectedAttempt = attempt;
    display_.shownSamples = 0;
    display_.attemptEnded = 0;
    computation_.setAttempt(store_.track(attempt), store_.deviation(attempt));
    control_.sampleCount.store(0, relaxed);
    control_.dest.store(store_.samples(attempt), relaxed);
    control_.stopped.store(0, std::memory_order_release);
    driving_.scrollPosition = 0;
    attemptUnderWay_ = true;
    port_.showBarControl(DrivingStartButton, false);
    port_.showBarControl(DrivingStopButton, true);
    return true;
}

bool DrivingProcedure::tick() {
    if (!live_) return false;
    if (link_.deviceLost()) {
        // The attempt under way is incomplete; every completed one stays in the store.
        stopTest();
        port_.message(MessagePlatformLost);
        port_.save();
        blankView();
        return false;
    }
    if (driving_.scrollPosition >= 0)
        driving_.scrollPosition += store_.settings.drivingVelocity * ScrollPerVelocity;
    if (control_.recording.load(relaxed) != 0) {
        if (control_.stopped.load(std::memory_order_acquire) != 0) {
            driving_.scrollPosition = ScrollArmed;
            control_.recording.store(0, relaxed);
            return true;
        }
    } else if (attemptUnderWay_ && driving_.scrollPosition / 10 >= square_.right - square_.left) {
        control_.recording.store(1, std::memory_order_release);
    }
    port_.redrawDriving();
    return false;
}

int32_t DrivingProcedure::stop() {
    if (!live_ || !attemptUnderWay_) return -1;
    const int32_t attempt = store_.attemptCount;
    control_.stopped.store(1, std::memory_order_release);
    control_.recording.store(0, relaxed);
    store_.length[static_cast<std::size_t>(attempt)] = control_.sampleCount.load(std::memory_order_acquire);
    store_.completeAttempt();
    attemptUnderWay_ = false;
    port_.showBarControl(DrivingStartButton, true);
    port_.showBarControl(DrivingStopButton, false);
    writeRecovery();
    exit();
    return attempt;
}

void DrivingProcedure::exit() {
    stopTest();
    port_.save();
    blankView();
}

void DrivingProcedure::center() {
    control_.centreX.store(control_.copXmm.load(relaxed), relaxed);
    control_.centreY.store(control_.copYmm.load(relaxed), relaxed);
}

bool DrivingProcedure::regenerate() {
    // The reader thread reads the attempt's track on every frame while the test is live.
    if (live_) return false;
    generateTracks(store_, working_, clockSeed());
    return true;
}

void DrivingProcedure::stopTest() {
    control_.stopped.store(1, std::memory_order_release);
    control_.recording.store(0, relaxed);
    port_.stopTimer(TimerDriving);
    if (live_) link_.stopLink();
    live_ = false;
    attemptUnderWay_ = false;
    store_.testRunning = 0;
    port_.setFullScreen(false);
}

void DrivingProcedure::blankView() { blankProcedureView(port_); }

void DrivingProcedure::writeRecovery() { writeRecoveryCopy(recoveryPath_, store_, port_, recoveryProblemShown_); }

}  // namespace kenvo
