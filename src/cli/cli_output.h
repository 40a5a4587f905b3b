#pragma once

#include <optional>
#include <string>

namespace kenvo::cli {

// Writes a command's text to `path` atomically (nothing partial is left on failure), or to
// standard output when no path is given. On failure returns false with a reason.
bool writeOutput(const std::optional<std::string>& path, const std::string& text,
                 std::string& error);

// Locale-independent fixed-point formatting of a number with `decimals` places.
std::string fixed(double value, int decimals);

}  // namespace kenvo::cli
