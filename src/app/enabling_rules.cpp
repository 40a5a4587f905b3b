#include "enabling_rules.h"

#include <algorithm>
#include <array>

#include "analysis/table_descriptors.h"
#include "command_ids.h"
#include "model/measurement_store.h"

namespace kenvo {

namespace {

// Every command that would take the window from a running test or change what it records
// waits until the test's own Exit: the file and settings commands, the other tests, the
// replay, every table, graph and analysis view, the track parameters the reader thread is
// following, and the blank view, which would take the test's bar and with it its Exit. A
// new command that shows something in the view or touches the store joins this list.
constexpr auto WaitForTheTest = std::to_array<int32_t>({
    CmdOpen,
    CmdSave,
    CmdOpenCfg,
    CmdSaveCfg,
    CmdPrint,
    CmdSubjectInfo,
    CmdSubjects,
    CmdStanceTest,
    CmdContinueStance,
    CmdTargetTest,
    CmdDrivingTest,
    CmdContinueDriving,
    CmdSensoryTest,
    CmdCheck,
    CmdRealSimulation,
    CmdNewProtocol,
    CmdOpenProtocol,
    CmdSaveProtocol,
    CmdGraphSetup,
    CmdDaGraphSetup,
    CmdBatchAnalysis,
    CmdSummary,
    CmdIntervalSummary,
    CmdAttempt,
    CmdTargetSummary,
    CmdDrivingSummary,
    CmdFrequencyAnalysis,
    CmdClinicalMeasures,
    CmdClinicalSetup,
    CmdClinicalFiles,
    CmdSensoryResults,
    CmdReportSetup,
    CmdExportReport,
    CmdGraphReport,
    CmdDifusAnalysis,
    CmdWholeAttempt,
    CmdFitY,
    CmdPerformDialog,
    CmdBlankView,
});

// An empty data set is not offered for saving either.
constexpr auto NeedAttempts = std::to_array<int32_t>({
    CmdSave,
    CmdSummary,
    CmdIntervalSummary,
    CmdAttempt,
    CmdTargetSummary,
    CmdDrivingSummary,
    CmdFrequencyAnalysis,
    CmdClinicalMeasures,
    CmdSensoryResults,
    CmdExportReport,
    CmdDifusAnalysis,
    CmdGraphReport,
    CmdWholeAttempt,
    CmdFitY,
});

template <std::size_t N>
bool contains(const std::array<int32_t, N>& ids, int32_t id) {
    return std::find(ids.begin(), ids.end(), id) != ids.end();
}

bool isRecentFile(int32_t id) {
    return id >= CmdRecentFile1 && id < CmdRecentFile1 + RecentFileCount;
}

}  // namespace

bool testHoldsTheWindow(const MeasurementStore& store) {
    return store.testRunning != 0;
}

bool waitsForTheTest(int32_t id) {
    return contains(WaitForTheTest, id) || isRecentFile(id);
}

bool isCommandEnabled(int32_t id, const MeasurementStore& store, bool sensoryConditions) {
    if (waitsForTheTest(id) && testHoldsTheWindow(store)) return false;
    if (contains(NeedAttempts, id) && store.attemptCount <= 0) return false;
    // The target and driving results mean nothing for another kind of data set.
    if (id == CmdTargetSummary)
        return tableSuitsTestMode(SummaryTable::TargetSummary, store.settings.testMode);
    if (id == CmdDrivingSummary)
        return tableSuitsTestMode(SummaryTable::DrivingSummary, store.settings.testMode);
    if (id == CmdClinicalMeasures)
        return tableSuitsTestMode(SummaryTable::ClinicalMeasures, store.settings.testMode);
    // The report and the results are those of a stance data set; the results view compares
    // conditions, so it waits for attempts that have them.
    if (id == CmdExportReport || id == CmdSensoryResults) {
        if (!tableSuitsTestMode(SummaryTable::ClinicalMeasures, store.settings.testMode)) return false;
        return id == CmdExportReport || sensoryConditions;
    }
    if (id == CmdSetLogo) return false;
    return true;
}

}  // namespace kenvo
