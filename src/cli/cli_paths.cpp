#include "cli_paths.h"

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "files/file_bytes.h"

namespace kenvo::cli {

namespace {

namespace fs = std::filesystem;

std::string environment(const char* name) {
    const char* value = std::getenv(name);
    return value ? value : "";
}

std::string programFolder() {
    std::error_code error;
    const fs::path self = fs::read_symlink("/proc/self/exe", error);
    return error ? std::string() : self.parent_path().string();
}

std::string configHome(const std::string& home) {
    const std::string xdg = environment("XDG_CONFIG_HOME");
    return xdg.empty() || xdg[0] != '/' ? home + "/.config" : xdg;
}

// XDG_DOCUMENTS_DIR="$HOME/Documents" from user-dirs.dirs, else ~/Documents.
std::string documentsFolder(const std::string& home) {
    std::vector<uint8_t> bytes;
    std::string error;
    if (readRegularFile(configHome(home) + "/user-dirs.dirs", 64 << 10, bytes, error)) {
        const std::string text(bytes.begin(), bytes.end());
        const std::string key = "XDG_DOCUMENTS_DIR=\"";
        std::size_t at = text.find(key);
        while (at != std::string::npos && at != 0 && text[at - 1] != '\n')
            at = text.find(key, at + 1);
        if (at != std::string::npos) {
            const std::size_t start = at + key.size();
            const std::size_t end = text.find('"', start);
            std::string value = text.substr(start, end - start);
            if (value.rfind("$HOME", 0) == 0) value = home + value.substr(5);
            if (!value.empty() && value[0] == '/') return value;
        }
    }
    return home + "/Documents";
}

}  // namespace

AppPaths commandLinePaths() {
    PathSources sources;
    sources.homeOverride = environment("KENVOPLAT_HOME");
    sources.programFolder = programFolder();
    std::string home = environment("HOME");
    if (home.empty()) home = "/tmp";
    sources.userConfigDir = configHome(home) + "/KenvoPlat";
    sources.userDataDir = documentsFolder(home) + "/KenvoPlat";
    return resolveAppPaths(sources);
}

}  // namespace kenvo::cli
