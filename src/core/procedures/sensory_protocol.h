#pragma once

#include <string>
#include <vector>

#include "model/sensory_condition.h"

namespace kenvo {

// The limits of the sensory balance test: trials per condition and seconds per trial.
inline constexpr int MinSensoryTrials = 1;
inline constexpr int MaxSensoryTrials = 5;
inline constexpr int DefaultSensoryTrials = 3;
inline constexpr int MinSensoryTrialSeconds = 10;
inline constexpr int MaxSensoryTrialSeconds = 300;
inline constexpr int DefaultSensoryTrialSeconds = 60;  // the reference values' duration
inline constexpr int SensoryCountdownSeconds = 3;
// The protocol name the sidecar and the register keep for a data set of this test.
inline constexpr const char* SensoryProtocolName = "sensory";

// How many trials of how long: the four conditions in their fixed order, each with
// `trialsPerCondition` trials of `trialSeconds`.
struct SensoryPlan {
    int trialsPerCondition = DefaultSensoryTrials;
    int trialSeconds = DefaultSensoryTrialSeconds;

    int trialCount() const { return static_cast<int>(SensoryConditionCount) * trialsPerCondition; }
    friend bool operator==(const SensoryPlan&, const SensoryPlan&) = default;
};

// What is wrong with a plan, in plain words; empty when it is within the limits.
std::string sensoryPlanProblem(const SensoryPlan& plan);

// Where the guide is: telling the operator what comes next, counting down after Start,
// recording, or done (after the last trial or a Stop).
enum class SensoryStep { Instruction, Countdown, Recording, Finished };

// One trial: its place in the test (0-based over all trials), its condition and its number
// within the condition (1-based).
struct SensoryTrial {
    int index = 0;
    SensoryCondition condition = SensoryCondition::EoFirm;
    int number = 1;
};

// An attempt the stance test recorded for a trial; `discarded` once the trial was repeated.
struct RecordedTrial {
    int attempt = 0;  // its index in the data set
    SensoryTrial trial;
    bool discarded = false;
};

// The guide of the sensory balance test, without the window: the order of the trials, the
// operator's Start, Repeat, Skip and Stop, and which recorded attempt belongs to which
// condition. The window feeds it the clock (the end of the countdown) and the stance test's
// completed attempts, and does what it answers; every event refused in the current step
// returns false and changes nothing.
class SensoryProtocol {
  public:
    // A plan outside the limits is brought within them.
    explicit SensoryProtocol(SensoryPlan plan);

    const SensoryPlan& plan() const { return plan_; }
    SensoryStep step() const { return step_; }
    // The current trial; after the last one, the last trial.
    SensoryTrial trial() const { return trialAt(current_); }
    SensoryTrial trialAt(int index) const;
    // True when a Stop ended the test before its last trial.
    bool stopped() const { return stopped_; }
    // Whether the foam pad is on the plate now (it goes on before the first foam trial is
    // started and comes off before a firm trial is started or when the test ends).
    bool padOn() const { return padOn_; }

    // Start (or Enter) at an instruction: the countdown begins.
    bool start();
    // The countdown ran out: the stance test records the trial.
    bool countdownDone();
    // The stance test completed attempt `attempt` of the trial being recorded; the guide moves
    // to the next trial or, after the last, to the end.
    bool attemptRecorded(int attempt);
    // Repeat: during the countdown or the recording, the same trial again (an attempt under way
    // is abandoned, nothing of it is kept); at the instruction after a trial (or at the end of
    // the test), the trial just done again, its attempt kept in the data set but discarded.
    bool canRepeat() const;
    bool repeat();
    // Skip: the current trial is left without an attempt (one under way is abandoned).
    bool canSkip() const;
    bool skip();
    // Stop: the test ends now; every completed attempt is kept.
    void stop();

    // Every attempt recorded, in recording order.
    const std::vector<RecordedTrial>& attempts() const { return attempts_; }
    // The attempts of `condition` that count (not discarded).
    int keptAttempts(SensoryCondition condition) const;

  private:
    void advance();
    // The kept attempt of trial `index`, or nothing.
    RecordedTrial* keptAttemptOf(int index);

    SensoryPlan plan_;
    SensoryStep step_ = SensoryStep::Instruction;
    int current_ = 0;
    // The instruction shown follows a trial just done (recorded or skipped), so Repeat may go
    // back to it; cleared once the operator starts or repeats.
    bool afterTrial_ = false;
    bool stopped_ = false;
    bool padOn_ = false;
    std::vector<RecordedTrial> attempts_;
};

// What the guide tells the operator: a heading ("Trial 2 of 3: eyes closed, firm plate") and
// short lines in plain words.
struct SensoryInstruction {
    std::string heading;
    std::vector<std::string> lines;
};

// "eyes open, firm plate" and the like.
std::string conditionTitle(SensoryCondition condition);
// The instruction for the guide's current step.
SensoryInstruction sensoryInstruction(const SensoryProtocol& protocol);

}  // namespace kenvo
