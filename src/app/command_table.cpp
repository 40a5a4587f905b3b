#include "command_table.h"

#include <array>

#include "command_ids.h"

namespace kenvo {

namespace {

using H = Handler;
using M = MenuPlace;

constexpr auto Commands = std::to_array<CommandInfo>({
    {CmdOpen, M::File, "&Open ", "Ctrl+O", H::Frame, "Open a measurement file", "Open"},
    {CmdSave, M::File, "Save ", "", H::Frame, "Save the measurements to a file", "Save"},
    {CmdOpenCfg, M::File, "Open cfg", "", H::Frame, "Open a configuration file",
     "Open configuration"},
    {CmdSaveCfg, M::File, "Save cfg", "", H::Frame, "Save the settings to a configuration file",
     "Save configuration"},
    {CmdPrint, M::File, "&Print...", "Ctrl+P", H::View, "Print the current view", "Print"},
    {CmdPrintPreview, M::File, "Print Pre&view", "", H::View, "Show the printed pages", ""},
    {CmdClinicalFiles, M::File, "Clinical measures of files...", "", H::View,
     "Clinical measures of every attempt of several files into one CSV file", ""},
    {CmdExportReport, M::File, "Export report as PDF...", "", H::View,
     "The one-page clinical report of this data set as a PDF file", ""},
    {CmdSetLogo, M::File, "Set LOGO", "", H::Frame, "Choose the logo of the printed reports", ""},
    {CmdExit, M::File, "E&xit", "", H::Application, "Quit the program (the settings are saved)",
     ""},
    {CmdSubjectInfo, M::Subject, "Subject Info", "", H::Application,
     "Edit the subject's name, sex, height, weight and comments", "Subject Info"},
    {CmdSubjects, M::Subject, "Subjects...", "", H::Application,
     "The subject register: every subject, their sessions and history", ""},
    {CmdStanceTest, M::Test, "Stance test", "", H::View, "Start a new stance test", "Stance test"},
    {CmdContinueStance, M::Test, "Continue stance test with same subject", "", H::View,
     "Record more stance attempts of the same subject", "Continue stance test"},
    {CmdTargetTest, M::Test, "Target hiting test", "", H::View, "Start a target hitting test",
     "Target hitting test"},
    {CmdDrivingTest, M::Test, "Driving test", "", H::View, "Start a new driving test",
     "Driving test"},
    {CmdContinueDriving, M::Test, "Continue driving test with same subject", "", H::View,
     "Record more driving attempts of the same subject", "Continue driving test"},
    {CmdSensoryTest, M::Test, "Sensory balance test", "", H::Application,
     "Eyes open and closed, on the firm plate and on foam, guided trial by trial", ""},
    {CmdCheck, M::Test, "Check", "", H::Application, "Show the load cells and set their zero",
     "Check"},
    {CmdRealSimulation, M::View, "Real simulation", "", H::View,
     "Replay a recorded attempt in real time", "Real simulation"},
    {CmdSummary, M::ViewDigital, "Summary", "", H::View, "Sway parameters of every attempt",
     "Summary"},
    {CmdIntervalSummary, M::ViewDigital, "Interval Summary", "", H::View,
     "Sway parameters of one attempt per interval", "Interval Summary"},
    {CmdAttempt, M::ViewDigital, "Attempt", "", H::View, "Sway parameters of one attempt",
     "Attempt"},
    {CmdTargetSummary, M::ViewDigital, "Target Summary", "", H::View,
     "Results of the target hitting attempts", "Target Summary"},
    {CmdDrivingSummary, M::ViewDigital, "Driving Summary", "", H::View,
     "Results of the driving attempts", "Driving Summary"},
    {CmdFrequencyAnalysis, M::ViewDigital, "Frequency Analysis", "", H::View,
     "Half-wave analysis of every attempt", "Frequency Analysis"},
    {CmdClinicalMeasures, M::View, "Clinical measures", "", H::View,
     "Clinical sway measures of every attempt, with their mean and SD", ""},
    {CmdSensoryResults, M::View, "Sensory results", "", H::View,
     "The sensory test's results per condition against the reference values", ""},
    {CmdGraphReport, M::View, "Graph report", "", H::View, "Time graphs of one attempt",
     "Graph report"},
    {CmdDifusAnalysis, M::View, "Difus analysis", "", H::View,
     "Stabilogram diffusion analysis of one attempt", "Difus analysis"},
    {CmdWholeAttempt, M::View, "Whole attempt", "", H::View,
     "Graph report: show the whole attempt again after zooming", ""},
    {CmdFitY, M::View, "Fit Y axes", "", H::View,
     "Graph report: scale the value axes to the data shown (the graph settings stay as they are)",
     ""},
    {CmdGraphSetup, M::Setup, "Graph Setup", "", H::Application,
     "Axes, time window and COP display of the graphs", "Graph Setup"},
    {CmdDaGraphSetup, M::Setup, "DA Graph Setup", "", H::Frame,
     "Axes of the diffusion analysis graph", "DA Graph Setup"},
    {CmdClinicalSetup, M::Setup, "Clinical measures setup...", "", H::View,
     "Low-pass filter of the clinical measures and the 95 % ellipse of the pictures", ""},
    {CmdReportSetup, M::Setup, "Report setup...", "", H::View,
     "The clinic's name and logo on the clinical report", ""},
    {CmdNewProtocol, M::Setup, "New protocol", "", H::Frame,
     "Make a new target sequence for the target hitting test", "New protocol"},
    {CmdOpenProtocol, M::Setup, "Open protocol", "", H::Frame, "Open a target protocol file",
     "Open protocol"},
    {CmdSaveProtocol, M::Setup, "Save  protocol", "", H::Frame,
     "Save the target protocol to a file", "Save protocol"},
    {CmdAbout, M::About, "&About KenvoPlat", "", H::Application,
     "Program information, version and copyright", "About"},
    {CmdBatchAnalysis, M::None, "Batch analysis", "", H::View,
     "Analyse several measurement files into one spreadsheet", "Batch analysis"},
    {CmdPerformDialog, M::None, "Perform dialog", "Ctrl+F8", H::Application,
     "Parameters of the driving track", ""},
    {CmdBlankView, M::None, "Blank view", "", H::View, "Clear the view", ""},
});

constexpr auto Toolbar = std::to_array<int32_t>({CmdOpen,
                                                 CmdSave,
                                                 0,
                                                 CmdOpenCfg,
                                                 CmdSaveCfg,
                                                 0,
                                                 CmdPrint,
                                                 0,
                                                 CmdSubjectInfo,
                                                 0,
                                                 CmdStanceTest,
                                                 CmdContinueStance,
                                                 CmdTargetTest,
                                                 CmdDrivingTest,
                                                 CmdContinueDriving,
                                                 0,
                                                 CmdCheck,
                                                 0,
                                                 CmdRealSimulation,
                                                 0,
                                                 CmdSummary,
                                                 CmdIntervalSummary,
                                                 CmdAttempt,
                                                 CmdTargetSummary,
                                                 CmdDrivingSummary,
                                                 CmdFrequencyAnalysis,
                                                 CmdGraphReport,
                                                 CmdDifusAnalysis,
                                                 CmdBatchAnalysis,
                                                 0,
                                                 CmdGraphSetup,
                                                 CmdDaGraphSetup,
                                                 0,
                                                 CmdNewProtocol,
                                                 CmdOpenProtocol,
                                                 CmdSaveProtocol,
                                                 0,
                                                 CmdAbout});

}  // namespace

std::span<const CommandInfo> commandTable() {
    return Commands;
}

const CommandInfo* findCommand(int32_t id) {
    for (const auto& c : Commands)
        if (c.id == id) return &c;
    return nullptr;
}

std::span<const int32_t> toolbarLayout() {
    return Toolbar;
}

}  // namespace kenvo
