#pragma once

#include <optional>
#include <string>
#include <vector>

namespace kenvo::cli {

// Exit statuses of every subcommand.
inline constexpr int ExitOk = 0;
inline constexpr int ExitFailure = 1;
inline constexpr int ExitUsage = 2;

// A subcommand's arguments: options (--name, --name=value, --name value, -o value) and the
// positional words, checked against what the subcommand accepts.
class Args {
public:
    // `valued` options take a value; `flags` take none; `optionalValue` take "=value" or nothing.
    Args(const std::vector<std::string>& words, const std::vector<std::string>& valued,
         const std::vector<std::string>& flags, const std::vector<std::string>& optionalValue = {});

    bool ok() const { return error_.empty(); }
    const std::string& error() const { return error_; }

    bool has(const std::string& name) const;
    std::optional<std::string> value(const std::string& name) const;
    const std::vector<std::string>& positional() const { return positional_; }

    // A whole number option within [min, max]; sets the error when malformed.
    std::optional<long> number(const std::string& name, long min, long max);

private:
    std::vector<std::pair<std::string, std::string>> options_;
    std::vector<std::string> positional_;
    std::string error_;
};

}  // namespace kenvo::cli
