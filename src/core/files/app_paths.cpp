#include "files/app_paths.h"

#include <unistd.h>

#include <filesystem>
#include <system_error>

namespace kenvo {

namespace fs = std::filesystem;

namespace {

bool writableFolder(const std::string& folder) {
    return !folder.empty() && ::access(folder.c_str(), W_OK | X_OK) == 0;
}

std::string join(const std::string& folder, const char* name) {
    return (fs::path(folder) / name).string();
}

}  // namespace

AppPaths resolveAppPaths(const PathSources& sources) {
    if (!sources.homeOverride.empty()) {
        const std::string& home = sources.homeOverride;
        return {join(home, "default.swpcfg"), join(home, "DATA"), home};
    }
    if (writableFolder(sources.programFolder)) {
        const std::string& folder = sources.programFolder;
        return {join(folder, "default.swpcfg"), join(folder, "DATA"), folder};
    }
    return {join(sources.userConfigDir, "default.swpcfg"), join(sources.userDataDir, "DATA"),
            sources.userConfigDir};
}

std::string ensureDataFolder(const std::string& folder) {
    std::error_code error;
    if (fs::is_directory(folder, error)) return {};
    fs::create_directories(folder, error);
    if (fs::is_directory(folder)) return {};
    return "The data folder " + folder + " could not be created" +
           (error ? ": " + error.message() : std::string(".")) +
           " Measurements can still be saved elsewhere.";
}

}  // namespace kenvo
