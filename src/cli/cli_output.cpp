#include "cli_output.h"

#include <charconv>
#include <cstdio>
#include <span>

#include "files/atomic_file.h"

namespace kenvo::cli {

bool writeOutput(const std::optional<std::string>& path, const std::string& text,
                 std::string& error) {
    if (path) {
        const auto* bytes = reinterpret_cast<const uint8_t*>(text.data());
        return writeFileAtomically(*path, std::span(bytes, text.size()), error);
    }
    if (std::fwrite(text.data(), 1, text.size(), stdout) != text.size() ||
        std::fflush(stdout) != 0) {
        error = "cannot write to standard output";
        return false;
    }
    return true;
}

std::string fixed(double value, int decimals) {
    char buffer[64];
    const auto [end, error] =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, decimals);
    if (error != std::errc()) return "nan";
    std::string text(buffer, end);
    // A value that rounds to zero prints without a sign.
    if (text.front() == '-' && text.find_first_not_of("-0.") == std::string::npos) text.erase(0, 1);
    return text;
}

}  // namespace kenvo::cli
