#pragma once

#include <cstdint>

namespace kenvo {

// Every command of the program by its numeric id: menus, the toolbar, the accelerators and
// the buttons of the dialog bars all send these.
enum CommandId : int32_t {
    CmdOpen = 57601,
    CmdSave = 32788,
    CmdOpenCfg = 32781,
    CmdSaveCfg = 32782,
    CmdPrint = 57607,
    CmdPrintPreview = 57609,
    CmdSetLogo = 32826,
    CmdExit = 57665,
    CmdSubjectInfo = 32771,
    CmdStanceTest = 32799,
    CmdContinueStance = 32808,
    CmdTargetTest = 32809,
    CmdDrivingTest = 32772,
    CmdContinueDriving = 32818,
    CmdCheck = 32773,
    CmdRealSimulation = 32774,
    CmdSummary = 32775,
    CmdIntervalSummary = 32776,
    CmdAttempt = 32777,
    CmdTargetSummary = 32806,
    CmdDrivingSummary = 32821,
    CmdFrequencyAnalysis = 32829,
    CmdGraphReport = 32798,
    CmdDifusAnalysis = 32795,
    CmdGraphSetup = 32779,
    CmdDaGraphSetup = 32796,
    CmdNewProtocol = 32803,
    CmdOpenProtocol = 32804,
    CmdSaveProtocol = 32805,
    CmdAbout = 57664,
    CmdBatchAnalysis = 32832,
    CmdPerformDialog = 32819,
    CmdBlankView = 32794,
    CmdClinicalMeasures = 32840,
    CmdClinicalSetup = 32841,
    CmdClinicalFiles = 32842,
    CmdSubjects = 32843,
    CmdSensoryTest = 32850,
    CmdSensoryResults = 32851,
    CmdReportSetup = 32852,
    CmdExportReport = 32853,
    // The graph report's way back from zooms and its value axes fitted to the data.
    CmdWholeAttempt = 32860,
    CmdFitY = 32861,
    // The first entry of the recent-file list; the others follow.
    CmdRecentFile1 = 57616,
};

inline constexpr int32_t RecentFileCount = 4;

// The view's modes; each view command sets one.
enum class ViewMode : int32_t {
    Blank = 0,
    StanceTest = 1,
    RealSimulation = 2,
    AttemptTable = 3,
    Summary = 4,
    IntervalSummary = 5,
    DifusAnalysis = 7,
    GraphReport = 8,
    TargetTest = 9,
    TargetSummary = 10,
    DrivingTest = 11,
    DrivingSummary = 12,
    FrequencyAnalysis = 13,
    ClinicalMeasures = 20,
    SensoryResults = 21,
};

}  // namespace kenvo
