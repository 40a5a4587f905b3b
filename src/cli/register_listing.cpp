#include <algorithm>
#include <clocale>
#include <cstdio>

#include "analysis/text_format.h"
#include "clinical/clinical_measures.h"
#include "clinical/measures_csv.h"
#include "register_cli.h"

namespace kenvo::cli {

namespace {

int usageError(const char* subcommand, const std::string& usage, const std::string& message) {
    std::fprintf(stderr, "kenvoplat-cli register %s: %s\nusage: kenvoplat-cli register %s\n",
                 subcommand, message.c_str(), usage.c_str());
    return ExitUsage;
}

// --format text|csv; empty when it names neither.
std::string formatOption(const Args& args) {
    const std::string format = args.value("--format").value_or("text");
    return format == "text" || format == "csv" ? format : std::string();
}

std::size_t characters(const std::string& utf8) {
    return static_cast<std::size_t>(
        std::count_if(utf8.begin(), utf8.end(), [](char c) { return (c & 0xC0) != 0x80; }));
}

std::string optionalNumber(const std::optional<double>& value, const char* format) {
    return value ? formatText(format, *value) : std::string("n/a");
}

std::string cells(std::initializer_list<std::string> list) {
    std::string line;
    for (const std::string& cell : list) {
        if (!line.empty()) line += ',';
        line += cell;
    }
    return line + '\n';
}

std::optional<RegisterSubject> existingSubject(const char* subcommand, SubjectRegister& reg,
                                               int64_t id) {
    auto subject = reg.subject(id);
    if (!subject)
        std::fprintf(stderr, "kenvoplat-cli register %s: there is no subject %lld\n", subcommand,
                     static_cast<long long>(id));
    return subject;
}

std::optional<ClinicalMeasure> measureNamed(const std::string& name) {
    for (std::size_t i = 0; i < ClinicalMeasureCount; ++i)
        if (clinicalMeasureInfo()[i].column == name) return static_cast<ClinicalMeasure>(i);
    return std::nullopt;
}

}  // namespace

std::string alignedColumns(const std::vector<std::vector<std::string>>& rows,
                           const std::vector<bool>& rightAligned) {
    std::vector<std::size_t> widths(rightAligned.size(), 0);
    for (const auto& row : rows)
        for (std::size_t c = 0; c < row.size() && c < widths.size(); ++c)
            widths[c] = std::max(widths[c], characters(row[c]));
    std::string out;
    for (const auto& row : rows) {
        std::string line;
        for (std::size_t c = 0; c < row.size() && c < widths.size(); ++c) {
            const std::string padding(widths[c] - characters(row[c]), ' ');
            if (c > 0) line += "  ";
            line += rightAligned[c] ? padding + row[c] : row[c] + padding;
        }
        while (!line.empty() && line.back() == ' ') line.pop_back();
        out += line + '\n';
    }
    return out;
}

int runRegisterSubjects(const std::vector<std::string>& words) {
    const std::string usage = "subjects [--search TEXT] [--format text|csv] [--db PATH]";
    Args args(words, {"--search", "--format", "--db"}, {});
    if (!args.ok()) return usageError("subjects", usage, args.error());
    if (!args.positional().empty()) return usageError("subjects", usage, "no arguments are taken");
    const std::string format = formatOption(args);
    if (format.empty()) return usageError("subjects", usage, "--format is text or csv");
    auto reg = openRegisterFor("subjects", registerPlace(args));
    if (!reg) return ExitFailure;

    const auto subjects = reg->subjects(args.value("--search").value_or(""));
    if (format == "csv") {
        std::string out = "id,code,name,birth_date,sex,height_cm,weight_kg,sessions\n";
        for (const RegisterSubject& s : subjects)
            out += cells({std::to_string(s.id), csvText(s.code), csvText(s.name), s.birthDate,
                          std::string(1, s.sex), std::to_string(s.heightCm),
                          std::to_string(s.weightKg), std::to_string(s.sessionCount)});
        std::fputs(out.c_str(), stdout);
        return ExitOk;
    }
    std::vector<std::vector<std::string>> rows = {
        {"id", "code", "name", "born", "sex", "height cm", "weight kg", "sessions"}};
    for (const RegisterSubject& s : subjects)
        rows.push_back({std::to_string(s.id), s.code, s.name, s.birthDate, std::string(1, s.sex),
                        std::to_string(s.heightCm), std::to_string(s.weightKg),
                        std::to_string(s.sessionCount)});
    std::fputs(alignedColumns(rows, {true, false, false, false, false, true, true, true}).c_str(),
               stdout);
    return ExitOk;
}

int runRegisterSessions(const std::vector<std::string>& words) {
    const std::string usage = "sessions SUBJECT_ID|--review [--format text|csv] [--db PATH]";
    Args args(words, {"--format", "--db"}, {"--review"});
    if (!args.ok()) return usageError("sessions", usage, args.error());
    const bool review = args.has("--review");
    if (args.positional().size() != (review ? 0u : 1u))
        return usageError("sessions", usage, "one subject id, or --review, is needed");
    const auto id = review ? std::optional<int64_t>(0) : parseRegisterId(args.positional()[0]);
    if (!id) return usageError("sessions", usage, "a subject id is a whole number from 1");
    const std::string format = formatOption(args);
    if (format.empty()) return usageError("sessions", usage, "--format is text or csv");
    auto reg = openRegisterFor("sessions", registerPlace(args));
    if (!reg || (!review && !existingSubject("sessions", *reg, *id))) return ExitFailure;

    // A session waiting for review has no subject yet: its subject_id cell is empty.
    const auto sessions = review ? reg->reviewSessions() : reg->sessions(*id);
    const auto subjectCell = [](const RegisterSession& s) {
        return s.subjectId > 0 ? std::to_string(s.subjectId) : std::string();
    };
    if (format == "csv") {
        std::string out = "id,subject_id,file,test,recorded_at,attempts,status\n";
        for (const RegisterSession& s : sessions)
            out += cells({std::to_string(s.id), subjectCell(s), csvText(s.file), s.test,
                          utcTimestamp(s.recordedAt), std::to_string(s.attempts),
                          sessionStatusText(s.status)});
        std::fputs(out.c_str(), stdout);
        return ExitOk;
    }
    std::setlocale(LC_NUMERIC, "");
    std::vector<std::vector<std::string>> rows = {{"id", "subject", "recorded (UTC)", "test",
                                                   "attempts", "velocity mm/s", "area95 mm2",
                                                   "status", "file"}};
    for (const RegisterSession& s : sessions)
        rows.push_back({std::to_string(s.id), subjectCell(s), utcTimestamp(s.recordedAt), s.test,
                        std::to_string(s.attempts), optionalNumber(s.velocity, "%.2f"),
                        optionalNumber(s.area95, "%.1f"), sessionStatusText(s.status), s.file});
    std::setlocale(LC_NUMERIC, "C");
    std::fputs(
        alignedColumns(rows, {true, true, false, false, true, true, true, false, false}).c_str(),
        stdout);
    return ExitOk;
}

int runRegisterHistory(const std::vector<std::string>& words) {
    const std::string usage = "history SUBJECT_ID --measure NAME [--format text|csv] [--db PATH]";
    Args args(words, {"--measure", "--format", "--db"}, {});
    if (!args.ok()) return usageError("history", usage, args.error());
    if (args.positional().size() != 1)
        return usageError("history", usage, "one subject id is needed");
    const auto id = parseRegisterId(args.positional()[0]);
    if (!id) return usageError("history", usage, "a subject id is a whole number from 1");
    const auto name = args.value("--measure");
    if (!name)
        return usageError("history", usage,
                          "--measure names a column of \"kenvoplat-cli measures\", e.g. "
                          "velocity_mm_s (\"kenvoplat-cli --help\" lists them)");
    const auto measure = measureNamed(*name);
    if (!measure)
        return usageError(
            "history", usage,
            "unknown measure '" + *name + "' (\"kenvoplat-cli --help\" lists the measures)");
    const std::string format = formatOption(args);
    if (format.empty()) return usageError("history", usage, "--format is text or csv");
    auto reg = openRegisterFor("history", registerPlace(args));
    if (!reg || !existingSubject("history", *reg, *id)) return ExitFailure;

    const auto points = reg->history(*id, *measure);
    if (format == "csv") {
        std::string out = "session_id,recorded_at,file,attempts,value\n";
        for (const HistoryPoint& p : points)
            out +=
                cells({std::to_string(p.sessionId), utcTimestamp(p.recordedAt), csvText(p.file),
                       std::to_string(p.attempts), p.value ? csvNumber(*p.value) : std::string()});
        std::fputs(out.c_str(), stdout);
        return ExitOk;
    }
    const ClinicalMeasureInfo& info = clinicalMeasureInfo(*measure);
    std::string valueHeader(info.label);
    if (!info.unit.empty()) valueHeader += " " + std::string(info.unit);
    std::setlocale(LC_NUMERIC, "");
    std::vector<std::vector<std::string>> rows = {
        {"session", "recorded (UTC)", "attempts", valueHeader, "file"}};
    for (const HistoryPoint& p : points)
        rows.push_back({std::to_string(p.sessionId), utcTimestamp(p.recordedAt),
                        std::to_string(p.attempts), optionalNumber(p.value, "%.6g"), p.file});
    std::setlocale(LC_NUMERIC, "C");
    std::fputs(alignedColumns(rows, {true, false, true, true, false}).c_str(), stdout);
    return ExitOk;
}

}  // namespace kenvo::cli
