#include "lowpass_option.h"

#include <algorithm>
#include <charconv>

#include "clinical/clinical_measures.h"

namespace kenvo::cli {

bool parseLowPassOption(const std::string& text, std::optional<double>& cutoff) {
    if (text == "none") {
        cutoff.reset();
        return true;
    }
    if (text.empty() || text.find_first_not_of("0123456789.") != std::string::npos ||
        std::count(text.begin(), text.end(), '.') > 1)
        return false;
    double value = 0.0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || value < MinLowPassHz ||
        value > MaxLowPassHz)
        return false;
    cutoff = value;
    return true;
}

}  // namespace kenvo::cli
