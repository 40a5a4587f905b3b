#include "cli_args.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>

namespace kenvo::cli {

namespace {
bool contains(const std::vector<std::string>& list, const std::string& s) {
    return std::find(list.begin(), list.end(), s) != list.end();
}
}  // namespace

Args::Args(const std::vector<std::string>& words, const std::vector<std::string>& valued,
           const std::vector<std::string>& flags, const std::vector<std::string>& optionalValue) {
    for (std::size_t i = 0; i < words.size(); ++i) {
        const std::string& w = words[i];
        if (w.size() < 2 || w[0] != '-' || w == "--") {
            positional_.push_back(w);
            continue;
        }
        std::string name = w, value;
        bool inlineValue = false;
        if (const auto eq = w.find('='); eq != std::string::npos) {
            name = w.substr(0, eq);
            value = w.substr(eq + 1);
            inlineValue = true;
        }
        if (contains(valued, name)) {
            if (!inlineValue) {
                if (i + 1 >= words.size()) {
                    error_ = "option " + name + " needs a value";
                    return;
                }
                value = words[++i];
            }
        } else if (contains(flags, name)) {
            if (inlineValue) {
                error_ = "option " + name + " takes no value";
                return;
            }
        } else if (!contains(optionalValue, name)) {
            error_ = "unknown option " + name;
            return;
        }
        options_.emplace_back(name, value);
    }
}

bool Args::has(const std::string& name) const {
    return std::any_of(options_.begin(), options_.end(), [&](const auto& o) { return o.first == name; });
}

std::optional<std::string> Args::value(const std::string& name) const {
    for (auto it = options_.rbegin(); it != options_.rend(); ++it)
        if (it->first == name) return it->second;
    return std::nullopt;
}

std::optional<long> Args::number(const std::string& name, long min, long max) {
    const auto text = value(name);
    if (!text) return std::nullopt;
    errno = 0;
    char* end = nullptr;
    const long n = std::strtol(text->c_str(), &end, 10);
    if (text->empty() || *end != '\0' || errno != 0 || n < min || n > max) {
        error_ = "option " + name + " takes a whole number from " + std::to_string(min) + " to " +
                 std::to_string(max);
        return std::nullopt;
    }
    return n;
}

}  // namespace kenvo::cli
