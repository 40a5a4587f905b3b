#include "enabling_rules.h"

#include <algorithm>
#include <array>

#include "command_ids.h"
#include "measurement/measurement_store.h"

namespace kenvo {

namespace {

// Disabled while a test runs. The batch analysis loads files into the store the reader thread
// is writing, and so does a recent file, so both wait as Open does.
constexpr auto IdleOnly = std::to_array<int32_t>({
    CmdOpen,           CmdSave,         CmdOpenCfg,         CmdSaveCfg,
    CmdPrint,          CmdSubjectInfo,  CmdStanceTest,      CmdContinueStance,
    CmdTargetTest,     CmdDrivingTest,  CmdContinueDriving, CmdCheck,
    CmdRealSimulation, CmdNewProtocol,  CmdOpenProtocol,    CmdSaveProtocol,
    CmdGraphSetup,     CmdDaGraphSetup, CmdBatchAnalysis,
});

constexpr auto NeedAttempts = std::to_array<int32_t>({
    CmdSummary,
    CmdIntervalSummary,
    CmdAttempt,
    CmdTargetSummary,
    CmdDrivingSummary,
    CmdFrequencyAnalysis,
    CmdDifusAnalysis,
});

template <std::size_t N>
bool contains(const std::array<int32_t, N>& ids, int32_t id) {
    return std::find(ids.begin(), ids.end(), id) != ids.end();
}

bool isRecentFile(int32_t id) {
    return id >= CmdRecentFile1 && id < CmdRecentFile1 + RecentFileCount;
}

}  // namespace

bool isCommandEnabled(int32_t id, const MeasurementStore& store) {
    const bool idle = store.testRunning == 0;
    if (contains(IdleOnly, id) || isRecentFile(id)) return idle;
    if (id == CmdGraphReport) return idle && store.attemptCount > 0;
    if (contains(NeedAttempts, id)) return store.attemptCount > 0;
    if (id == CmdSetLogo) return false;
    return true;
}

}  // namespace kenvo
