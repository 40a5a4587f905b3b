#include "procedures/target_procedure.h"

#include "procedures/procedure_steps.h"

#include <ctime>

#include "procedures/recovery_file.h"
#include "graphs/target_tick.h"
#include "procedures/stance_procedure.h"
#include "platform/platform_link.h"

namespace kenvo {

namespace {
constexpr auto relaxed = std::memory_order_relaxed;
}  // namespace

TargetProcedure::TargetProcedure(MeasurementStore& store, Settings& settings, PlatformLink& link,
                                 DisplayState& display, TargetTestState& state,
                                 ProcedurePort& port, TargetSounds& sounds, RandomSource random)
    : store_(store),
      settings_(settings),
      link_(link),
      display_(display),
      state_(state),
      port_(port),
      sounds_(sounds),
      random_(random) {}

TargetProcedure::~TargetProcedure() {
    if (armed_) {
        control_.stopped.store(1, std::memory_order_release);
        link_.stopLink();
    }
}

bool TargetProcedure::newTest(const Rect& client) {
    if (live_) return false;
    if (!port_.offerSave()) return false;
    finished_ = false;
    store_.dataSaved = 1;
    const TestSettings& test = settings_.test;
    state_ = TargetTestState{};
    state_.cursorRadius = cursorRadiusFor(test.objectSize);
    settings_.test.testMode = TestModeTargetHitting;
    const int32_t count = test.stimuliCount;
    for (int32_t k = 0; k < count && k < MaxAttempts; ++k) store_.targetReached[static_cast<std::size_t>(k)] = 0;
    fillTargetSequence(store_, count, random_);
    store_.clearDeviations();

    display_.shownSamples = 0;
    display_.traceLength = TargetAttemptLimit;
    display_.traceStart = -1;
    store_.liveTrace.reset(MaxSamples);
    store_.attemptCount = 0;
    control_.length.store(count, relaxed);
    control_.dest.store(store_.samples(0), relaxed);
    control_.setZeroOffsets(settings_.calibration.zeroOffset);
    control_.recording.store(0, relaxed);
    control_.liveCount.store(0, relaxed);
    control_.mode.store(AcquisitionTargetHitting, relaxed);
    armed_ = link_.arm(control_);
    if (!armed_) port_.message(MessageCommunicationError);

    store_.settings = settings_.test;
    port_.setViewMode(ProcedureTargetView);
    display_.selectedAttempt = 0;
    display_.copCountdown = 0;
    store_.calibration = settings_.calibration;
    store_.dataPresent = 1;
    store_.testRunning = 1;
    live_ = true;
    port_.setFullScreen(true);
    port_.switchBar(StanceBarTemplate);
    port_.showBarControl(StanceCopButton, false);
    layout_ = targetLayout(client);
    port_.redraw();
    port_.startTimer(TimerTest, TickMs);
    return armed_;
}

bool TargetProcedure::start() {
    if (!live_ || !armed_ || control_.recording.load(relaxed) != 0) return false;
    const int32_t targetSize = settings_.test.targetSize;
    store_.attemptCount = 0;
    state_.hitState = HitStart;
    state_.holdFrames = 0;
    state_.testedSamples = 0;
    state_.elapsedBefore = 0;
    // A protocol loaded or edited before is replaced: every test gets its own sequence.
    fillTargetSequence(store_, store_.settings.stimuliCount, random_);
    const NextTarget first = drawNextTarget(layout_.square, targetSize, random_);
    beginNextTarget(store_, control_, display_, state_, 0, static_cast<int64_t>(std::time(nullptr)), first);
    state_.elapsedBefore = 0;
    control_.recording.store(1, std::memory_order_release);
    store_.testRunning = 1;
    port_.showBarControl(StanceStartButton, false);
    port_.showBarControl(StanceCopButton, false);
    port_.showBarControl(StanceCenterButton, false);
    port_.redraw();
    return true;
}

void TargetProcedure::frame(Surface& surface) {
    if (!live_ || finished_) return;
    const bool recording = control_.recording.load(std::memory_order_acquire) != 0;
    const TargetFrame f{store_.liveTrace, display_.traceLength, store_.calibration,
                        display_.displayCentreX, display_.displayCentreY, recording};
    const HitOutcome outcome = runTargetFrame(surface, layout_, state_, f, store_.attemptCount);
    timeCount_ = outcome.timeCount;
    sounds_.apply(outcome.sound);
    applyHitOutcome(outcome, store_, control_);
    if (!recording) return;

    const int32_t before = store_.attemptCount;
    const TargetTickResult tick = targetTick(store_, control_);
    if (store_.attemptCount != before) writeRecovery();
    if (tick.decision == TargetTickDecision::NextTarget) {
        beginNextTarget(store_, control_, display_, state_, tick.sampleCount,
                        static_cast<int64_t>(std::time(nullptr)),
                        drawNextTarget(layout_.square, store_.settings.targetSize, random_));
    } else if (tick.decision == TargetTickDecision::TestFinished) {
        // No more frames are recorded; the test ends in afterFrame, outside the drawing.
        control_.recording.store(0, std::memory_order_relaxed);
        finished_ = true;
    }
}

bool TargetProcedure::afterFrame() {
    if (!live_) return false;
    if (finished_) {
        finished_ = false;
        stopTest();
        port_.hideBar();
        return true;
    }
    if (armed_ && link_.deviceLost()) {
        // The target under way is incomplete; every completed one stays in the store.
        stopTest();
        port_.message(MessagePlatformLost);
        port_.save();
        blankView();
    }
    return false;
}

void TargetProcedure::paint(Surface& surface) const {
    drawTargetDisplay(surface, layout_, state_, control_.recording.load(relaxed) != 0,
                      store_.attemptCount, timeCount_);
}

void TargetProcedure::relayout(const Rect& client) {
    if (!live_ || control_.recording.load(relaxed) != 0 || layout_.client == client) return;
    layout_ = targetLayout(client);
}

void TargetProcedure::center() {
    if (!live_ || control_.recording.load(relaxed) != 0) return;
    centreOnLiveCop(store_, display_);
}

void TargetProcedure::exit() {
    stopTest();
    port_.save();
    blankView();
}

void TargetProcedure::stopTest() {
    control_.stopped.store(1, std::memory_order_release);
    control_.recording.store(0, relaxed);
    port_.stopTimer(TimerTest);
    if (armed_) link_.stopLink();
    armed_ = false;
    live_ = false;
    sounds_.stopAll();
    store_.testRunning = 0;
    port_.setFullScreen(false);
}

void TargetProcedure::blankView() { blankProcedureView(port_); }

void TargetProcedure::writeRecovery() { writeRecoveryCopy(recoveryPath_, store_, port_, recoveryProblemShown_); }

}  // namespace kenvo
