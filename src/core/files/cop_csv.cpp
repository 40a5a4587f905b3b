#include "files/cop_csv.h"

#include <charconv>
#include <cmath>
#include <string_view>

#include "files/file_bytes.h"
#include "model/limits.h"

namespace kenvo {

namespace {

bool parseNumber(std::string_view field, double& value) {
    while (!field.empty() && field.front() == ' ') field.remove_prefix(1);
    while (!field.empty() && (field.back() == ' ' || field.back() == '\r')) field.remove_suffix(1);
    if (field.empty()) return false;
    const auto [end, error] = std::from_chars(field.data(), field.data() + field.size(), value);
    return error == std::errc() && end == field.data() + field.size() && std::isfinite(value);
}

bool fail(std::vector<CopPoint>& points, std::string& error, std::string message) {
    points.clear();
    error = std::move(message);
    return false;
}

}  // namespace

bool readCopCsv(const std::string& path, std::vector<CopPoint>& points, std::string& error,
                std::size_t maxSamples) {
    points.clear();
    std::vector<uint8_t> bytes;
    if (!readRegularFile(path, MaxCopCsvBytes, bytes, error)) return fail(points, error, error);
    std::string_view rest(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    // One line at a time, without its line feed; false at the end of the text.
    const auto nextLine = [&rest](std::string_view& line) {
        if (rest.empty()) return false;
        const auto nl = rest.find('\n');
        line = rest.substr(0, nl);
        rest.remove_prefix(nl == std::string_view::npos ? rest.size() : nl + 1);
        return true;
    };
    std::string_view line;
    nextLine(line);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (line != "t_s,x_mm,y_mm")
        return fail(points, error, path + ": the first line must be the header t_s,x_mm,y_mm");
    double firstTime = 0.0;
    for (long lineNumber = 2; nextLine(line); ++lineNumber) {
        if (line.empty() || line == "\r") continue;
        const std::string at = path + " line " + std::to_string(lineNumber);
        const auto c1 = line.find(',');
        const auto c2 = c1 == std::string_view::npos ? c1 : line.find(',', c1 + 1);
        double t, x, y;
        if (c2 == std::string_view::npos || line.find(',', c2 + 1) != std::string_view::npos ||
            !parseNumber(line.substr(0, c1), t) || !parseNumber(line.substr(c1 + 1, c2 - c1 - 1), x) ||
            !parseNumber(line.substr(c2 + 1), y))
            return fail(points, error, at + ": expected three numbers t_s,x_mm,y_mm");
        const auto index = static_cast<double>(points.size());
        if (points.empty()) firstTime = t;
        if (std::fabs(t - firstTime - index / SampleRate) > 0.002)
            return fail(points, error, at + ": the samples are not 0.01 s apart (100 Hz is needed)");
        if (points.size() == maxSamples)
            return fail(points, error, path + ": more than " + std::to_string(maxSamples) + " samples");
        points.push_back({x, y});
    }
    if (points.empty()) return fail(points, error, path + ": no samples");
    return true;
}

}  // namespace kenvo
