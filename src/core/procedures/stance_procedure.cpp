#include "procedures/stance_procedure.h"

#include "procedures/procedure_steps.h"

#include <algorithm>
#include <ctime>
#include <cstdlib>

#include "procedures/recovery_file.h"
#include "model/sample_metric.h"
#include "platform/platform_link.h"

namespace kenvo {

namespace {
// Center takes the live sample one before the newest, so two must have arrived.
constexpr int32_t CentreSamples = 2;
}  // namespace

StanceProcedure::StanceProcedure(MeasurementStore& store, Settings& settings, PlatformLink& link,
                                 DisplayState& display, ProcedurePort& port)
    : store_(store), settings_(settings), link_(link), display_(display), port_(port) {}

StanceProcedure::~StanceProcedure() {
    if (live_) {
        control_.stopped.store(1, std::memory_order_release);
        link_.stopLink();
    }
}

bool StanceProcedure::newTest(std::optional<int32_t> attemptSeconds) {
    if (!port_.offerSave()) return false;
    store_.dataSaved = 1;
    // Returns the deviation pages to the system instead of writing zeros over them.
    store_.resetDataSet(settings_.test, TestModeStance);
    if (!attemptSeconds) return continueTest();
    // The data set's header keeps the duration its attempts were recorded with.
    const int32_t seconds = std::clamp(*attemptSeconds, 0, MaxStanceSeconds);
    store_.settings.stanceTime = seconds;
    return continueWith(seconds);
}

bool StanceProcedure::continueTest() {
    // Continue takes the duration without the dialog, so one read from a configuration file
    // is held to the dialog's range: a longer attempt would outgrow its slot and never end, a
    // negative one would be stored with a negative length.
    return continueWith(std::clamp(settings_.test.stanceTime, 0, MaxStanceSeconds));
}

bool StanceProcedure::continueWith(int32_t attemptSeconds) {
    // Arming again under a live test would re-point its recording while the reader writes.
    if (store_.settings.testMode != TestModeStance || live_) return false;
    port_.switchBar(StanceBarTemplate);
    port_.showBarControl(StanceCopButton, false);

    port_.setViewMode(ProcedureStanceView);
    display_.selectedAttempt = 0;
    display_.copCountdown = 0;
    display_.copPictureKind = 0;
    display_.traceStart = -1;
    store_.attemptSeconds = attemptSeconds;
    store_.dataPresent = 1;
    display_.shownSamples = 0;
    // No attempt is under way until Start: with a duration of 0 the tick would otherwise
    // count attempts that were never started.
    display_.attemptEnded = 1;
    attemptEnd_ = store_.attemptSeconds * SampleRate;
    display_.traceLength = settings_.graph.liveWindowSamples();
    store_.liveTrace.reset(display_.traceLength + 1);

    const int32_t slot = store_.attemptCount < MaxAttempts ? store_.attemptCount : MaxAttempts - 1;
    control_.dest.store(store_.samples(slot), std::memory_order_relaxed);
    control_.length.store(attemptEnd_, std::memory_order_relaxed);
    control_.setZeroOffsets(settings_.calibration.zeroOffset);
    control_.recording.store(0, std::memory_order_relaxed);
    control_.liveCount.store(0, std::memory_order_relaxed);
    control_.mode.store(AcquisitionStance, std::memory_order_relaxed);
    control_.sumsOut.store(&sums_, std::memory_order_relaxed);
    if (!link_.arm(control_)) {
        port_.message(MessageCommunicationError);
        return false;
    }
    live_ = true;
    // The test holds the window from the moment the platform is armed, not only from the first
    // Start: until Exit nothing else may take the view, its bar or the link.
    store_.testRunning = 1;
    store_.calibration = settings_.calibration;

    port_.redraw();
    port_.startTimer(TimerTest, TickMs);
    display_.displayCentreX = 0.0f;
    display_.displayCentreY = 0.0f;
    centrePending_ = settings_.graph.copCentred != 0;
    return true;
}

bool StanceProcedure::start() {
    if (!live_ || store_.settings.testMode != TestModeStance) return false;
    const int32_t attempt = store_.attemptCount;
    if (attempt >= MaxAttempts) {
        port_.message(MessageStoreFull);
        return false;
    }
    store_.beginAttempt(attempt, static_cast<int64_t>(std::time(nullptr)), false);
    store_.length[static_cast<std::size_t>(attempt)] = store_.attemptSeconds * SampleRate;

    display_.selectedAttempt = attempt;
    display_.shownSamples = 0;
    display_.attemptEnded = 0;

    // Destination and counters first: the reader starts storing once `recording` is set.
    control_.sampleCount.store(0, std::memory_order_relaxed);
    control_.dest.store(store_.samples(attempt), std::memory_order_relaxed);
    control_.length.store(attemptEnd_, std::memory_order_relaxed);
    control_.recording.store(1, std::memory_order_release);
    store_.testRunning = 1;

    port_.showBarControl(StanceStartButton, false);
    port_.showBarControl(StanceCopButton, false);
    port_.redraw();
    return true;
}

int32_t StanceProcedure::recordingAttempt() const {
    return live_ && display_.attemptEnded == 0 ? store_.attemptCount : -1;
}

int32_t StanceProcedure::samplesLeft() const {
    if (recordingAttempt() < 0) return 0;
    return std::max(0, attemptEnd_ - recordedSamples());
}

bool StanceProcedure::afterTick() {
    if (!live_) return false;
    bool completed = false;
    if (display_.shownSamples >= attemptEnd_ && display_.attemptEnded == 0) {
        display_.attemptEnded = 1;
        store_.completeAttempt();
        port_.showBarControl(StanceStartButton, true);
        port_.showBarControl(StanceCopButton, true);
        writeRecovery();
        completed = true;
        if (attemptCompleted_) attemptCompleted_(store_.attemptCount - 1);
    }
    if (centrePending_ && control_.liveCount.load(std::memory_order_relaxed) >= CentreSamples) {
        centrePending_ = false;
        center();
    }
    if (link_.deviceLost()) {
        // The attempt under way is incomplete; every completed one stays in the store.
        stopTest();
        port_.message(MessagePlatformLost);
        port_.save();
        blankView();
    }
    return completed;
}

bool StanceProcedure::abandonAttempt() {
    if (recordingAttempt() < 0) return false;
    // The reader stops storing at once; the next Start points it at this slot again.
    control_.recording.store(0, std::memory_order_release);
    display_.attemptEnded = 1;
    port_.showBarControl(StanceStartButton, true);
    port_.redraw();
    return true;
}

void StanceProcedure::exit() {
    stopTest();
    port_.save();
    blankView();
}

void StanceProcedure::center() { centreOnLiveCop(store_, display_); }

void StanceProcedure::stopTest() {
    control_.stopped.store(1, std::memory_order_release);
    port_.stopTimer(TimerTest);
    link_.stopLink();
    live_ = false;
    centrePending_ = false;
    store_.testRunning = 0;
}

void StanceProcedure::blankView() { blankProcedureView(port_); }

void StanceProcedure::writeRecovery() { writeRecoveryCopy(recoveryPath_, store_, port_, recoveryProblemShown_); }

}  // namespace kenvo
