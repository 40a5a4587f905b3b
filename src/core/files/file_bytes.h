#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace kenvo {

// Reads a whole file into `bytes`. On failure returns false with a plain-words reason.
bool readWholeFile(const std::string& path, std::vector<uint8_t>& bytes, std::string& error);

// The last component of a path, for messages that name the file.
std::string fileNameOf(const std::string& path);

}  // namespace kenvo
