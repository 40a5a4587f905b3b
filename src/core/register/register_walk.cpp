#include "register/register_walk.h"

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <set>

#include "files/file_bytes.h"

namespace kenvo::reg {

namespace {

bool hasMeasurementName(const std::string& name) {
    constexpr std::string_view suffix = ".kplat";
    return name.size() > suffix.size() &&
           name.compare(name.size() - suffix.size(), suffix.size(), suffix) == 0;
}

// The reader's own reason for a measurement file it would not read.
std::string refusalOf(const std::string& path) {
    std::string reason;
    const int fd = openRegularFile(path, MaxMeasurementFileBytes, reason);
    if (fd >= 0) {
        ::close(fd);
        reason = "cannot open " + path;
    }
    return reason;
}

class Walk {
  public:
    FoundFiles found;

    void folder(const std::string& path, const struct stat& st) {
        if (!visited_.insert({st.st_dev, st.st_ino}).second) return;  // reached before: a loop
        DIR* dir = ::opendir(path.c_str());
        if (!dir) {
            found.skipped.emplace_back(
                path, "cannot read the folder " + path + ": " + std::strerror(errno));
            return;
        }
        std::vector<std::string> names;
        while (const dirent* entry = ::readdir(dir)) {
            const std::string name = entry->d_name;
            if (name != "." && name != "..") names.push_back(name);
        }
        ::closedir(dir);
        std::sort(names.begin(), names.end());
        for (const std::string& name : names) entry(path + "/" + name, name);
    }

    void entry(const std::string& path, const std::string& name) {
        struct stat st {};
        if (::stat(path.c_str(), &st) != 0) {
            if (hasMeasurementName(name)) found.skipped.emplace_back(path, refusalOf(path));
            return;
        }
        if (S_ISDIR(st.st_mode)) {
            folder(path, st);
        } else if (hasMeasurementName(name)) {
            if (S_ISREG(st.st_mode))
                found.files.push_back(path);
            else
                found.skipped.emplace_back(path, refusalOf(path));
        }
    }

  private:
    std::set<std::pair<dev_t, ino_t>> visited_;
};

}  // namespace

FoundFiles findMeasurementFiles(const std::vector<std::string>& folders) {
    Walk walk;
    for (const std::string& top : folders) {
        struct stat st {};
        if (::stat(top.c_str(), &st) != 0) {
            walk.found.skipped.emplace_back(top, refusalOf(top));
        } else if (S_ISDIR(st.st_mode)) {
            std::string path = top;
            while (path.size() > 1 && path.back() == '/') path.pop_back();
            walk.folder(path, st);
        } else {
            walk.entry(top, hasMeasurementName(top) ? top : top + ".kplat");
        }
    }
    return std::move(walk.found);
}

}  // namespace kenvo::reg
