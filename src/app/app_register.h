#pragma once

#include <QString>
#include <QStringList>
#include <memory>
#include <optional>
#include <string>

#include "files/sidecar.h"
#include "model/subject_record.h"
#include "register/subject_register.h"

class QWidget;

namespace kenvo {

class MeasurementStore;
class OperatorPort;
class SensoryAttempts;

// The window's side of the subject register: the register opened from the data folder (or
// the reason it could not be), the offer to rebuild a damaged one from the files, and what
// the window knows about the data set's subject beyond its record (patient code, birth date,
// the register subject chosen), which every Save writes into the sidecar and the register.
class AppRegister {
  public:
    AppRegister(OperatorPort& port, std::string dataFolder);
    ~AppRegister();
    AppRegister(const AppRegister&) = delete;
    AppRegister& operator=(const AppRegister&) = delete;

    // Opens the register at start-up. When it cannot be used, tells why and offers to rebuild
    // it; without a rebuild the program works on without it.
    void openAtStart(QWidget* parent);
    // Starts without a register (no data folder): `why` is what the Subjects command says.
    void startWithout(const QString& why) { problem_ = why; }
    // The question when the register cannot be used: what is wrong, that the program works on
    // without it, and whether to rebuild it. Rebuilds on Yes; true when the register is open.
    // Where a rebuild cannot help (no data folder, no access) it only says why.
    bool offerRebuild(QWidget* parent);
    // Moves the unusable file aside (never overwriting anything), creates a new register and
    // scans the data folder into it with a progress dialog that can be cancelled.
    bool rebuild(QWidget* parent);

    // Registers the data folder's files that are new or changed (files copied in, saved by
    // another program) with a progress dialog that can be cancelled. Returns what it did: a
    // summary line, then a line per skipped file (the first few).
    QStringList scanDataFolder(QWidget* parent);

    SubjectRegister* get() { return register_.get(); }
    bool available() const { return register_ != nullptr; }
    std::string databasePath() const { return dbPath_; }
    const std::string& dataFolder() const { return dataFolder_; }
    // Why the register is not available, in plain words naming its file.
    const QString& problem() const { return problem_; }
    // Where the last rebuild kept the old file; empty when none was kept.
    const QString& keptAs() const { return keptAs_; }

    // "New test for this subject": fills `record` (name in Windows-1250, sex, height, weight;
    // the comments of whoever was measured before are cleared) and remembers the subject for
    // the Save of the data set.
    void useSubject(const RegisterSubject& subject, SubjectRecord& record);
    // The data set now comes from `path`: its sidecar, when valid, says whose it is. Returns a
    // note for the operator when the sidecar was stale or damaged (it is then ignored).
    QString fileLoaded(const std::string& path, const SubjectRecord& record);
    // A session opened from the register: it belongs to `subject` whatever its sidecar says.
    void sessionOpened(const RegisterSubject& subject, const SubjectRecord& record);
    // After a successful Save of `path`: registers the session (or, without a register, writes
    // the sidecar when there is anything to keep), with the sensory test's protocol, conditions
    // and discarded attempts from `sensory`. Returns the problem in plain words, or an empty
    // string; a problem never undoes the Save.
    QString fileSaved(const std::string& path, const MeasurementStore& store,
                      const SensoryAttempts& sensory);

    // What the next Save writes beside the file for a data set of `record`: the remembered
    // details while the record is still the one they were taken with, else only its sex.
    Sidecar detailsFor(const SubjectRecord& record, int32_t attemptCount) const;
    // The register subject remembered for the data set of `record`, if any.
    std::optional<int64_t> subjectIdFor(const SubjectRecord& record) const;

  private:
    bool openRegister();
    ScanReport scanWithProgress(QWidget* parent, bool rebuild, const QString& label);

    OperatorPort& port_;
    std::string dataFolder_;
    std::string dbPath_;
    std::unique_ptr<SubjectRegister> register_;
    QString problem_;
    RegisterOpenState openState_ = RegisterOpenState::Ok;
    QString keptAs_;
    // The details and the record they belong to; a record changed to another name or sex
    // (another subject entered in the Subject dialog) drops them.
    std::optional<Sidecar> details_;
    SubjectRecord detailsRecord_;
};

}  // namespace kenvo
