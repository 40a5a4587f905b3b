#include "screenshot_clinical.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QPrinter>
#include <QSettings>
#include <QTabWidget>
#include <QTableWidget>
#include <cmath>

#include "app_register.h"
#include "app_state.h"
#include "command_ids.h"
#include "files/cop_import.h"
#include "kenvo_plat_app.h"
#include "main_frame.h"
#include "model/cop_sample.h"
#include "model/fixed_point.h"
#include "print_controller.h"
#include "register/subject_register.h"
#include "render/report_setup_store.h"
#include "report_setup_dialog.h"
#include "screenshot_support.h"
#include "sensory_report_commands.h"
#include "subject_history_panel.h"
#include "subjects_dialog.h"

namespace kenvo::screenshots {

// A sample sensory test: three trials of 60 s per condition of slow sway with a faster tremor,
// each condition a little larger than the one before, eyes closed on foam beyond the reference
// range: the results view, and the report setup with a clinic's name and logo.
bool sensoryResultsPictures(CKenvoPlatApp& app, SilentPort& port, QSettings& profile,
                            const QString& out) {
    using namespace kenvo;
    MeasurementStore& store = app.state().store;
    app.frame().runCommand(CmdBlankView);
    store.settings.testMode = TestModeStance;
    store.attemptSeconds = 60;
    store.attemptCount = 0;
    store.calibration.scaleX = 260.0f;
    store.calibration.scaleY = 160.0f;
    app.state().sensory.clear();
    struct Sway {
        SensoryCondition condition;
        double slow, fast;  // mm of the slow sway's shape, of the tremor's
    };
    const Sway sways[] = {{SensoryCondition::EoFirm, 1.2, 1.8},
                          {SensoryCondition::EcFirm, 1.45, 2.3},
                          {SensoryCondition::EoFoam, 3.0, 5.0},
                          {SensoryCondition::EcFoam, 4.8, 7.0}};
    constexpr double TwoPi = 2.0 * M_PI;
    for (const Sway& sway : sways)
        for (int trial = 0; trial < 3; ++trial) {
            const int a = store.attemptCount;
            const double k = 1.0 + 0.04 * (trial - 1), seed = trial;
            CopSample* samples = store.samples(a);
            for (int i = 0; i < 6000; ++i) {
                const double t = i / 100.0;
                const double x = k * sway.slow *
                                     (3.0 * std::sin(TwoPi * 0.11 * t + seed) +
                                      1.2 * std::sin(TwoPi * 0.43 * t + 1 + seed)) +
                                 sway.fast * (0.35 * std::sin(TwoPi * 1.3 * t + seed) +
                                              0.25 * std::sin(TwoPi * 2.3 * t));
                const double y = k * sway.slow *
                                     (4.0 * std::sin(TwoPi * 0.09 * t + 0.5 * seed) +
                                      1.5 * std::sin(TwoPi * 0.31 * t)) +
                                 sway.fast * (0.4 * std::sin(TwoPi * 1.1 * t + 1) +
                                              0.3 * std::sin(TwoPi * 1.9 * t + seed));
                samples[i] = CopSample{onFixedPointGrid(float(x / store.calibration.scaleX)),
                                       onFixedPointGrid(float(y / store.calibration.scaleY)), 72};
            }
            store.length[size_t(a)] = 6000;
            store.startTime[size_t(a)] = 1'760'000'000 + 90 * a;  // October 2025
            store.attemptCount = a + 1;
            app.state().sensory.setCondition(store, a, sway.condition);
        }
    store.dataPresent = 1;
    Sidecar details;
    details.name = "Jana Novakova";
    details.patientCode = "KP-2025-0147";
    details.birthDate = "1984-06-21";  // 41 on the day: the Young group
    app.frame().sensoryReport().setDetailsSource([details] { return details; });

    app.frame().resize(800, 560);
    app.frame().runCommand(CmdSensoryResults);
    bool ok = save(app.frame(), out + "/sensory_results.png");

    // The report setup with a logo of the clinic's colours, drawn here.
    QImage logo(240, 80, QImage::Format_RGB32);
    logo.fill(QColor(30, 80, 150));
    for (int y = 20; y < 60; ++y)
        for (int x = 20; x < 60; ++x) logo.setPixel(x, y, qRgb(255, 255, 255));
    const QString logoFile = QDir(out).filePath("sample_logo.png");
    logo.save(logoFile);
    std::string error;
    storeReportSetup(profile, "Balance Clinic, Ljubljana", logoFile.toStdString(), false, error);
    QFile::remove(logoFile);
    const StoredReportSetup stored = readReportSetup(profile);
    ReportSetupDialog dialog(QString::fromStdString(stored.clinicName),
                             QString::fromStdString(stored.logoPath), QDir::homePath(), port,
                             &app.frame());
    ok = save(dialog, out + "/report_setup.png") && ok;
    dialog.hide();
    return ok;
}

// A subject in the register with six stance sessions over half a year, saved through the
// window's Save as the program would after "New test for this subject", and a few others: the
// Subjects window on her sessions, then on the history of her mean velocity.
bool registerPictures(CKenvoPlatApp& app, SilentPort& port, const QString& out) {
    using namespace kenvo;
    SubjectRegister* reg = app.subjectRegister()->get();
    if (!reg) {
        std::printf("FAILED the register did not open\n");
        return false;
    }
    auto add = [reg](const char* name, const char* code, char sex, const char* birth, int h, int w,
                     const char* notes) {
        RegisterSubject s{0, code, name, birth, sex, h, w, notes, 0};
        std::string error;
        reg->saveSubject(s, error);
        return s;
    };
    const RegisterSubject jana = add("Jana Nov\u00e1kov\u00e1", "P-0042", 'F', "1956-04-23", 168,
                                     61, "Right hip replacement, 2026-01");
    const RegisterSubject jan = add("Jan Nov\u00e1k", "P-0043", 'M', "1951-11-02", 181, 84, "");
    add("Eva Mal\u00e1", "P-0051", 'F', "1962-07-19", 159, 55, "");
    add("Petr Dvo\u0159\u00e1k", "P-0060", 'M', "1948-02-28", 175, 90, "");
    add("Marie Svobodov\u00e1", "", 'F', "", 0, 0, "");

    app.frame().runCommand(CmdSubjects);
    SubjectsDialog* dialog = app.subjectsDialog();
    if (!dialog) return false;
    MeasurementStore& store = app.state().store;
    // Three 20 s attempts per visit, the sway narrowing as the months of training go by.
    auto visit = [&](const RegisterSubject& who, int number, int64_t start, double amplitude) {
        dialog->chooseSubject(who.id);
        dialog->newTestForSubject();
        for (int a = 0; a < 3; ++a) {
            std::vector<CopPoint> points;
            const double seed = 0.4 * number + a;
            const double amp = amplitude * (1.0 + 0.12 * a);
            for (int i = 0; i < 2000; ++i) {
                const double t = i / 100.0;
                points.push_back(
                    {amp * (0.6 * std::sin(0.9 * t + seed) + 0.3 * std::sin(2.3 * t) +
                            0.1 * std::sin(7.1 * t + 2 * seed)),
                     1.5 + amp * (0.7 * std::sin(0.5 * t + 1) + 0.25 * std::sin(1.7 * t + seed) +
                                  0.05 * std::sin(9.3 * t))});
            }
            importCopAttempt(store, a, points, 0, start + a * 60);
        }
        finishCopImport(store, 3, 0);
        store.dataSaved = 0;
        port.nextFile =
            QString::fromStdString(app.state().paths.dataFolder) +
            QStringLiteral("/%1-%2.kplat").arg(QString::fromStdString(who.code)).arg(number);
        app.frame().runCommand(CmdSave);
    };
    const int64_t january = 1768208400;  // 2026-01-12 09:00 UTC
    const double amplitudes[] = {7.5, 6.8, 6.9, 5.6, 5.0, 4.6};
    const int days[] = {0, 27, 61, 96, 124, 166};
    for (int v = 0; v < 6; ++v)
        visit(jana, v + 1, january + days[v] * 86400LL + v * 1500, amplitudes[v]);
    visit(jan, 1, january + 40 * 86400LL, 5.5);
    visit(jan, 2, january + 90 * 86400LL, 5.9);

    dialog->resize(900, 680);
    dialog->refresh();
    dialog->chooseSubject(jana.id);
    dialog->tabs()->setCurrentIndex(0);
    bool ok = save(*dialog, out + "/subjects_window.png");
    dialog->tabs()->setCurrentIndex(1);
    dialog->history()->setMeasure(ClinicalMeasure::Velocity);
    ok = save(*dialog, out + "/subject_history.png") && ok;
    // Its printed page, as a PDF the script turns into a picture.
    const QString pdf = out + "/print_history.pdf";
    app.frame().printing().setPrinterChooser([pdf](QPrinter& printer) {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(pdf);
        return true;
    });
    ok = dialog->history()->print() && ok;
    dialog->hide();
    return ok;
}

}  // namespace kenvo::screenshots
