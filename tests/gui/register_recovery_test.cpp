// A register that cannot be used at start-up and its rebuild from the files, and the window and
// the command line registering into one register at once.
#include <QApplication>
#include <QProgressDialog>
#include <QTimer>
#include <filesystem>
#include <fstream>

#include "files/code_page.h"
#include "files/measurement_file.h"
#include "files/sidecar.h"
#include "register_window_fixture.h"
#include "support/process.h"

namespace kenvo::test {
namespace {

namespace fs = std::filesystem;

// Overwrites `count` bytes of `file` at `offset`.
void overwrite(const std::string& file, std::streamoff offset, const std::string& bytes) {
    std::fstream f(file, std::ios::in | std::ios::out | std::ios::binary);
    f.seekp(offset);
    f.write(bytes.data(), std::streamsize(bytes.size()));
}

class UnusableRegister : public RegisterWindow {
  protected:
    // Two sessions of a subject with a code, then the program closed.
    void registerTwoSessions() {
        const RegisterSubject jana = addSubject("Jana Nováková", "P-0042", 'F', "1956-04-23");
        SubjectsDialog& dialog = subjects();
        dialog.chooseSubject(jana.id);
        dialog.newTestForSubject();
        record(2, FirstVisit);
        ASSERT_TRUE(save("DATA/visit1.kplat"));
        record(2, FirstVisit + Month);
        ASSERT_TRUE(save("DATA/visit2.kplat"));
        app.reset();
    }
    std::string db() { return home("DATA/kenvoplat-register.sqlite"); }

    // The program starts, says what is wrong and works without the register; a second start
    // rebuilds it on Yes and keeps the old file.
    void expectToldAndRebuilt(const std::string& damaged, const QString& why) {
        port.answers = {Answer::No};
        restart();
        ASSERT_EQ(port.questions.size(), 1);
        EXPECT_TRUE(port.questions[0].contains(QString::fromStdString(db())))
            << port.questions[0].toStdString();
        EXPECT_TRUE(port.questions[0].contains(why, Qt::CaseInsensitive))
            << port.questions[0].toStdString();
        EXPECT_TRUE(port.questions[0].contains("works on without"));
        EXPECT_FALSE(app->subjectRegister()->available());
        // The window works: a data set is saved, and its sidecar still gets the details of the
        // file it came from.
        port.answers = {Answer::No};
        port.files = {path("DATA/visit1.kplat")};
        frame().runCommand(CmdOpen);
        ASSERT_EQ(state().store.attemptCount, 2);
        ASSERT_TRUE(save("DATA/again.kplat"));
        EXPECT_EQ(readSidecar(home("DATA/again.kplat")).sidecar.patientCode, "P-0042");
        // The Subjects command says so (and offers the rebuild) instead of opening.
        port.answers = {Answer::No};
        frame().runCommand(CmdSubjects);
        EXPECT_EQ(app->subjectsDialog(), nullptr);
        EXPECT_EQ(port.questions.size(), 2);
        EXPECT_EQ(readFileBytes(db()), damaged);  // never touched meanwhile

        app.reset();
        port.answers = {Answer::Yes};
        port.notices.clear();
        restart();
        ASSERT_TRUE(app->subjectRegister()->available());
        const QString kept = app->subjectRegister()->keptAs();
        ASSERT_FALSE(kept.isEmpty());
        EXPECT_EQ(readFileBytes(kept.toStdString()), damaged);
        ASSERT_FALSE(port.notices.isEmpty());
        EXPECT_TRUE(port.notices.back().contains(kept));
        const auto found = reg().subjects("P-0042");
        ASSERT_EQ(found.size(), 1u);
        EXPECT_EQ(found[0].birthDate, "1956-04-23");
        EXPECT_EQ(reg().sessions(found[0].id).size(), 3u);  // with the copy saved meanwhile
        ASSERT_NE(&subjects(), nullptr);
    }
};

TEST_F(UnusableRegister, FileThatIsNoLongerSqliteIsToldAndRebuiltFromTheFiles) {
    registerTwoSessions();
    overwrite(db(), 0, std::string(100, '\x5a'));
    expectToldAndRebuilt(readFileBytes(db()), "is not a subject register");
}

TEST_F(UnusableRegister, DamagedPagesAreToldAndRebuiltFromTheFiles) {
    registerTwoSessions();
    ASSERT_GT(fs::file_size(db()), 8192u);
    overwrite(db(), 4096, std::string(4096, '\x5a'));
    expectToldAndRebuilt(readFileBytes(db()), "is damaged");
}

TEST_F(UnusableRegister, NewerSchemaIsToldAndRebuiltWithoutLosingTheNewerFile) {
    registerTwoSessions();
    // The schema version lives in the header's user version, bytes 60..63, big-endian.
    overwrite(db(), 60, std::string("\x00\x00\x00\x63", 4));
    expectToldAndRebuilt(readFileBytes(db()), "newer");
}

TEST_F(UnusableRegister, ARebuildCancelledMidwayKeepsWhatItHadAndSaysSo) {
    registerTwoSessions();
    // While the program is closed, more files arrive.
    for (int i = 0; i < 20; ++i) {
        MeasurementStore store;
        store.subject.name = "Later";
        addAttempts(store, 1, 300);
        store.startTime[0] = FirstVisit + i * 86400;
        ASSERT_TRUE(saveMeasurementFile(home("DATA/later" + std::to_string(i) + ".kplat"), store));
    }
    overwrite(db(), 0, std::string(100, '\x5a'));
    // Cancel is pressed as soon as the progress dialog takes events.
    QTimer cancel;
    QObject::connect(&cancel, &QTimer::timeout, [] {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (auto* p = qobject_cast<QProgressDialog*>(w);
                p && p->objectName() == "registerProgress")
                p->cancel();
    });
    cancel.start(0);
    port.answers = {Answer::Yes};
    restart();
    cancel.stop();
    ASSERT_TRUE(app->subjectRegister()->available());
    ASSERT_FALSE(port.notices.isEmpty());
    EXPECT_TRUE(port.notices.back().contains("cancelled")) << port.notices.back().toStdString();
    EXPECT_TRUE(port.notices.back().contains(app->subjectRegister()->keptAs()));
    int sessions = 0;
    for (const RegisterSubject& s : reg().subjects()) sessions += int(reg().sessions(s.id).size());
    EXPECT_LT(sessions, 22);

    // Scanning the data folder from the Subjects window registers the rest.
    SubjectsDialog& dialog = subjects();
    writeFileBytes(home("DATA/broken.kplat"), "not a measurement");
    ASSERT_TRUE(dialog.scanDataFolder());
    EXPECT_TRUE(port.messages.back().startsWith(
        "Data folder scanned: " + QString::number(22 - sessions) + " added"))
        << port.messages.back().toStdString();
    EXPECT_TRUE(port.details.back().contains("broken.kplat")) << port.details.back().toStdString();
    sessions = 0;
    for (const RegisterSubject& s : reg().subjects()) sessions += int(reg().sessions(s.id).size());
    EXPECT_EQ(sessions, 22);
    EXPECT_EQ(reg().subjects("Later").size(), 1u);
    // Not while a test runs.
    state().store.testRunning = 1;
    EXPECT_FALSE(dialog.scanDataFolder());
    EXPECT_EQ(port.messages.back(), "A test is running.");
}

TEST_F(RegisterWindow, WindowAndCommandLineRegisterIntoOneRegisterAtOnce) {
    // Files for the command line to scan, made before either starts registering.
    fs::create_directories(home("DATA/old"));
    for (int i = 0; i < 150; ++i) {
        record(2, FirstVisit + i * 86400);
        state().store.subject.name = utf8ToCp1250("Old " + std::to_string(i % 8));
        ASSERT_TRUE(
            saveMeasurementFile(home("DATA/old/f" + std::to_string(i) + ".kplat"), state().store));
    }
    const std::string db = app->subjectRegister()->databasePath();
    BackgroundProcess cli({KENVOPLAT_CLI, "register", "scan", "--db", db, home("DATA/old")});
    state().store.subject.name = "Window Subject";
    for (int i = 0; i < 20; ++i) {
        record(2, FirstVisit + 400 * 86400 + i * 86400);
        ASSERT_TRUE(save("DATA/new" + std::to_string(i) + ".kplat"));
    }
    std::string out;
    for (std::string line = cli.readLine(60); !line.empty(); line = cli.readLine(60))
        out += line + "\n";
    EXPECT_EQ(cli.stop(), 0) << out;
    EXPECT_NE(out.find("added 150"), std::string::npos) << out;
    EXPECT_TRUE(port.notices.isEmpty()) << port.notices.join("\n").toStdString();
    int sessions = 0;
    for (const RegisterSubject& s : reg().subjects()) sessions += int(reg().sessions(s.id).size());
    EXPECT_EQ(sessions, 170);
    const auto mine = reg().subjects("Window Subject");
    ASSERT_EQ(mine.size(), 1u);
    EXPECT_EQ(reg().sessions(mine[0].id).size(), 20u);
}

}  // namespace
}  // namespace kenvo::test
