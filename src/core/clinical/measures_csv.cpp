#include "clinical/measures_csv.h"

#include <charconv>

namespace kenvo {

namespace {

void appendOptional(std::string& out, const std::optional<double>& v) {
    out += ',';
    if (v) out += csvNumber(*v);
}

}  // namespace

std::string csvText(const std::string& text) {
    if (text.find_first_of(",\"\r\n") == std::string::npos) return text;
    std::string quoted = "\"";
    for (char c : text) {
        if (c == '"') quoted += '"';
        quoted += c;
    }
    return quoted + '"';
}

std::string csvNumber(double value) {
    char buffer[64];
    // to_chars' shortest form keeps all 17 significant digits a double may need.
    const auto [end, error] = std::to_chars(buffer, buffer + sizeof buffer, value);
    return error == std::errc() ? std::string(buffer, end) : std::string();
}

std::string clinicalCsvHeader() {
    std::string header = "file,attempt";
    for (const ClinicalMeasureInfo& info : clinicalMeasureInfo()) {
        header += ',';
        header += info.column;
    }
    return header + ",lowpass_hz";
}

std::string clinicalCsv(std::span<const ClinicalRow> rows) {
    std::string out = clinicalCsvHeader() + '\n';
    for (const ClinicalRow& row : rows) {
        out += csvText(row.file);
        out += ',';
        out += std::to_string(row.attempt);
        for (const auto& value : row.measures.values) appendOptional(out, value);
        appendOptional(out, row.measures.lowPassHz);
        out += '\n';
    }
    return out;
}

}  // namespace kenvo
