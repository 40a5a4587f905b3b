#pragma once

#include <string>

namespace kenvo {

// The operator's texts of the file routines.
inline constexpr const char* MessageSaveError = "File Save Error";
inline constexpr const char* MessageOpenError = "Error opening file";
inline constexpr const char* MessageIncompatibleData = "Incompatible data";
inline constexpr const char* MessageIncompatibleProtocol = "Incompatible protocol";

// What a file routine reports: success, or the text for the operator's message box and the
// reason in plain words (with the path) for logs and the command line.
struct FileResult {
    bool ok = true;
    std::string message;
    std::string reason;

    explicit operator bool() const { return ok; }

    static FileResult success() { return {}; }
    static FileResult failure(std::string message, std::string reason) {
        return FileResult{false, std::move(message), std::move(reason)};
    }
};

}  // namespace kenvo
