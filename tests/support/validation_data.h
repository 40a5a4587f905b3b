#pragma once

#include <optional>
#include <string>
#include <vector>

namespace kenvo::test {

// A real COP recording of the shared validation set: 100 Hz, millimetres.
struct Recording {
    std::string name;
    std::vector<double> xMm;
    std::vector<double> yMm;
};

// The folder of the validation recordings (KENVOPLAT_VALIDATION_DIR overrides), or nothing
// when it is absent; callers then GTEST_SKIP() with validationMissingReason().
std::optional<std::string> validationDir();
std::string validationMissingReason();
// The recording files in the folder (*.csv), sorted by name.
std::vector<std::string> validationFiles();
Recording loadRecording(const std::string& path);

}  // namespace kenvo::test
