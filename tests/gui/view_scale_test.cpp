// The view at the window's first size draws exactly what the golden file holds, for every
// view: the live stance panels, the replay, the tables with their list, the graph report, the
// diffusion page, the target and driving displays and the clinical views.
#include <QCoreApplication>
#include <algorithm>
#include <fstream>

#include <QTest>

#include "evaluation_controller.h"
#include "graphs/layout_scale.h"
#include "register_window_fixture.h"
#include "sensory_report_commands.h"
#include "stance_support.h"
#include "subject_history_panel.h"
#include "support/synthetic_sway.h"
#include "support/time_zone.h"
#include "sway_list.h"
#include "view_primitives.h"

namespace kenvo::test {
namespace {

constexpr int32_t FirstStart = 1'700'000'000;  // 14 November 2023

class ViewScale : public StanceFixture {
  protected:
    CKenvoPlatView& view() { return *frame().view(); }
    int factor = 1;

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

    // The window sized so that the view is `factor` times its client size at the first window
    // size, with the bars the present view shows.
    void viewAtFactor(int factor) {
        windowAt(LayoutWindowWidth, LayoutWindowHeight);
        if (factor == 1) return;
        const QSize first = view().size();
        const QSize chrome = frame().size() - first;
        windowAt(factor * first.width() + chrome.width(),
                 factor * first.height() + chrome.height());
        EXPECT_EQ(view().size(), factor * first);
    }

    // What the view draws, in device pixels, then the list over it.
    std::vector<std::string> drawn() {
        viewAtFactor(factor);
        RecordingSurface surface;
        view().render(surface);
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

// Whether `drawn` is `golden` with every position doubled (within a device pixel), pens and
// text twice as large, a layout pixel two by two, and the list's place, columns and header
// doubled with the same cells.
void expectScaledByTwo(const std::string& golden, const std::string& drawn,
                       const std::string& where) {
    const ParsedLine g = parseLine(golden);
    const ParsedLine d = parseLine(drawn);
    const std::string context = where + ": " + golden + "  ->  " + drawn;
    if (g.kind == "Pixel") {
        ASSERT_EQ(d.kind, "Fill") << context;
        ASSERT_EQ(d.numbers.size(), 4u) << context;
        EXPECT_EQ(d.numbers, (std::vector<long>{2 * g.numbers[0], 2 * g.numbers[1],
                                                2 * g.numbers[0] + 2, 2 * g.numbers[1] + 2}))
            << context;
        EXPECT_EQ(d.keys.at("c"), g.keys.at("c")) << context;
        return;
    }
    ASSERT_EQ(d.kind, g.kind) << context;
    EXPECT_EQ(d.text, g.text) << context;
    ASSERT_EQ(d.numbers.size(), g.numbers.size()) << context;
    if (g.kind == "Column" || g.kind == "Row") {
        EXPECT_EQ(d.numbers[0], g.numbers[0]) << context;  // the index
        if (g.kind == "Column") {
            EXPECT_EQ(d.numbers[1], 2 * g.numbers[1]) << context;
        }
        return;
    }
    for (size_t i = 0; i < g.numbers.size(); ++i)
        EXPECT_LE(std::abs(d.numbers[i] - 2 * g.numbers[i]), g.kind == "List" ? 2 : 1) << context;
    for (const auto& [key, value] : g.keys) {
        ASSERT_TRUE(d.keys.count(key)) << context;
        if (key == "w" || key == "header")
            EXPECT_EQ(std::stol(d.keys.at(key)), 2 * std::stol(value)) << context;
        else if (key == "row")  // one line of the doubled font, which is about twice as high
            EXPECT_NEAR(std::stol(d.keys.at(key)), 2 * std::stol(value), 4) << context;
        else
            EXPECT_EQ(d.keys.at(key), value) << context;
    }
    if (g.kind == "Text") {
        EXPECT_EQ(d.keys.count("fs") ? d.keys.at("fs") : "1", "2") << context;
    }
}

TEST_F(ViewScale, AtTwiceTheClientSizeEveryViewIsTheGoldenDrawingScaledByTwo) {
    auto golden = readGolden(KENVO_VIEW_GOLDEN);
    std::erase_if(golden, [](const GoldenSection& s) { return s.name == "subject_trend_graph"; });
    factor = 2;
    const auto twice = everyView();
    ASSERT_EQ(twice.size(), golden.size());
    for (size_t i = 0; i < golden.size(); ++i) {
        const GoldenSection& g = golden[i];
        const GoldenSection& d = twice[i];
        ASSERT_EQ(d.name, g.name);
        if (g.name == "target_display" || g.name == "driving_display") {
            // These lay themselves out for the whole view instead: the background covers the
            // doubled view, everything else is drawn at its own place and size.
            ASSERT_EQ(d.lines.size(), g.lines.size()) << g.name;
            const ParsedLine background = parseLine(g.lines[0]);
            EXPECT_EQ(
                parseLine(d.lines[0]).numbers,
                (std::vector<long>{0, 0, 2 * background.numbers[2], 2 * background.numbers[3]}));
            EXPECT_TRUE(std::equal(g.lines.begin() + 1, g.lines.end(), d.lines.begin() + 1))
                << g.name;
            continue;
        }
        ASSERT_EQ(d.lines.size(), g.lines.size()) << g.name;
        for (size_t k = 0; k < g.lines.size(); ++k)
            expectScaledByTwo(g.lines[k], d.lines[k], g.name);
    }
}

TEST_F(ViewScale, AClickAtTheScaledPlaceSetsWhatTheClickAtTheFirstSizeSets) {
    stanceSet(2, 10);
    const QPoint left(450, 260), right(620, 200), lag(300, 240);
    const auto clicks = [&](int f) {
        frame().runCommand(CmdGraphReport);
        DisplayState& d = view().display();
        d.leftMarker = 0;
        d.rightMarker = d.rangeEnd;
        viewAtFactor(f);
        QTest::mouseClick(&view(), Qt::LeftButton, Qt::NoModifier, f * left);
        QTest::mouseClick(&view(), Qt::RightButton, Qt::NoModifier, f * right);
        const std::pair report{d.leftMarker, d.rightMarker};
        frame().runCommand(CmdDifusAnalysis);
        viewAtFactor(f);
        QTest::mouseClick(&view(), Qt::LeftButton, Qt::NoModifier, f * lag);
        return std::tuple{report.first, report.second, d.leftMarker};
    };
    const auto atFirstSize = clicks(1);
    EXPECT_GT(std::get<0>(atFirstSize), 0);
    EXPECT_GT(std::get<1>(atFirstSize), std::get<0>(atFirstSize));
    EXPECT_GT(std::get<2>(atFirstSize), 0);
    frame().runCommand(CmdBlankView);
    EXPECT_EQ(clicks(2), atFirstSize);
    EXPECT_EQ(view().layoutScale(), 2.0);
}

TEST_F(ViewScale, TimerTicksAreDrawnAtTheViewsScaleAndTheListFollowsAResize) {
    stanceSet(2, 5);
    frame().runCommand(CmdSummary);
    viewAtFactor(1);
    const QRect listAtFirstSize = frame().evaluation().list().geometry();
    viewAtFactor(2);
    EXPECT_EQ(frame().evaluation().list().geometry().topLeft(), 2 * listAtFirstSize.topLeft());
    EXPECT_NEAR(frame().evaluation().list().geometry().width(), 2 * listAtFirstSize.width(), 2);

    frame().runCommand(CmdBlankView);
    view().drawIncrement([](Surface& s) { s.fillSolid({100, 100, 110, 110}, colour::Red); });
    const QImage& backing = view().backing();
    EXPECT_EQ(backing.pixelColor(200, 200), QColor(Qt::red));
    EXPECT_EQ(backing.pixelColor(219, 219), QColor(Qt::red));
    EXPECT_EQ(backing.pixelColor(221, 221), QColor(Qt::white));
    EXPECT_EQ(backing.pixelColor(105, 105), QColor(Qt::white));
}

TEST_F(ViewScale, TheWindowComesBackWhereItWasAtItsSizeAndMaximisedWhenItWas) {
    EXPECT_EQ(frame().size(), QSize(LayoutWindowWidth, LayoutWindowHeight));  // the first run
    frame().show();
    frame().setGeometry(30, 40, 700, 500);
    QCoreApplication::processEvents();
    app->shutdown();
    restart();
    EXPECT_EQ(frame().geometry(), QRect(30, 40, 700, 500));

    frame().showMaximized();
    QCoreApplication::processEvents();
    app->shutdown();
    restart();
    EXPECT_TRUE(frame().windowState() & Qt::WindowMaximized);
    frame().showNormal();
    QCoreApplication::processEvents();
    EXPECT_EQ(frame().size(), QSize(700, 500));

    // Full screen for a target test: the window it came from is what is kept.
    frame().enterFullScreen();
    QCoreApplication::processEvents();
    app->shutdown();
    restart();
    EXPECT_FALSE(frame().windowState() & (Qt::WindowFullScreen | Qt::WindowMaximized));
    EXPECT_EQ(frame().size(), QSize(700, 500));
}

// Run by the test gui_view_high_density with QT_SCALE_FACTOR=2: a screen of two device pixels
// per pixel, where the view draws at device resolution rather than enlarging its picture.
using HighDensity = ViewScale;

TEST_F(HighDensity, TheViewDrawsEveryDevicePixelOfATwoToOneScreen) {
    windowAt(LayoutWindowWidth, LayoutWindowHeight);
    if (view().devicePixelRatioF() != 2.0)
        GTEST_SKIP() << "needs QT_SCALE_FACTOR=2 (the test gui_view_high_density)";
    EXPECT_EQ(view().layoutScale(), 1.0);
    EXPECT_EQ(view().backing().size(), 2 * view().size());

    auto golden = readGolden(KENVO_VIEW_GOLDEN);
    const auto blank = std::find_if(golden.begin(), golden.end(), [](const GoldenSection& s) {
        return s.name == "blank_with_data";
    });
    ASSERT_NE(blank, golden.end());
    stanceSet(1, 5);
    frame().runCommand(CmdBlankView);
    const auto lines = drawn();
    ASSERT_EQ(lines.size(), blank->lines.size());
    for (size_t k = 0; k < lines.size(); ++k)
        expectScaledByTwo(blank->lines[k], lines[k], "high density");

    // A timer tick's layout pixel is two by two device pixels.
    view().drawIncrement([](Surface& s) { s.setPixel(300, 300, colour::Red); });
    EXPECT_EQ(view().backing().pixelColor(601, 601), QColor(Qt::red));
    EXPECT_EQ(view().backing().pixelColor(602, 602), QColor(Qt::white));
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
    const InTimeZone utc("UTC");
    const RegisterSubject jana = addSubject("Jana Novakova", "P-0042");
    SubjectsDialog& dialog = subjects();
    ASSERT_NO_FATAL_FAILURE(saveVisits(dialog, jana, 4));
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
