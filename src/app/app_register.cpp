#include "app_register.h"

#include <QCoreApplication>
#include <QProgressDialog>
#include <algorithm>
#include <filesystem>

#include "files/code_page.h"
#include "model/measurement_store.h"
#include "model/subject_validation.h"
#include "operator_port.h"
#include "procedures/sensory_attempts.h"

namespace kenvo {

namespace {

bool sameSubject(const SubjectRecord& a, const SubjectRecord& b) {
    return a.name == b.name && a.sex == b.sex;
}

// Anything a sidecar would keep that the measurement file itself does not.
bool worthKeeping(const Sidecar& d) {
    return d.patientCode || d.birthDate || d.notes || d.subjectId || d.protocol || d.conditions ||
           !d.discardedAttempts.empty();
}

template <typename T>
std::optional<T> unlessEmpty(const T& value) {
    if (value.empty()) return std::nullopt;
    return value;
}

// The register subject's details as a sidecar carries them.
void takeSubject(Sidecar& d, const RegisterSubject& subject) {
    d.subjectId = subject.id;
    d.patientCode = unlessEmpty(subject.code);
    d.birthDate = unlessEmpty(subject.birthDate);
    d.notes = unlessEmpty(subject.notes);
    d.sex = subject.sex;
}

}  // namespace

AppRegister::AppRegister(OperatorPort& port, std::string dataFolder)
    : port_(port),
      dataFolder_(std::move(dataFolder)),
      dbPath_((std::filesystem::path(dataFolder_) / DefaultRegisterFileName).string()) {}

AppRegister::~AppRegister() = default;

bool AppRegister::openRegister() {
    RegisterOpenResult result;
    register_ = SubjectRegister::open(dbPath_, dataFolder_, result);
    openState_ = result.state;
    if (!register_) {
        problem_ = QString::fromStdString(result.message);
        // The core's reason is a clause; the window shows it as a sentence.
        if (!problem_.isEmpty()) {
            problem_[0] = problem_[0].toUpper();
            if (!problem_.endsWith(QLatin1Char('.'))) problem_ += QLatin1Char('.');
        }
        if (problem_.isEmpty())
            problem_ = QStringLiteral("The subject register %1 could not be opened.")
                           .arg(QString::fromStdString(dbPath_));
        return false;
    }
    problem_.clear();
    // E.g. a network folder without WAL: the register works, only more slowly alongside others.
    if (!result.note.empty()) port_.notice(QString::fromStdString(result.note));
    return true;
}

void AppRegister::openAtStart(QWidget* parent) {
    if (openRegister()) return;
    // A file that is there but unusable can be rebuilt; a folder without access cannot.
    if (openState_ == RegisterOpenState::CannotOpen) {
        port_.notice(problem_ +
                     QStringLiteral(" The program works on without the subject register."));
        return;
    }
    offerRebuild(parent);
}

bool AppRegister::offerRebuild(QWidget* parent) {
    if (register_) return true;
    if (openState_ == RegisterOpenState::CannotOpen || openState_ == RegisterOpenState::Ok) {
        port_.message(QStringLiteral("The subject register is not available."), problem_);
        return false;
    }
    const QString question =
        QStringLiteral(
            "%1\n\nThe program works on without the subject register. Rebuild it "
            "from the measurement files in %2? The old file is kept under another "
            "name.")
            .arg(problem_, QString::fromStdString(dataFolder_));
    if (port_.ask(question, false) != Answer::Yes) return false;
    return rebuild(parent);
}

bool AppRegister::rebuild(QWidget* parent) {
    register_.reset();
    std::string kept, error;
    keptAs_.clear();
    std::error_code ec;
    if (std::filesystem::exists(std::filesystem::symlink_status(dbPath_, ec))) {
        if (!SubjectRegister::setAside(dbPath_, kept, error)) {
            port_.message(QStringLiteral("The subject register could not be rebuilt."),
                          QString::fromStdString(error));
            return false;
        }
        keptAs_ = QString::fromStdString(kept);
    }
    if (!openRegister()) {
        port_.message(QStringLiteral("The subject register could not be rebuilt."), problem_);
        return false;
    }

    const ScanReport report = scanWithProgress(
        parent, true,
        QStringLiteral("Rebuilding the subject register from the measurement files..."));
    if (!report.error.empty()) {
        port_.message(QStringLiteral("The subject register could not be rebuilt."),
                      QString::fromStdString(report.error));
        return true;  // open, if empty
    }
    QString told = report.cancelled ? QStringLiteral(
                                          "The rebuild of the subject register was cancelled after "
                                          "%1 sessions; a later rebuild or scan adds the rest.")
                                          .arg(report.added)
                                    : QStringLiteral(
                                          "The subject register was rebuilt from the measurement "
                                          "files: %1 sessions, %2 files skipped.")
                                          .arg(report.added)
                                          .arg(report.skipped);
    if (!keptAs_.isEmpty()) told += QStringLiteral(" The old file is kept as %1.").arg(keptAs_);
    port_.notice(told);
    return true;
}

ScanReport AppRegister::scanWithProgress(QWidget* parent, bool rebuild, const QString& label) {
    QProgressDialog progress(label, QStringLiteral("Cancel"), 0, 0, parent);
    progress.setObjectName("registerProgress");
    progress.setWindowModality(Qt::WindowModal);
    progress.setMinimumDuration(400);
    const ScanReport report =
        register_->scan({dataFolder_}, rebuild, [&progress](int done, int total) {
            const int all = std::max(total, 1);
            progress.setMaximum(all);
            progress.setValue(std::min(done, all));
            QCoreApplication::processEvents();
            return !progress.wasCanceled();
        });
    progress.reset();
    return report;
}

QStringList AppRegister::scanDataFolder(QWidget* parent) {
    if (!register_) return {problem_};
    const ScanReport r = scanWithProgress(
        parent, false, QStringLiteral("Registering the measurement files of the data folder..."));
    if (!r.error.empty())
        return {QStringLiteral("The data folder was not scanned: %1")
                    .arg(QString::fromStdString(r.error))};
    QStringList told;
    told << QStringLiteral("%1: %2 added, %3 updated, %4 unchanged, %5 skipped, %6 for "
                                  "review.")
                       .arg(r.cancelled ? QStringLiteral("Scan cancelled")
                                        : QStringLiteral("Data folder scanned"))
                       .arg(r.added)
                       .arg(r.updated)
                       .arg(r.unchanged)
                       .arg(r.skipped)
                       .arg(r.review);
    // The reasons of the first few skipped files; the command line lists them all.
    constexpr std::size_t Shown = 8;
    for (std::size_t i = 0; i < r.skippedFiles.size() && i < Shown; ++i)
        told << QStringLiteral("Skipped %1: %2")
                    .arg(QString::fromStdString(r.skippedFiles[i].first),
                         QString::fromStdString(r.skippedFiles[i].second));
    if (r.skippedFiles.size() > Shown)
        told << QStringLiteral("... and %1 more.").arg(r.skippedFiles.size() - Shown);
    return told;
}

void AppRegister::useSubject(const RegisterSubject& subject, SubjectRecord& record) {
    record.name = utf8ToCp1250(subject.name);
    record.sex = subject.sex == 'M' ? 1 : 0;
    record.height = std::clamp(subject.heightCm, 0, MaxSubjectHeight);
    record.weight = std::clamp(subject.weightKg, 0, MaxSubjectWeight);
    // The comments described whoever was measured before.
    record.comment1.clear();
    record.comment2.clear();
    record.comment3.clear();
    Sidecar d;
    takeSubject(d, subject);
    details_ = d;
    detailsRecord_ = record;
}

QString AppRegister::fileLoaded(const std::string& path, const SubjectRecord& record) {
    details_.reset();
    const SidecarRead read = readSidecar(path);
    switch (read.state) {
        case SidecarState::Valid:
            details_ = read.sidecar;
            detailsRecord_ = record;
            return {};
        case SidecarState::Absent:
            return {};
        case SidecarState::Stale:
        case SidecarState::Damaged:
            break;
    }
    return QString::fromStdString(read.message);
}

void AppRegister::sessionOpened(const RegisterSubject& subject, const SubjectRecord& record) {
    Sidecar d = details_.value_or(Sidecar{});
    takeSubject(d, subject);
    // The file's own record says the sex it was measured with.
    d.sex = record.sex == 1 ? 'M' : 'F';
    details_ = d;
    detailsRecord_ = record;
}

Sidecar AppRegister::detailsFor(const SubjectRecord& record, int32_t attemptCount) const {
    Sidecar d;
    if (details_ && sameSubject(record, detailsRecord_)) d = *details_;
    d.sex = record.sex == 1 ? 'M' : 'F';
    // The record the file holds is written with it; the sidecar's copy would only go stale.
    d.name.reset();
    d.heightCm.reset();
    d.weightKg.reset();
    // Per-attempt details only while they still describe the data set's attempts.
    if (d.conditions && std::ssize(*d.conditions) != attemptCount) d.conditions.reset();
    if (std::any_of(d.discardedAttempts.begin(), d.discardedAttempts.end(),
                    [attemptCount](int a) { return a < 0 || a >= attemptCount; }))
        d.discardedAttempts.clear();
    d.kplatSize = 0;
    d.kplatMtimeNs = 0;
    return d;
}

std::optional<int64_t> AppRegister::subjectIdFor(const SubjectRecord& record) const {
    if (!details_ || !sameSubject(record, detailsRecord_)) return std::nullopt;
    return details_->subjectId;
}

QString AppRegister::fileSaved(const std::string& path, const MeasurementStore& store,
                               const SensoryAttempts& sensory) {
    Sidecar details = detailsFor(store.subject, store.attemptCount);
    // The conditions as recorded (or read with the file) are the ones of these attempts.
    sensory.toSidecar(store, details);
    QString problem;
    if (register_) {
        std::string error;
        const std::optional<int64_t> session = register_->registerFile(path, details, error);
        if (session) {
            // Later saves of the data set go to the subject the register settled on.
            if (const auto s = register_->session(*session); s && s->subjectId != 0)
                if (const auto subject = register_->subject(s->subjectId)) {
                    takeSubject(details, *subject);
                    details.sex = store.subject.sex == 1 ? 'M' : 'F';
                }
            details_ = details;
            detailsRecord_ = store.subject;
            // Registered, but the sidecar beside the file could not be written.
            if (!error.empty())
                return QStringLiteral(
                           "The file was saved and registered, but the subject "
                           "details beside it could not be written: %1")
                    .arg(QString::fromStdString(error));
            return {};
        }
        problem = QStringLiteral(
                      "The file was saved, but it could not be entered in the "
                      "subject register: %1")
                      .arg(QString::fromStdString(error));
    }
    // The files are what counts: the details go beside the file even when the register is
    // missing or refused the session.
    if (!worthKeeping(details)) return problem;
    std::string error;
    if (!writeSidecar(path, details, error)) {
        const QString failed =
            QStringLiteral(
                "The file was saved, but the subject details beside it could not be "
                "written: %1")
                .arg(QString::fromStdString(error));
        return problem.isEmpty() ? failed : problem + QLatin1Char('\n') + failed;
    }
    return problem;
}

}  // namespace kenvo
