#include "file_commands.h"

#include <QApplication>
#include <QCursor>
#include <QDateTime>
#include <QFileInfo>

#include "app_state.h"
#include "files/code_page.h"
#include "files/configuration_file.h"
#include "files/data_set_name.h"
#include "files/measurement_file.h"
#include "files/protocol_file.h"
#include "files/sidecar.h"
#include "operator_port.h"
#include "recent_files.h"

namespace kenvo {

namespace {

// The wait cursor while a file loads.
class WaitCursor {
  public:
    WaitCursor() { QApplication::setOverrideCursor(QCursor(Qt::WaitCursor)); }
    ~WaitCursor() { QApplication::restoreOverrideCursor(); }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;
};

std::string local(const QString& path) {
    return QFile::encodeName(path).toStdString();
}

}  // namespace

QString withDefaultExtension(const QString& path, const QString& extension) {
    if (path.isEmpty() || !QFileInfo(path).suffix().isEmpty()) return path;
    return path + QLatin1Char('.') + extension;
}

FileCommands::FileCommands(AppState& state, OperatorPort& port, RecentFiles& recent,
                           std::function<void()> blankView)
    : state_(state), port_(port), recent_(recent), blankView_(std::move(blankView)) {}

void FileCommands::report(const FileResult& result) {
    if (!result)
        port_.message(QString::fromStdString(result.message),
                      QString::fromStdString(result.reason));
}

bool FileCommands::offerSave(bool withCancel) {
    // A data set without attempts has nothing to lose.
    if (state_.store.dataSaved != 0 || !hasSomethingToSave()) return true;
    switch (port_.ask(UnsavedQuestion, withCancel)) {
        case Answer::No:
            return true;
        case Answer::Yes:
            return save();
        case Answer::Cancel:
            return false;
    }
    return false;
}

void FileCommands::open() {
    if (!offerSave(false)) return;
    const auto path = port_.chooseFile(
        {false, MeasurementFilter, "kplat", QString::fromStdString(state_.paths.dataFolder)});
    if (!path) return;
    load(withDefaultExtension(*path, "kplat"));
}

void FileCommands::openRecent(const QString& path) {
    if (!offerSave(false)) return;
    if (!QFileInfo::exists(path)) recent_.remove(path);
    load(path);
}

bool FileCommands::openFile(const QString& path) {
    if (!offerSave(false)) return false;
    return load(path);
}

bool FileCommands::load(const QString& path) {
    FileResult result;
    {
        WaitCursor wait;
        result = loadMeasurementFile(local(path), state_.store, state_.settings.graph);
    }
    if (!result) {
        report(result);
        return false;
    }
    readConditionsSidecar(local(path));
    recent_.add(path);
    remember(path);
    if (loaded_) loaded_(path);
    blankView_();
    return true;
}

void FileCommands::remember(const QString& path) {
    file_ = path;
    hadAttempts_ = state_.store.attemptCount > 0;
    firstStart_ = hadAttempts_ ? state_.store.startTime[0] : 0;
}

QString FileCommands::dataSetFile() const {
    if (file_.isEmpty()) return {};
    const MeasurementStore& store = state_.store;
    // A new test empties the attempt list and then records attempts of its own time.
    const bool hasAttempts = store.attemptCount > 0;
    if (hasAttempts != hadAttempts_) return {};
    if (hasAttempts && store.startTime[0] != firstStart_) return {};
    return file_;
}

void FileCommands::readConditionsSidecar(const std::string& path) {
    const SidecarRead beside = readSidecar(path);
    if (beside.state == SidecarState::Valid)
        state_.sensory.fromSidecar(beside.sidecar, state_.store);
    else
        state_.sensory.clear();
}

bool FileCommands::hasSomethingToSave() const {
    return state_.store.attemptCount > 0;
}

std::string FileCommands::dataSetKind() const {
    if (state_.sensory.any(state_.store)) return "sensory";
    switch (state_.store.settings.testMode) {
        case TestModeTargetHitting:
            return "target";
        case TestModeDriving:
            return "driving";
        default:
            return "stance";
    }
}

QString FileCommands::proposedSavePath() const {
    const QString file = dataSetFile();
    if (!file.isEmpty()) return file;
    const MeasurementStore& store = state_.store;
    // The day of the first attempt; the file keeps the low 32 bits of its time.
    const bool recorded = store.attemptCount > 0 && store.startTime[0] != 0;
    const int64_t day = recorded ? int64_t{static_cast<uint32_t>(store.startTime[0])}
                                 : QDateTime::currentSecsSinceEpoch();
    const QString folder = QFile::decodeName(QByteArray::fromStdString(state_.paths.dataFolder));
    const std::string name = firstFreeFileName(
        dataSetFileName(cp1250ToUtf8(store.subject.name), day, dataSetKind()),
        [&](const std::string& candidate) {
            return QFileInfo::exists(folder + QLatin1Char('/') + QString::fromStdString(candidate));
        });
    return folder + QLatin1Char('/') + QString::fromStdString(name);
}

bool FileCommands::save() {
    // An empty data set is never written: the command is greyed and a test's end with nothing
    // recorded does not offer it.
    if (!hasSomethingToSave()) return false;
    const QFileInfo proposed(proposedSavePath());
    FileRequest request{true, MeasurementFilter, "kplat", proposed.absolutePath()};
    request.proposedName = proposed.fileName();
    const auto chosen = port_.chooseFile(request);
    if (!chosen) return false;
    const QString path = withDefaultExtension(*chosen, "kplat");
    const FileResult result = saveMeasurementFile(local(path), state_.store);
    report(result);
    if (!result) return false;
    recent_.add(path);
    remember(path);
    // What follows a written file (its register entry, its sidecar) never undoes the Save.
    if (saved_) saved_(path);
    return true;
}

void FileCommands::openConfiguration() {
    const auto path = port_.chooseFile(
        {false, ConfigurationFilter, "swpcfg", QString::fromStdString(state_.paths.programFolder)});
    if (!path) return;
    report(loadConfiguration(local(withDefaultExtension(*path, "swpcfg")), state_.settings,
                             state_.store.attemptSeconds));
}

void FileCommands::saveConfiguration() {
    const auto path = port_.chooseFile(
        {true, ConfigurationFilter, "swpcfg", QString::fromStdString(state_.paths.programFolder)});
    if (!path) return;
    report(kenvo::saveConfiguration(local(withDefaultExtension(*path, "swpcfg")), state_.settings,
                                    state_.store.attemptSeconds));
}

void FileCommands::openProtocol() {
    const auto path = port_.chooseFile(
        {false, ProtocolFilter, "kplatprt", QString::fromStdString(state_.paths.programFolder)});
    if (!path) return;
    const FileResult result = loadProtocol(local(withDefaultExtension(*path, "kplatprt")),
                                           state_.protocol, state_.store.targetLocation);
    if (!result) return report(result);
    blankView_();
}

void FileCommands::saveProtocol() {
    const auto path = port_.chooseFile(
        {true, ProtocolFilter, "kplatprt", QString::fromStdString(state_.paths.programFolder)});
    if (!path) return;
    report(kenvo::saveProtocol(local(withDefaultExtension(*path, "kplatprt")), state_.protocol,
                               state_.store.targetLocation));
}

}  // namespace kenvo
