#pragma once

#include <QString>
#include <cstdint>
#include <functional>
#include <string>

#include "files/file_result.h"

namespace kenvo {

struct AppState;
class OperatorPort;
class RecentFiles;

inline constexpr const char* MeasurementFilter = "KenvoPlat Files (*.kplat)|*.kplat||";
inline constexpr const char* ConfigurationFilter = "KenvoPlat CFG Files (*.swpcfg)|*.swpcfg||";
inline constexpr const char* ProtocolFilter = "KenvoPlat Protocol Files (*.kplatprt)|*.kplatprt||";
inline constexpr const char* UnsavedQuestion = "Data not saved. Save?";

// The six commands that move data between the program and files, with their file choosers,
// and the question before unsaved measurements are discarded.
class FileCommands {
  public:
    FileCommands(AppState& state, OperatorPort& port, RecentFiles& recent,
                 std::function<void()> blankView);

    void open();
    // Opens a file of the recent-file list: as Open without the chooser.
    void openRecent(const QString& path);
    // Opens `path` as Open does after its chooser: the unsaved-data question first. True when
    // the file is now the data set.
    bool openFile(const QString& path);
    // Asks where, proposing the data set's own file or, for one that has none yet, a name of
    // its subject, day and test in the data folder. True when the data set was written; an
    // empty data set (no attempts) is not written.
    bool save();
    // Where Save's chooser opens: the folder and the proposed name.
    QString proposedSavePath() const;
    void openConfiguration();
    void saveConfiguration();
    void openProtocol();
    void saveProtocol();

    // Before a command that replaces the data set: with unsaved measurements asks whether to
    // save them (a data set without attempts is never asked about). True when the command may go
    // on: no unsaved data, "No", or "Yes" and the data were saved. A cancelled or failed save keeps
    // the data and stops the command.
    bool offerSave(bool withCancel);

    // Told the path of every measurement file written by Save, and of every one opened.
    void setSavedHandler(std::function<void(const QString&)> handler) {
        saved_ = std::move(handler);
    }
    void setLoadedHandler(std::function<void(const QString&)> handler) {
        loaded_ = std::move(handler);
    }

    // The file the data set in the store was opened from or saved to; empty once the store
    // holds another data set (a new test) or none was ever opened or saved.
    QString dataSetFile() const;

  private:
    bool hasSomethingToSave() const;
    // "stance", "target", "driving" or "sensory", for the proposed file name.
    std::string dataSetKind() const;
    bool load(const QString& path);
    void report(const FileResult& result);
    void remember(const QString& path);
    // After an Open: the sensory test's conditions from a matching sidecar, or none.
    void readConditionsSidecar(const std::string& path);

    AppState& state_;
    OperatorPort& port_;
    RecentFiles& recent_;
    std::function<void()> blankView_;
    std::function<void(const QString&)> saved_;
    std::function<void(const QString&)> loaded_;
    QString file_;
    // The first attempt's start when the file was opened or saved, which tells the same data
    // set (continued, or saved again) from a new one recorded since.
    int32_t firstStart_ = 0;
    bool hadAttempts_ = false;
};

// The chosen name with the default extension appended when it has none.
QString withDefaultExtension(const QString& path, const QString& extension);

}  // namespace kenvo
