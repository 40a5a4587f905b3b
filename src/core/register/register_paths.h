#pragma once

#include <cstdint>
#include <string>

namespace kenvo::reg {

// What the register compares to see whether a file changed.
struct FileState {
    bool exists = false;
    bool regular = false;
    uint64_t size = 0;
    int64_t mtimeNs = 0;
};
FileState fileState(const std::string& path);

// The path a session keeps: relative to the data folder when the file lies under it (both
// resolved first), else absolute; '/' separators.
std::string storedPath(const std::string& file, const std::string& dataFolder);

// A stored path as a path that can be opened.
std::string openablePath(const std::string& stored, const std::string& dataFolder);

// DATA/subjects/ID.json: the details of a subject that has no session yet.
std::string subjectFolderOf(const std::string& dataFolder);
std::string subjectFilePath(const std::string& dataFolder, int64_t id);

// The trimmed text (spaces, tabs, line ends at either end removed).
std::string trimmed(const std::string& text);

}  // namespace kenvo::reg
