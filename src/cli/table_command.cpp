#include <clocale>
#include <cstdio>
#include <cstdlib>

#include "analysis/table_rows.h"
#include "cli_args.h"
#include "cli_data_set.h"
#include "cli_output.h"
#include "commands.h"

namespace kenvo::cli {

namespace {

constexpr const char* TableUsage =
    "usage: kenvoplat-cli table summary|interval|attempt|target|driving|frequency FILE.kplat\n"
    "           [--attempt N] [--interval L] [--filter MM] [--format text|csv]\n";

std::string trimmed(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\r' || s.front() == '\n')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\r' || s.back() == '\n')) s.remove_suffix(1);
    return std::string(s);
}

std::string csvCell(const std::string& text) {
    const std::string t = trimmed(text);
    if (t.find_first_of(",\"") == std::string::npos) return t;
    std::string quoted = "\"";
    for (char c : t) quoted += c == '"' ? std::string("\"\"") : std::string(1, c);
    return quoted + "\"";
}

// A title's two lines joined by a space.
std::string titleText(std::string_view title) {
    std::string s(title);
    for (char& c : s)
        if (c == '\n' || c == '\r') c = ' ';
    return trimmed(s);
}

}  // namespace

int runTable(const std::vector<std::string>& words) {
    Args args(words, {"--attempt", "--interval", "--format", "--filter"}, {});
    const auto attempt = args.number("--attempt", 1, MaxAttempts);
    const auto interval = args.number("--interval", 1, 300);
    const std::string format = args.value("--format").value_or("text");
    SummaryTable table = SummaryTable::Summary;
    bool known = false;
    if (!args.positional().empty())
        if (const auto named = tableNamed(args.positional()[0])) table = *named, known = true;
    float filter = 1.0f;
    if (const auto f = args.value("--filter")) filter = std::strtof(f->c_str(), nullptr);
    if (!args.ok() || args.positional().size() != 2 || !known || (format != "text" && format != "csv") ||
        !(filter >= 0.0f)) {
        std::fprintf(stderr, "kenvoplat-cli table: %s\n%s",
                     !args.ok() ? args.error().c_str() : "a table name and one measurement file are needed",
                     TableUsage);
        return ExitUsage;
    }
    const std::string& path = args.positional()[1];
    auto data = loadDataSet("table", path);
    if (!data || !tableSuitsDataSet("table", table, *data, path)) return ExitFailure;
    const auto index = attemptIndex("table", *data, attempt, path);
    if (!index) return ExitFailure;

    // The text form shows the numbers as the list would, in the user's numeric locale.
    if (format == "text") std::setlocale(LC_NUMERIC, "");
    const TableContent content = buildTable(table, *data->store, {*index, static_cast<int32_t>(interval.value_or(1)), filter});
    std::setlocale(LC_NUMERIC, "C");
    const int32_t columns = content.shownColumns;
    std::string out;
    if (format == "csv") {
        const TableDescriptor& d = tableDescriptor(table);
        for (int32_t c = 0; c < columns; ++c) {
            if (c) out += ',';
            out += csvCell(titleText(d.screenTitles[static_cast<std::size_t>(c)]));
        }
        out += '\n';
    }
    for (const auto& row : content.rows) {
        for (int32_t c = 0; c < columns; ++c) {
            if (c) out += format == "csv" ? "," : "\t";
            const std::string& cell = row[static_cast<std::size_t>(c)];
            out += format == "csv" ? csvCell(cell) : cell;
        }
        out += '\n';
    }
    std::string error;
    if (!writeOutput(std::nullopt, out, error)) {
        std::fprintf(stderr, "kenvoplat-cli table: %s\n", error.c_str());
        return ExitFailure;
    }
    return ExitOk;
}

}  // namespace kenvo::cli
