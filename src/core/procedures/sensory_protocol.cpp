#include "procedures/sensory_protocol.h"

#include <algorithm>

namespace kenvo {

std::string sensoryPlanProblem(const SensoryPlan& plan) {
    if (plan.trialsPerCondition < MinSensoryTrials || plan.trialsPerCondition > MaxSensoryTrials)
        return "The number of trials per condition must be from " +
               std::to_string(MinSensoryTrials) + " to " + std::to_string(MaxSensoryTrials) + ".";
    if (plan.trialSeconds < MinSensoryTrialSeconds || plan.trialSeconds > MaxSensoryTrialSeconds)
        return "The duration of a trial must be from " + std::to_string(MinSensoryTrialSeconds) +
               " to " + std::to_string(MaxSensoryTrialSeconds) + " seconds.";
    return {};
}

SensoryProtocol::SensoryProtocol(SensoryPlan plan) : plan_(plan) {
    plan_.trialsPerCondition =
        std::clamp(plan_.trialsPerCondition, MinSensoryTrials, MaxSensoryTrials);
    plan_.trialSeconds =
        std::clamp(plan_.trialSeconds, MinSensoryTrialSeconds, MaxSensoryTrialSeconds);
}

SensoryTrial SensoryProtocol::trialAt(int index) const {
    const int last = plan_.trialCount() - 1;
    index = std::clamp(index, 0, last);
    const int perCondition = plan_.trialsPerCondition;
    return {index, SensoryConditions[static_cast<std::size_t>(index / perCondition)],
            index % perCondition + 1};
}

bool SensoryProtocol::start() {
    if (step_ != SensoryStep::Instruction) return false;
    // The operator has put the pad on or taken it off as the instruction said.
    padOn_ = onFoam(trial().condition);
    step_ = SensoryStep::Countdown;
    afterTrial_ = false;
    return true;
}

bool SensoryProtocol::countdownDone() {
    if (step_ != SensoryStep::Countdown) return false;
    step_ = SensoryStep::Recording;
    return true;
}

bool SensoryProtocol::attemptRecorded(int attempt) {
    if (step_ != SensoryStep::Recording) return false;
    attempts_.push_back({attempt, trial(), false});
    advance();
    return true;
}

bool SensoryProtocol::canRepeat() const {
    switch (step_) {
        case SensoryStep::Countdown:
        case SensoryStep::Recording:
            return true;
        case SensoryStep::Instruction:
            return afterTrial_;
        case SensoryStep::Finished:
            return afterTrial_ && !stopped_;
    }
    return false;
}

bool SensoryProtocol::repeat() {
    if (!canRepeat()) return false;
    if (step_ == SensoryStep::Instruction || step_ == SensoryStep::Finished) {
        // Back to the trial just done; what it recorded stays in the data set, set aside.
        current_ -= 1;
        if (RecordedTrial* kept = keptAttemptOf(current_)) kept->discarded = true;
    }
    step_ = SensoryStep::Instruction;
    afterTrial_ = false;
    return true;
}

bool SensoryProtocol::canSkip() const {
    return step_ != SensoryStep::Finished;
}

bool SensoryProtocol::skip() {
    if (!canSkip()) return false;
    advance();
    return true;
}

void SensoryProtocol::stop() {
    if (step_ == SensoryStep::Finished) return;
    step_ = SensoryStep::Finished;
    stopped_ = true;
    afterTrial_ = false;
}

int SensoryProtocol::keptAttempts(SensoryCondition condition) const {
    return static_cast<int>(std::count_if(attempts_.begin(), attempts_.end(), [&](const auto& a) {
        return a.trial.condition == condition && !a.discarded;
    }));
}

void SensoryProtocol::advance() {
    ++current_;
    afterTrial_ = true;
    step_ = current_ >= plan_.trialCount() ? SensoryStep::Finished : SensoryStep::Instruction;
}

RecordedTrial* SensoryProtocol::keptAttemptOf(int index) {
    for (auto it = attempts_.rbegin(); it != attempts_.rend(); ++it)
        if (it->trial.index == index && !it->discarded) return &*it;
    return nullptr;
}

std::string conditionTitle(SensoryCondition condition) {
    std::string title = eyesClosed(condition) ? "eyes closed" : "eyes open";
    title += onFoam(condition) ? ", on foam" : ", firm plate";
    return title;
}

SensoryInstruction sensoryInstruction(const SensoryProtocol& protocol) {
    SensoryInstruction instruction;
    auto& lines = instruction.lines;
    if (protocol.step() == SensoryStep::Finished) {
        instruction.heading = protocol.stopped() ? "Test stopped" : "Test complete";
        if (protocol.padOn()) lines.push_back("Take the foam pad off the plate.");
        lines.push_back("Help the subject step off the plate.");
        lines.push_back("Every recorded trial is kept. Press Finish to save the data set.");
        return instruction;
    }
    const SensoryTrial trial = protocol.trial();
    const SensoryCondition c = trial.condition;
    instruction.heading = "Trial " + std::to_string(trial.number) + " of " +
                          std::to_string(protocol.plan().trialsPerCondition) + ", " +
                          conditionTitle(c);
    switch (protocol.step()) {
        case SensoryStep::Instruction:
            if (onFoam(c) && !protocol.padOn())
                lines.push_back(
                    "Put the foam pad on the plate, centred, then help the subject "
                    "onto it.");
            lines.push_back(std::string("Stand still ") +
                            (onFoam(c) ? "on the foam pad" : "on the plate") +
                            ", feet as marked, arms by the sides.");
            lines.push_back(eyesClosed(c)
                                ? "Close the eyes and keep them closed until the trial ends."
                                : "Keep the eyes open and look at the mark on the wall.");
            lines.push_back("Press Start (or Enter) when the subject is ready.");
            break;
        case SensoryStep::Countdown:
            lines.push_back("Recording starts in a moment. Stand still.");
            break;
        case SensoryStep::Recording:
            lines.push_back(eyesClosed(c) ? "Recording. Eyes closed, stand still."
                                          : "Recording. Look at the mark, stand still.");
            break;
        case SensoryStep::Finished:
            break;
    }
    return instruction;
}

}  // namespace kenvo
