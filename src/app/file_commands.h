#pragma once

#include <QString>
#include <functional>

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
    // True when the data set was written.
    bool save();
    void openConfiguration();
    void saveConfiguration();
    void openProtocol();
    void saveProtocol();

    // Before a command that replaces the data set: with unsaved measurements asks whether to
    // save them. True when the command may go on: no unsaved data, "No", or "Yes" and the
    // data were saved. A cancelled or failed save keeps the data and stops the command.
    bool offerSave(bool withCancel);

  private:
    void load(const QString& path);
    void report(const FileResult& result);
    // After a Save: the sensory test's protocol, conditions and discarded attempts go into the
    // sidecar beside the file (what else the sidecar holds is kept). Nothing for a data set
    // without conditions.
    void writeConditionsSidecar(const std::string& path);
    // After an Open: the conditions of a matching sidecar, or none.
    void readConditionsSidecar(const std::string& path);

    AppState& state_;
    OperatorPort& port_;
    RecentFiles& recent_;
    std::function<void()> blankView_;
};

// The chosen name with the default extension appended when it has none.
QString withDefaultExtension(const QString& path, const QString& extension);

}  // namespace kenvo
