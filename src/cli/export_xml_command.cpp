#include <unistd.h>

#include <cstdio>
#include <cstdlib>

#include "reports/batch_analysis.h"
#include "analysis/spreadsheet_xml.h"
#include "analysis/table_rows.h"
#include "cli_args.h"
#include "cli_data_set.h"
#include "cli_output.h"
#include "commands.h"
#include "files/code_page.h"

namespace kenvo::cli {

namespace {
constexpr const char* ExportXmlUsage =
    "usage: kenvoplat-cli export-xml summary|interval|attempt|target|driving|frequency FILE.kplat\n"
    "           [--attempt N] [--interval L] [--filter MM] [-o noname.xml]\n";
constexpr const char* BatchUsage = "usage: kenvoplat-cli batch FILE.kplat... [--filter MM] [-o analysis.xml]\n";

bool filterOption(const Args& args, float& filter) {
    filter = 1.0f;
    if (const auto f = args.value("--filter")) {
        char* end = nullptr;
        filter = std::strtof(f->c_str(), &end);
        return !f->empty() && *end == '\0' && filter >= 0.0f;
    }
    return true;
}
}  // namespace

int runExportXml(const std::vector<std::string>& words) {
    Args args(words, {"--attempt", "--interval", "--filter", "-o"}, {});
    const auto attempt = args.number("--attempt", 1, MaxAttempts);
    const auto interval = args.number("--interval", 1, 300);
    SummaryTable table = SummaryTable::Summary;
    bool known = false;
    if (!args.positional().empty())
        if (const auto named = tableNamed(args.positional()[0])) table = *named, known = true;
    float filter;
    if (!args.ok() || args.positional().size() != 2 || !known || !filterOption(args, filter)) {
        std::fprintf(stderr, "kenvoplat-cli export-xml: %s\n%s",
                     !args.ok() ? args.error().c_str() : "a table name and one measurement file are needed",
                     ExportXmlUsage);
        return ExitUsage;
    }
    const std::string& path = args.positional()[1];
    auto data = loadDataSet("export-xml", path);
    if (!data || !tableSuitsDataSet("export-xml", table, *data, path)) return ExitFailure;
    const auto index = attemptIndex("export-xml", *data, attempt, path);
    if (!index) return ExitFailure;
    const MeasurementStore& s = *data->store;
    const TableContent content = buildTable(table, s, {*index, static_cast<int32_t>(interval.value_or(1)), filter});
    const ExportHeading heading{cp1250ToUtf8(s.subject.name), s.subject.weight,
                                s.startTime[static_cast<std::size_t>(*index)], *index};
    std::string error;
    const std::string output = args.value("-o").value_or("noname.xml");
    if (!writeOutput(output, buildTableDocument(content, heading), error)) {
        std::fprintf(stderr, "kenvoplat-cli export-xml: %s\n", error.c_str());
        return ExitFailure;
    }
    return ExitOk;
}

int runBatch(const std::vector<std::string>& words) {
    Args args(words, {"--filter", "-o"}, {});
    float filter;
    if (!args.ok() || args.positional().empty() || !filterOption(args, filter)) {
        std::fprintf(stderr, "kenvoplat-cli batch: %s\n%s",
                     !args.ok() ? args.error().c_str() : "at least one measurement file is needed", BatchUsage);
        return ExitUsage;
    }
    const bool terminal = isatty(STDERR_FILENO) != 0;
    const BatchResult result = runBatchAnalysis(
        args.positional(), filter, [&](std::size_t done, std::size_t total, const std::string& file) {
            if (!terminal) return;
            if (done < total) std::fprintf(stderr, "\r\033[K[%zu/%zu] %s", done + 1, total, file.c_str());
            else std::fprintf(stderr, "\r\033[K");
        });
    int skipped = 0;
    for (const BatchFileOutcome& f : result.files)
        if (!f.analysed) {
            ++skipped;
            std::fprintf(stderr, "kenvoplat-cli batch: skipped %s: %s (%s)\n", f.path.c_str(), f.message.c_str(),
                         f.reason.c_str());
        }
    std::string error;
    const std::string output = args.value("-o").value_or("analysis.xml");
    if (!writeOutput(output, result.document, error)) {
        std::fprintf(stderr, "kenvoplat-cli batch: %s\n", error.c_str());
        return ExitFailure;
    }
    std::fprintf(stderr, "%d rows from %zu of %zu files written to %s\n", result.rows,
                 result.files.size() - static_cast<std::size_t>(skipped), result.files.size(), output.c_str());
    return skipped ? ExitFailure : ExitOk;
}

}  // namespace kenvo::cli
