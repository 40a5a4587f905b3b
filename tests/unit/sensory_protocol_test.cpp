// The sensory balance test's guide without the window: the order of the trials, Repeat, Skip
// and Stop, the limits of the plan, the instructions, and the attempts' conditions as the
// sidecar keeps them.
#include <gtest/gtest.h>

#include <memory>

#include "model/measurement_store.h"
#include "procedures/sensory_attempts.h"
#include "procedures/sensory_protocol.h"

namespace kenvo::test {
namespace {

using C = SensoryCondition;

// Runs one trial through Start, the countdown and the recording of `attempt`.
void record(SensoryProtocol& p, int attempt) {
    ASSERT_TRUE(p.start());
    ASSERT_EQ(p.step(), SensoryStep::Countdown);
    ASSERT_TRUE(p.countdownDone());
    ASSERT_EQ(p.step(), SensoryStep::Recording);
    ASSERT_TRUE(p.attemptRecorded(attempt));
}

TEST(SensoryPlan, LimitsOfTrialsAndDuration) {
    EXPECT_EQ(sensoryPlanProblem({}), "");
    EXPECT_EQ(SensoryPlan{}.trialCount(), 12);
    EXPECT_EQ(sensoryPlanProblem({1, 10}), "");
    EXPECT_EQ(sensoryPlanProblem({5, 300}), "");
    EXPECT_NE(sensoryPlanProblem({0, 60}), "");
    EXPECT_NE(sensoryPlanProblem({6, 60}), "");
    EXPECT_NE(sensoryPlanProblem({3, 9}), "");
    EXPECT_NE(sensoryPlanProblem({3, 301}), "");
    // The guide itself never runs outside the limits.
    EXPECT_EQ(SensoryProtocol({0, 5}).plan(), (SensoryPlan{1, 10}));
    EXPECT_EQ(SensoryProtocol({9, 999}).plan(), (SensoryPlan{5, 300}));
}

TEST(SensoryProtocol, TrialsFollowTheFixedOrderOfTheConditions) {
    SensoryProtocol p({2, 10});
    const C order[] = {C::EoFirm, C::EoFirm, C::EcFirm, C::EcFirm,
                       C::EoFoam, C::EoFoam, C::EcFoam, C::EcFoam};
    for (int i = 0; i < 8; ++i) {
        ASSERT_EQ(p.step(), SensoryStep::Instruction) << i;
        EXPECT_EQ(p.trial().index, i);
        EXPECT_EQ(p.trial().condition, order[i]) << i;
        EXPECT_EQ(p.trial().number, i % 2 + 1) << i;
        record(p, i);
    }
    EXPECT_EQ(p.step(), SensoryStep::Finished);
    EXPECT_FALSE(p.stopped());
    ASSERT_EQ(p.attempts().size(), 8u);
    for (int i = 0; i < 8; ++i) {
        EXPECT_EQ(p.attempts()[i].attempt, i);
        EXPECT_EQ(p.attempts()[i].trial.condition, order[i]);
        EXPECT_FALSE(p.attempts()[i].discarded);
    }
    for (C c : SensoryConditions) EXPECT_EQ(p.keptAttempts(c), 2);
}

TEST(SensoryProtocol, EventsOutOfTheirStepAreRefusedAndChangeNothing) {
    SensoryProtocol p({1, 10});
    EXPECT_FALSE(p.countdownDone());
    EXPECT_FALSE(p.attemptRecorded(0));
    // Nothing was done yet, so there is nothing to repeat.
    EXPECT_FALSE(p.canRepeat());
    EXPECT_FALSE(p.repeat());
    ASSERT_TRUE(p.start());
    EXPECT_FALSE(p.start());
    EXPECT_FALSE(p.attemptRecorded(0));  // not recording yet
    ASSERT_TRUE(p.countdownDone());
    EXPECT_FALSE(p.countdownDone());
    EXPECT_FALSE(p.start());
    EXPECT_EQ(p.step(), SensoryStep::Recording);
    EXPECT_TRUE(p.attempts().empty());
}

TEST(SensoryProtocol, RepeatAfterATrialDiscardsItsAttemptAndRecordsTheTrialAgain) {
    SensoryProtocol p({3, 10});
    record(p, 0);
    record(p, 1);
    // At trial 3's instruction: trial 2 (attempt 1) went wrong.
    ASSERT_TRUE(p.canRepeat());
    ASSERT_TRUE(p.repeat());
    EXPECT_EQ(p.step(), SensoryStep::Instruction);
    EXPECT_EQ(p.trial().index, 1);
    EXPECT_EQ(p.trial().number, 2);
    EXPECT_FALSE(p.attempts()[0].discarded);
    EXPECT_TRUE(p.attempts()[1].discarded);
    // One Repeat goes back one trial, not further.
    EXPECT_FALSE(p.canRepeat());
    EXPECT_FALSE(p.repeat());
    record(p, 2);
    EXPECT_EQ(p.trial().index, 2);
    ASSERT_EQ(p.attempts().size(), 3u);
    EXPECT_EQ(p.attempts()[2].trial.index, 1);
    EXPECT_FALSE(p.attempts()[2].discarded);
    EXPECT_EQ(p.keptAttempts(C::EoFirm), 2);
    // Repeating the repeated trial sets aside the newest attempt, not the first one again.
    ASSERT_TRUE(p.repeat());
    EXPECT_TRUE(p.attempts()[1].discarded);
    EXPECT_TRUE(p.attempts()[2].discarded);
    EXPECT_FALSE(p.attempts()[0].discarded);
    EXPECT_EQ(p.keptAttempts(C::EoFirm), 1);
}

TEST(SensoryProtocol, RepeatDuringTheCountdownOrRecordingStartsTheTrialAgainWithoutAnAttempt) {
    SensoryProtocol p({1, 10});
    ASSERT_TRUE(p.start());
    ASSERT_TRUE(p.repeat());
    EXPECT_EQ(p.step(), SensoryStep::Instruction);
    EXPECT_EQ(p.trial().index, 0);
    ASSERT_TRUE(p.start());
    ASSERT_TRUE(p.countdownDone());
    ASSERT_TRUE(p.repeat());
    EXPECT_EQ(p.step(), SensoryStep::Instruction);
    EXPECT_EQ(p.trial().index, 0);
    EXPECT_TRUE(p.attempts().empty());
    // Back at the first instruction there is no trial before it to repeat.
    EXPECT_FALSE(p.canRepeat());
}

TEST(SensoryProtocol, RepeatAtTheEndGoesBackToTheLastTrial) {
    SensoryProtocol p({1, 10});
    for (int i = 0; i < 4; ++i) record(p, i);
    ASSERT_EQ(p.step(), SensoryStep::Finished);
    ASSERT_TRUE(p.repeat());
    EXPECT_EQ(p.step(), SensoryStep::Instruction);
    EXPECT_EQ(p.trial().condition, C::EcFoam);
    EXPECT_TRUE(p.attempts()[3].discarded);
    EXPECT_EQ(p.keptAttempts(C::EcFoam), 0);
    record(p, 4);
    EXPECT_EQ(p.step(), SensoryStep::Finished);
    EXPECT_EQ(p.keptAttempts(C::EcFoam), 1);
}

TEST(SensoryProtocol, SkipLeavesATrialWithoutAnAttemptFromAnyStepButTheEnd) {
    SensoryProtocol p({1, 10});
    ASSERT_TRUE(p.skip());  // at the instruction
    EXPECT_EQ(p.trial().condition, C::EcFirm);
    ASSERT_TRUE(p.start());
    ASSERT_TRUE(p.skip());  // during the countdown
    EXPECT_EQ(p.trial().condition, C::EoFoam);
    ASSERT_TRUE(p.start());
    ASSERT_TRUE(p.countdownDone());
    ASSERT_TRUE(p.skip());  // during the recording
    EXPECT_EQ(p.trial().condition, C::EcFoam);
    record(p, 0);
    EXPECT_EQ(p.step(), SensoryStep::Finished);
    EXPECT_FALSE(p.canSkip());
    EXPECT_FALSE(p.skip());
    ASSERT_EQ(p.attempts().size(), 1u);
    EXPECT_EQ(p.attempts()[0].trial.condition, C::EcFoam);
    EXPECT_EQ(p.keptAttempts(C::EoFirm), 0);
}

TEST(SensoryProtocol, RepeatAfterASkipGoesBackToTheSkippedTrialAndDiscardsNothing) {
    SensoryProtocol p({2, 10});
    record(p, 0);
    ASSERT_TRUE(p.skip());
    ASSERT_TRUE(p.repeat());
    EXPECT_EQ(p.trial().index, 1);
    EXPECT_FALSE(p.attempts()[0].discarded);
}

TEST(SensoryProtocol, StopEndsAtOnceKeepingTheRecordedAttempts) {
    SensoryProtocol p({3, 10});
    record(p, 0);
    record(p, 1);
    ASSERT_TRUE(p.start());
    ASSERT_TRUE(p.countdownDone());
    p.stop();
    EXPECT_EQ(p.step(), SensoryStep::Finished);
    EXPECT_TRUE(p.stopped());
    EXPECT_EQ(p.attempts().size(), 2u);
    EXPECT_EQ(p.keptAttempts(C::EoFirm), 2);
    // Nothing moves after a Stop: no late attempt, no repeat, no skip.
    EXPECT_FALSE(p.attemptRecorded(2));
    EXPECT_FALSE(p.canRepeat());
    EXPECT_FALSE(p.skip());
    EXPECT_EQ(sensoryInstruction(p).heading, "Test stopped");
}

bool mentions(const SensoryInstruction& i, const std::string& words) {
    for (const auto& line : i.lines)
        if (line.find(words) != std::string::npos) return true;
    return false;
}

TEST(SensoryInstruction, TellsTheConditionWhatToDoAndWhenThePadGoesOnAndOff) {
    SensoryProtocol p({3, 10});
    SensoryInstruction first = sensoryInstruction(p);
    EXPECT_EQ(first.heading, "Trial 1 of 3, eyes open, firm plate");
    EXPECT_TRUE(mentions(first, "look at the mark on the wall"));
    EXPECT_TRUE(mentions(first, "feet as marked, arms by the sides"));
    EXPECT_FALSE(mentions(first, "foam pad"));
    for (int i = 0; i < 3; ++i) record(p, i);
    EXPECT_EQ(sensoryInstruction(p).heading, "Trial 1 of 3, eyes closed, firm plate");
    EXPECT_TRUE(mentions(sensoryInstruction(p), "keep them closed"));
    for (int i = 3; i < 6; ++i) record(p, i);
    // Before the first foam trial the pad goes on, and only then.
    EXPECT_TRUE(mentions(sensoryInstruction(p), "Put the foam pad on"));
    record(p, 6);
    EXPECT_FALSE(mentions(sensoryInstruction(p), "Put the foam pad on"));
    ASSERT_TRUE(p.skip());
    ASSERT_TRUE(p.skip());
    ASSERT_TRUE(p.repeat());  // the last eyes-open foam trial again
    EXPECT_EQ(sensoryInstruction(p).heading, "Trial 3 of 3, eyes open, on foam");
    for (int i = 0; i < 4; ++i) ASSERT_TRUE(p.skip());
    ASSERT_EQ(p.step(), SensoryStep::Finished);
    EXPECT_EQ(sensoryInstruction(p).heading, "Test complete");
    EXPECT_TRUE(mentions(sensoryInstruction(p), "Take the foam pad off"));
}

TEST(SensoryInstruction, ThePadIsAnnouncedOnceAndOnlyTakenOffWhenItIsOn) {
    SensoryProtocol p({1, 10});
    record(p, 0);
    record(p, 1);
    ASSERT_TRUE(mentions(sensoryInstruction(p), "Put the foam pad on"));
    // Started, then repeated from the countdown: the pad is already on.
    ASSERT_TRUE(p.start());
    EXPECT_TRUE(p.padOn());
    ASSERT_TRUE(p.repeat());
    EXPECT_FALSE(mentions(sensoryInstruction(p), "Put the foam pad on"));
    // All foam trials skipped before one started: the pad never went on.
    SensoryProtocol q({1, 10});
    record(q, 0);
    record(q, 1);
    ASSERT_TRUE(q.skip());
    ASSERT_TRUE(mentions(sensoryInstruction(q), "Put the foam pad on"));
    ASSERT_TRUE(q.skip());
    ASSERT_EQ(q.step(), SensoryStep::Finished);
    EXPECT_FALSE(q.padOn());
    EXPECT_FALSE(mentions(sensoryInstruction(q), "foam pad"));
    EXPECT_TRUE(mentions(sensoryInstruction(q), "step off"));
}

// A data set with `count` stance attempts started one minute apart.
std::unique_ptr<MeasurementStore> dataSet(int count, int32_t firstStart = 1'700'000'000) {
    auto store = std::make_unique<MeasurementStore>();
    store->attemptCount = count;
    for (int a = 0; a < count; ++a)
        store->startTime[static_cast<std::size_t>(a)] = firstStart + 60 * a;
    return store;
}

TEST(SensoryAttempts, ConditionsAndDiscardedAttemptsGoIntoTheSidecar) {
    auto store = dataSet(5);
    SensoryAttempts record;
    record.setCondition(*store, 0, C::EoFirm);
    record.setCondition(*store, 1, C::EoFirm);
    record.setCondition(*store, 2, C::EcFirm);
    // Attempt 3 was recorded by a plain Continue: no condition.
    record.setCondition(*store, 4, C::EcFoam);
    record.setDiscarded(0, true);
    Sidecar sidecar;
    sidecar.patientCode = "P-7";
    record.toSidecar(*store, sidecar);
    EXPECT_EQ(sidecar.protocol, std::optional<std::string>("sensory"));
    ASSERT_TRUE(sidecar.conditions);
    const std::vector<std::optional<std::string>> expected = {"eo-firm", "eo-firm", "ec-firm",
                                                              std::nullopt, "ec-foam"};
    EXPECT_EQ(*sidecar.conditions, expected);
    EXPECT_EQ(sidecar.discardedAttempts, std::vector<int>{0});
    EXPECT_EQ(sidecar.patientCode, std::optional<std::string>("P-7"));  // left alone

    // Read back beside the same data set: the same record.
    SensoryAttempts again;
    again.fromSidecar(sidecar, *store);
    Sidecar roundTrip;
    again.toSidecar(*store, roundTrip);
    EXPECT_EQ(roundTrip.conditions, sidecar.conditions);
    EXPECT_EQ(roundTrip.discardedAttempts, sidecar.discardedAttempts);
    EXPECT_TRUE(again.discarded(*store, 0));
    EXPECT_FALSE(again.discarded(*store, 1));
}

TEST(SensoryAttempts, ARecordOfAReplacedDataSetNoLongerCounts) {
    auto store = dataSet(2);
    SensoryAttempts record;
    record.setCondition(*store, 0, C::EoFirm);
    record.setCondition(*store, 1, C::EcFirm);
    record.setDiscarded(1, true);
    ASSERT_TRUE(record.any(*store));
    // A new plain stance test: the same slots, other start times.
    auto other = dataSet(2, 1'800'000'000);
    EXPECT_FALSE(record.any(*other));
    EXPECT_FALSE(record.discarded(*other, 1));
    Sidecar sidecar;
    sidecar.protocol = "left over";
    sidecar.conditions.emplace(1, "eo-firm");
    sidecar.discardedAttempts = {0};
    record.toSidecar(*other, sidecar);
    EXPECT_FALSE(sidecar.protocol);
    EXPECT_FALSE(sidecar.conditions);
    EXPECT_TRUE(sidecar.discardedAttempts.empty());
    // A new attempt in a stale slot starts afresh: not discarded as the old one was.
    record.setCondition(*other, 1, C::EoFoam);
    EXPECT_EQ(record.condition(*other, 1), C::EoFoam);
    EXPECT_FALSE(record.discarded(*other, 1));
    EXPECT_FALSE(record.condition(*other, 0));
    // Fewer attempts than entries: only the store's attempts count.
    store->attemptCount = 1;
    EXPECT_FALSE(record.condition(*store, 1));
}

TEST(SensoryAttempts, ASidecarLongerThanTheFileOrWithUnknownNamesIsTakenAsFarAsItFits) {
    auto store = dataSet(2);
    Sidecar sidecar;
    sidecar.protocol = "sensory";
    sidecar.conditions = std::vector<std::optional<std::string>>{"ec-foam", "eyes-shut", "eo-firm"};
    sidecar.discardedAttempts = {1, 2, -1};
    SensoryAttempts record;
    record.fromSidecar(sidecar, *store);
    EXPECT_EQ(record.condition(*store, 0), C::EcFoam);
    EXPECT_FALSE(record.condition(*store, 1));
    EXPECT_TRUE(record.discarded(*store, 1));
    EXPECT_FALSE(record.discarded(*store, 0));
    Sidecar out;
    record.toSidecar(*store, out);
    ASSERT_TRUE(out.conditions);
    EXPECT_EQ(out.conditions->size(), 2u);
    EXPECT_EQ(out.discardedAttempts, std::vector<int>{1});
    // A sidecar without conditions empties the record.
    record.fromSidecar(Sidecar{}, *store);
    EXPECT_FALSE(record.any(*store));
}

}  // namespace
}  // namespace kenvo::test
