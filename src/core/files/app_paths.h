#pragma once

#include <string>

namespace kenvo {

// Where the program keeps "default.swpcfg" and the "DATA" folder of measurement files, and
// where the configuration and protocol dialogs start.
struct AppPaths {
    std::string configPath;     // .../default.swpcfg
    std::string dataFolder;     // .../DATA
    std::string programFolder;  // initial folder of the configuration and protocol dialogs
};

// What the folders are chosen from.
struct PathSources {
    std::string homeOverride;   // KENVOPLAT_HOME, empty when unset
    std::string programFolder;  // the folder of the running program
    std::string userConfigDir;  // e.g. ~/.config/KenvoPlat
    std::string userDataDir;    // e.g. ~/Documents/KenvoPlat
};

// KENVOPLAT_HOME when set (tests, portable set-ups); else the program's folder when it is
// writable, as a portable installation keeps everything beside the program; else the user's
// configuration and documents folders, since an installed program's folder is read-only.
AppPaths resolveAppPaths(const PathSources& sources);

// Creates the data folder (and its parents) when it is missing. Returns an empty string when
// the folder exists afterwards, else the reason in plain words.
std::string ensureDataFolder(const std::string& folder);

}  // namespace kenvo
