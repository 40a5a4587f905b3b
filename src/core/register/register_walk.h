#pragma once

#include <string>
#include <utility>
#include <vector>

namespace kenvo::reg {

struct FoundFiles {
    std::vector<std::string> files;                            // regular *.kplat files
    std::vector<std::pair<std::string, std::string>> skipped;  // path, reason
};

// Every regular "*.kplat" file under `folders` (a folder, or a measurement file itself),
// recursively. Symbolic links to folders are followed, each folder entered once however it
// is reached, so a link loop ends. A "*.kplat" that is not a regular file (a folder, a pipe,
// a dangling link) and a folder that cannot be read are listed with the reason.
FoundFiles findMeasurementFiles(const std::vector<std::string>& folders);

}  // namespace kenvo::reg
