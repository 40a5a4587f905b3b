#include "support/validation_data.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace kenvo::test {

namespace fs = std::filesystem;

std::optional<std::string> validationDir() {
    const char* env = std::getenv("KENVOPLAT_VALIDATION_DIR");
    const std::string dir = env && *env ? env : KENVO_VALIDATION_DIR;
    std::error_code ec;
    if (!fs::is_directory(dir, ec)) return std::nullopt;
    return dir;
}

std::string validationMissingReason() {
    return "the validation recordings (" + std::string(KENVO_VALIDATION_DIR) +
           ") are not present in this checkout";
}

std::vector<std::string> validationFiles() {
    std::vector<std::string> files;
    const auto dir = validationDir();
    if (!dir) return files;
    for (const auto& entry : fs::directory_iterator(*dir))
        if (entry.path().extension() == ".csv") files.push_back(entry.path().string());
    std::sort(files.begin(), files.end());
    return files;
}

Recording loadRecording(const std::string& path) {
    std::ifstream in(path);
    if (!in) throw std::runtime_error("cannot open " + path);
    Recording r;
    r.name = fs::path(path).filename().string();
    std::string line;
    std::getline(in, line);  // header t_s,x_mm,y_mm
    while (std::getline(in, line)) {
        if (line.empty()) continue;
        std::istringstream fields(line);
        std::string t, x, y;
        std::getline(fields, t, ',');
        std::getline(fields, x, ',');
        std::getline(fields, y, ',');
        r.xMm.push_back(std::strtod(x.c_str(), nullptr));
        r.yMm.push_back(std::strtod(y.c_str(), nullptr));
    }
    return r;
}

}  // namespace kenvo::test
