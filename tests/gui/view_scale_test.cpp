// The view at the window's first size draws exactly what the golden file holds, for every
// view: the live stance panels, the replay, the tables with their list, the graph report, the
// diffusion page, the target and driving displays and the clinical views.
#include <QCoreApplication>
#include <algorithm>
#include <cstdlib>
#include <ctime>
#include <fstream>

#include "evaluation_controller.h"
#include "register_window_fixture.h"
#include "sensory_report_commands.h"
#include "stance_support.h"
#include "subject_history_panel.h"
#include "support/synthetic_sway.h"
#include "sway_list.h"
#include "view_primitives.h"

namespace kenvo::test {
namespace {

constexpr int32_t FirstStart = 1'700'000'000;  // 14 November 2023

class ViewScale : public StanceFixture {
  protected:
    CKenvoPlatView& view() { return *frame().view(); }

    void windowAt(int width, int height) {
        frame().show();
        frame().resize(width, height);
        QCoreApplication::processEvents();
    }

    // `count` stance attempts of `seconds` s of reproducible sway, one minute apart.
    void stanceSet(int count, int seconds, int32_t testMode = TestModeStance) {
        MeasurementStore& s = state().store;
        s.subject.name = "Golden Subject";
        s.attemptSeconds = seconds;
        s.settings.testMode = testMode;
        for (int a = 0; a < count; ++a) {
            const auto sway = syntheticSway(seconds * 100, uint32_t(a + 1));
            std::copy(sway.begin(), sway.end(), s.samples(a));
            s.length[size_t(a)] = seconds * 100;
            s.startTime[size_t(a)] = FirstStart + 60 * a;
        }
        s.attemptCount = count;
        s.dataPresent = 1;
        if (s.calibration.scaleX <= 0.0f) s.calibration.scaleX = 175.0f;
        if (s.calibration.scaleY <= 0.0f) s.calibration.scaleY = 276.0f;
    }

    // What the view draws for the window's present size, then the list over it.
    std::vector<std::string> drawn() {
        RecordingSurface surface;
        view().renderer()(surface, ViewContext{view().mode(), state(),
                                               Rect{0, 0, view().width(), view().height()}});
        std::vector<std::string> lines = describeOps(surface);
        for (auto& line : describeList(frame().evaluation().list()))
            lines.push_back(std::move(line));
        return lines;
    }

    void run(std::vector<GoldenSection>& out, const std::string& name, int command) {
        frame().runCommand(command);
        QCoreApplication::processEvents();
        out.push_back({name, drawn()});
    }

    // Every view in a fixed order, on reproducible data sets.
    std::vector<GoldenSection> everyView() {
        std::vector<GoldenSection> out;
        out.push_back({"blank_empty", drawn()});
        stanceSet(3, 5);
        run(out, "blank_with_data", CmdBlankView);
        view().setMode(ViewMode::StanceTest);
        view().display().selectedAttempt = 1;
        out.push_back({"stance_panels", drawn()});
        run(out, "replay", CmdRealSimulation);
        run(out, "attempt_table", CmdAttempt);
        run(out, "summary", CmdSummary);
        run(out, "interval_summary", CmdIntervalSummary);
        run(out, "frequency_analysis", CmdFrequencyAnalysis);
        run(out, "clinical_measures", CmdClinicalMeasures);
        run(out, "graph_report", CmdGraphReport);
        run(out, "diffusion", CmdDifusAnalysis);

        stanceSet(3, 5, TestModeTargetHitting);
        run(out, "target_summary", CmdTargetSummary);
        view().setMode(ViewMode::TargetTest);
        out.push_back({"target_display", drawn()});
        stanceSet(2, 5, TestModeDriving);
        run(out, "driving_summary", CmdDrivingSummary);
        run(out, "driving_attempt_table", CmdAttempt);
        view().setMode(ViewMode::DrivingTest);
        out.push_back({"driving_display", drawn()});

        stanceSet(4, 5);
        const SensoryCondition conditions[] = {SensoryCondition::EoFirm, SensoryCondition::EcFirm,
                                               SensoryCondition::EoFoam, SensoryCondition::EcFoam};
        for (int a = 0; a < 4; ++a) state().sensory.setCondition(state().store, a, conditions[a]);
        run(out, "sensory_results", CmdSensoryResults);
        return out;
    }
};

TEST_F(ViewScale, AtTheFirstWindowSizeEveryViewDrawsWhatTheGoldenFileHolds) {
    auto golden = readGolden(KENVO_VIEW_GOLDEN);
    ASSERT_FALSE(golden.empty()) << "cannot read " << KENVO_VIEW_GOLDEN;
    std::erase_if(golden, [](const GoldenSection& s) { return s.name == "subject_trend_graph"; });
    windowAt(800, 560);
    const auto drawnNow = everyView();
    if (writeGolden(drawnNow) != writeGolden(golden)) {
        std::ofstream("view_golden_actual.txt") << writeGolden(drawnNow);
        ADD_FAILURE() << "the views differ from " << KENVO_VIEW_GOLDEN
                      << "; what is drawn now is in view_golden_actual.txt of the test's folder";
    }
    ASSERT_EQ(drawnNow.size(), golden.size());
    for (size_t i = 0; i < golden.size(); ++i) {
        EXPECT_EQ(drawnNow[i].name, golden[i].name);
        EXPECT_EQ(drawnNow[i].lines.size(), golden[i].lines.size()) << golden[i].name;
        EXPECT_GT(golden[i].lines.size(), 0u) << golden[i].name;
    }
}

// The Subjects window's trend graph as it first opens, after four visits.
using TrendGraphGolden = RegisterWindow;

std::vector<std::string> trendGraphOfFourVisits(SubjectsDialog& dialog,
                                                const RegisterSubject& subject) {
    dialog.chooseSubject(subject.id);
    SubjectHistoryPanel* history = dialog.history();
    history->setMeasure(ClinicalMeasure::Area95);
    RecordingSurface surface;
    history->graphWidget()->draw(surface);
    return describeOps(surface);
}

TEST_F(TrendGraphGolden, TheSubjectsWindowsTrendGraphDrawsWhatTheGoldenFileHolds) {
    // The calendar ticks fall on local midnights; the golden file was taken in UTC.
    const std::string zoneBefore = std::getenv("TZ") ? std::getenv("TZ") : "";
    const bool hadZone = std::getenv("TZ") != nullptr;
    setenv("TZ", "UTC", 1);
    tzset();
    struct RestoreZone {
        std::string zone;
        bool had;
        ~RestoreZone() {
            if (had)
                setenv("TZ", zone.c_str(), 1);
            else
                unsetenv("TZ");
            tzset();
        }
    } restore{zoneBefore, hadZone};
    const RegisterSubject jana = addSubject("Jana Novakova", "P-0042");
    SubjectsDialog& dialog = subjects();
    dialog.chooseSubject(jana.id);
    dialog.newTestForSubject();
    for (int visit = 0; visit < 4; ++visit) {
        record(2, FirstVisit + visit * Month);
        ASSERT_TRUE(save("DATA/v" + std::to_string(visit) + ".kplat"));
    }
    dialog.show();
    QCoreApplication::processEvents();
    const GoldenSection drawnNow{"subject_trend_graph", trendGraphOfFourVisits(dialog, jana)};
    const auto golden = readGolden(KENVO_VIEW_GOLDEN);
    const auto it = std::find_if(golden.begin(), golden.end(), [](const GoldenSection& s) {
        return s.name == "subject_trend_graph";
    });
    if (it == golden.end() || it->lines != drawnNow.lines)
        std::ofstream("trend_golden_actual.txt") << writeGolden({drawnNow});
    ASSERT_NE(it, golden.end()) << "no trend graph in " << KENVO_VIEW_GOLDEN;
    EXPECT_EQ(it->lines, drawnNow.lines);
}

}  // namespace
}  // namespace kenvo::test
