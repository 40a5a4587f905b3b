#include "register/register_paths.h"

#include <sys/stat.h>

#include <filesystem>

namespace kenvo::reg {

namespace fs = std::filesystem;

FileState fileState(const std::string& path) {
    FileState state;
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) return state;
    state.exists = true;
    state.regular = S_ISREG(st.st_mode);
    state.size = static_cast<uint64_t>(st.st_size);
    state.mtimeNs = int64_t{st.st_mtim.tv_sec} * 1'000'000'000 + st.st_mtim.tv_nsec;
    return state;
}

namespace {

fs::path resolved(const std::string& path) {
    std::error_code ec;
    fs::path absolute = fs::absolute(path, ec);
    if (ec) absolute = path;
    fs::path canonical = fs::weakly_canonical(absolute, ec);
    return ec ? absolute.lexically_normal() : canonical;
}

}  // namespace

std::string storedPath(const std::string& file, const std::string& dataFolder) {
    const fs::path target = resolved(file);
    if (!dataFolder.empty()) {
        const fs::path folder = resolved(dataFolder);
        // Under the folder when every component of the folder starts the file's path.
        auto f = folder.begin();
        auto t = target.begin();
        for (; f != folder.end() && t != target.end() && *f == *t; ++f, ++t) {
        }
        // A trailing separator of the folder leaves an empty last component.
        if (f != folder.end() && f->empty() && std::next(f) == folder.end()) ++f;
        if (f == folder.end() && t != target.end())
            return target.lexically_relative(folder).generic_string();
    }
    return target.generic_string();
}

std::string openablePath(const std::string& stored, const std::string& dataFolder) {
    const fs::path path(stored);
    if (path.is_absolute() || dataFolder.empty()) return stored;
    return (fs::path(dataFolder) / path).string();
}

std::string subjectFolderOf(const std::string& dataFolder) {
    return (fs::path(dataFolder.empty() ? "." : dataFolder) / "subjects").string();
}

std::string subjectFilePath(const std::string& dataFolder, int64_t id) {
    return (fs::path(subjectFolderOf(dataFolder)) / (std::to_string(id) + ".json")).string();
}

std::string trimmed(const std::string& text) {
    const char* space = " \t\r\n";
    const auto first = text.find_first_not_of(space);
    if (first == std::string::npos) return {};
    const auto last = text.find_last_not_of(space);
    return text.substr(first, last - first + 1);
}

}  // namespace kenvo::reg
