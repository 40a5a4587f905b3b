#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <thread>

#include "clinical/attempt_trace.h"
#include "files/measurement_file.h"
#include "files/sidecar.h"
#include "model/graph_settings.h"
#include "model/measurement_store.h"
#include "register/subject_register.h"
#include "register_test_support.h"

namespace kenvo {
namespace {

using test::RegisterFolder;
using test::TestRecording;
using test::writeRecording;

TestRecording visit(uint32_t seed, int64_t start, int attempts) {
    TestRecording r;
    r.seed = seed;
    r.start = start;
    r.attempts = attempts;
    return r;
}

// The measure of every attempt of a file, computed here from the file itself.
std::vector<double> attemptValues(const std::string& path, ClinicalMeasure measure) {
    auto store = std::make_unique<MeasurementStore>();
    GraphSettings graph;
    const FileResult loaded = loadMeasurementFile(path, *store, graph);
    EXPECT_TRUE(loaded.ok) << loaded.reason;
    std::vector<double> values;
    for (int32_t a = 0; a < store->attemptCount; ++a)
        values.push_back(
            computeClinicalMeasures(attemptTrace(*store, a), DefaultLowPassHz)[measure].value());
    return values;
}

double medianByHand(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    const std::size_t n = v.size();
    return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2.0;
}

void putSidecar(const std::string& kplat, const Sidecar& sidecar) {
    std::string error;
    ASSERT_TRUE(writeSidecar(kplat, sidecar, error)) << error;
}

// One point per stance session, oldest first, the median of its kept attempts: the middle one
// of an odd count, the mean of the middle two of an even count.
TEST(RegisterHistory, MediansOverKeptAttemptsOldestFirst) {
    RegisterFolder folder;
    writeRecording(folder.file("a-late.kplat"), visit(1, 1700900000, 3));
    writeRecording(folder.file("b-early.kplat"), visit(2, 1700100000, 4));
    writeRecording(folder.file("c-middle.kplat"), visit(3, 1700500000, 5));
    Sidecar discard;
    discard.discardedAttempts = {1, 4};
    putSidecar(folder.file("c-middle.kplat"), discard);
    TestRecording empty = visit(4, 1700700000, 2);
    empty.samples = 0;
    writeRecording(folder.file("d-empty.kplat"), empty);
    auto reg = folder.open();
    ASSERT_EQ(reg->scan({folder.data()}, false).added, 4);

    const auto points = reg->history(1, ClinicalMeasure::Velocity);
    ASSERT_EQ(points.size(), 4u);
    EXPECT_EQ(points[0].file, "b-early.kplat");
    EXPECT_EQ(points[1].file, "c-middle.kplat");
    EXPECT_EQ(points[2].file, "d-empty.kplat");
    EXPECT_EQ(points[3].file, "a-late.kplat");
    EXPECT_EQ(points[0].recordedAt, 1700100000);

    const auto early = attemptValues(folder.file("b-early.kplat"), ClinicalMeasure::Velocity);
    EXPECT_EQ(points[0].attempts, 4);
    EXPECT_DOUBLE_EQ(points[0].value.value(), medianByHand(early));
    auto middle = attemptValues(folder.file("c-middle.kplat"), ClinicalMeasure::Velocity);
    EXPECT_EQ(points[1].attempts, 3);  // attempts 2 and 5 discarded
    EXPECT_DOUBLE_EQ(points[1].value.value(), medianByHand({middle[0], middle[2], middle[3]}));
    EXPECT_EQ(points[2].attempts, 2);
    EXPECT_FALSE(points[2].value.has_value());  // no attempt has a velocity
    EXPECT_DOUBLE_EQ(
        points[3].value.value(),
        medianByHand(attemptValues(folder.file("a-late.kplat"), ClinicalMeasure::Velocity)));

    // The session list shows the same medians.
    const auto sessions = reg->sessions(1);
    ASSERT_EQ(sessions.size(), 4u);
    EXPECT_EQ(sessions[1].velocity, points[1].value);
    EXPECT_DOUBLE_EQ(
        sessions[0].area95.value(),
        medianByHand(attemptValues(folder.file("b-early.kplat"), ClinicalMeasure::Area95)));
}

// A session with conditions counts only the attempts of the condition asked for; a plain
// stance session counts for every condition; a session without the condition is left out.
TEST(RegisterHistory, ConditionsChooseTheAttempts) {
    RegisterFolder folder;
    writeRecording(folder.file("sensory.kplat"), visit(1, 1700000000, 4));
    Sidecar sensory;
    sensory.protocol = "sensory";
    sensory.conditions =
        std::vector<std::optional<std::string>>{"eo-firm", "ec-firm", "eo-firm", "ec-firm"};
    sensory.discardedAttempts = {3};
    putSidecar(folder.file("sensory.kplat"), sensory);
    writeRecording(folder.file("plain.kplat"), visit(2, 1700100000, 3));
    auto reg = folder.open();
    ASSERT_EQ(reg->scan({folder.data()}, false).added, 2);
    EXPECT_EQ(reg->sessions(1)[0].test, "sensory");

    const auto values = attemptValues(folder.file("sensory.kplat"), ClinicalMeasure::Rms);
    const auto open = reg->history(1, ClinicalMeasure::Rms, "eo-firm");
    ASSERT_EQ(open.size(), 2u);
    EXPECT_EQ(open[0].attempts, 2);
    EXPECT_DOUBLE_EQ(open[0].value.value(), (values[0] + values[2]) / 2.0);
    EXPECT_EQ(open[1].attempts, 3);
    const auto closed = reg->history(1, ClinicalMeasure::Rms, "ec-firm");
    ASSERT_EQ(closed.size(), 2u);
    EXPECT_EQ(closed[0].attempts, 1);  // the fourth attempt is discarded
    EXPECT_DOUBLE_EQ(closed[0].value.value(), values[1]);
    const auto foam = reg->history(1, ClinicalMeasure::Rms, "eo-foam");
    ASSERT_EQ(foam.size(), 1u);
    EXPECT_EQ(foam[0].file, "plain.kplat");
}

// The window and the command line registering into one register at once: both finish, and
// every file is there.
TEST(RegisterConcurrency, TwoRegistersOnOneFileRegisterAtOnce) {
    RegisterFolder folder;
    constexpr int PerSide = 6;
    for (int i = 0; i < 2 * PerSide; ++i) {
        TestRecording r = visit(static_cast<uint32_t>(i + 1), 1700000000 + i, 2);
        r.name = "Person " + std::to_string(i % 3);
        writeRecording(folder.file("f" + std::to_string(i) + ".kplat"), r);
    }
    // Both sides start on a register that does not exist yet, so they also race to create it.
    std::vector<std::string> errors[2];
    int registered[2] = {0, 0};
    auto side = [&](int which) {
        RegisterOpenResult result;
        auto reg = SubjectRegister::open(folder.db(), folder.data(), result);
        if (!reg) {
            errors[which].push_back(result.message);
            return;
        }
        for (int i = which; i < 2 * PerSide; i += 2) {
            std::string error;
            if (reg->registerFile(folder.file("f" + std::to_string(i) + ".kplat"), Sidecar{},
                                  error))
                ++registered[which];
            else
                errors[which].push_back(error);
        }
    };
    std::thread a(side, 0), b(side, 1);
    a.join();
    b.join();
    EXPECT_TRUE(errors[0].empty() && errors[1].empty())
        << (errors[0].empty() ? "" : errors[0][0]) << (errors[1].empty() ? "" : errors[1][0]);
    EXPECT_EQ(registered[0] + registered[1], 2 * PerSide);
    auto reg = folder.open();
    const auto subjects = reg->subjects();
    ASSERT_EQ(subjects.size(), 3u);  // never two subjects made for one person
    int sessions = 0;
    for (const auto& s : subjects) sessions += s.sessionCount;
    EXPECT_EQ(sessions, 2 * PerSide);
    EXPECT_TRUE(reg->check().ok());
}

// Programs starting on a register that does not exist yet all get it: none is turned away
// while another creates it or changes its journal mode. Processes, not threads: SQLite's
// locks between processes are what the window and the command line meet.
TEST(RegisterConcurrency, ProgramsOpeningANewRegisterAllGetIt) {
    test::TempDir dir;
    for (int round = 0; round < 30; ++round) {
        const std::string db = dir.file("new-" + std::to_string(round) + ".sqlite");
        std::vector<pid_t> children;
        for (int t = 0; t < 4; ++t) {
            const pid_t pid = ::fork();
            ASSERT_GE(pid, 0);
            if (pid == 0) {
                RegisterOpenResult result;
                auto reg = SubjectRegister::open(db, dir.path(), result);
                const bool ok = reg != nullptr && reg->subjects().empty();
                if (!ok) std::fprintf(stderr, "%s\n", result.message.c_str());
                reg.reset();
                ::_exit(ok ? 0 : 1);
            }
            children.push_back(pid);
        }
        int failed = 0;
        for (pid_t pid : children) {
            int status = 0;
            ::waitpid(pid, &status, 0);
            if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) ++failed;
        }
        ASSERT_EQ(failed, 0) << "round " << round;
    }
}

// Registering one saved file: the subject chosen in the window is used, the sidecar carries
// it with the details, and saving the file again updates the same session.
TEST(RegisterFile, TheChosenSubjectIsUsedAndWrittenBeside) {
    RegisterFolder folder;
    auto reg = folder.open();
    RegisterSubject chosen;
    chosen.name = "Chosen One";
    chosen.code = "C-1";
    chosen.birthDate = "1960-01-31";
    std::string error;
    ASSERT_TRUE(reg->saveSubject(chosen, error)) << error;
    TestRecording r = visit(1, 1700000000, 2);
    r.name = "Typed Differently";
    const std::string path = folder.file("saved.kplat");
    writeRecording(path, r);

    Sidecar details;
    details.subjectId = chosen.id;
    details.notes = "after the fall";
    const auto id = reg->registerFile(path, details, error);
    ASSERT_TRUE(id) << error;
    const SidecarRead beside = readSidecar(path);
    ASSERT_EQ(beside.state, SidecarState::Valid) << beside.message;
    EXPECT_EQ(beside.sidecar.subjectId, chosen.id);
    EXPECT_EQ(beside.sidecar.patientCode, "C-1");
    EXPECT_EQ(beside.sidecar.birthDate, "1960-01-31");
    EXPECT_EQ(beside.sidecar.name, "Chosen One");

    r.attempts = 3;
    writeRecording(path, r);
    const auto again = reg->registerFile(path, details, error);
    EXPECT_EQ(again, id);
    EXPECT_EQ(reg->session(*id)->attempts, 3);
    EXPECT_EQ(reg->sessions(chosen.id).size(), 1u);

    EXPECT_FALSE(reg->registerFile(folder.file("absent.kplat"), Sidecar{}, error));
    EXPECT_NE(error.find("absent.kplat"), std::string::npos) << error;
}

}  // namespace
}  // namespace kenvo
