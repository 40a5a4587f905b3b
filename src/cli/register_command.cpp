#include <sys/stat.h>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>

#include "cli_paths.h"
#include "commands.h"
#include "register_cli.h"

namespace kenvo::cli {

namespace {

constexpr const char* RegisterUsage =
    "usage: kenvoplat-cli register scan [--rebuild] [--db PATH] DIR...\n"
    "       kenvoplat-cli register subjects [--search TEXT] [--format text|csv] [--db PATH]\n"
    "       kenvoplat-cli register sessions SUBJECT_ID|--review [--format text|csv] [--db "
    "PATH]\n"
    "       kenvoplat-cli register history SUBJECT_ID --measure NAME [--format text|csv] "
    "[--db PATH]\n"
    "       kenvoplat-cli register assign SESSION_ID SUBJECT_ID [--db PATH]\n"
    "       kenvoplat-cli register check [--db PATH]\n";

volatile std::sig_atomic_t interrupted = 0;
void onInterrupt(int) {
    interrupted = 1;
}

int usageError(const std::string& subcommand, const std::string& message) {
    std::fprintf(stderr, "kenvoplat-cli register %s: %s\n%s", subcommand.c_str(), message.c_str(),
                 RegisterUsage);
    return ExitUsage;
}

bool unusable(RegisterOpenState state) {
    return state == RegisterOpenState::NotARegister || state == RegisterOpenState::Damaged ||
           state == RegisterOpenState::NewerSchema;
}

void printNote(const std::string& subcommand, const RegisterOpenResult& result) {
    if (!result.note.empty())
        std::fprintf(stderr, "kenvoplat-cli register %s: %s\n", subcommand.c_str(),
                     result.note.c_str());
}

bool isFolder(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

// Opens the register for a scan, creating it when missing; with `rebuild` a register that
// cannot be read is first moved aside (kept, never overwritten).
std::unique_ptr<SubjectRegister> openForScan(const RegisterPlace& place, bool rebuild) {
    if (place.isDefault) {
        if (const std::string problem = ensureDataFolder(place.dataFolder); !problem.empty()) {
            std::fprintf(stderr, "kenvoplat-cli register scan: %s\n", problem.c_str());
            return nullptr;
        }
    }
    RegisterOpenResult result;
    auto reg = SubjectRegister::open(place.dbPath, place.dataFolder, result);
    // Opening checks the pages quickly; a rebuild also runs the full check first (indexes
    // included), so it never builds on a damaged file but keeps that file aside like any other.
    if (reg && rebuild) {
        if (const std::string integrity = reg->check().integrity; integrity != "ok") {
            reg.reset();
            result.state = RegisterOpenState::Damaged;
            result.message =
                "the subject register " + place.dbPath + " is damaged (" + integrity + ")";
        }
    }
    if (!reg && rebuild && unusable(result.state)) {
        std::string keptAs, error;
        if (!SubjectRegister::setAside(place.dbPath, keptAs, error)) {
            std::fprintf(stderr, "kenvoplat-cli register scan: %s\n%s\n", result.message.c_str(),
                         error.c_str());
            return nullptr;
        }
        std::fprintf(stderr,
                     "kenvoplat-cli register scan: %s\nThe old register was kept as %s; a new "
                     "one is built from the files.\n",
                     result.message.c_str(), keptAs.c_str());
        result = {};
        reg = SubjectRegister::open(place.dbPath, place.dataFolder, result);
    }
    if (!reg) {
        std::fprintf(stderr, "kenvoplat-cli register scan: %s\n", result.message.c_str());
        if (unusable(result.state))
            std::fputs(
                "\"kenvoplat-cli register scan --rebuild DIR...\" rebuilds it from the "
                "measurement files and keeps the old file.\n",
                stderr);
        return nullptr;
    }
    printNote("scan", result);
    return reg;
}

int runScan(const std::vector<std::string>& words) {
    Args args(words, {"--db"}, {"--rebuild"});
    if (!args.ok()) return usageError("scan", args.error());
    const auto& folders = args.positional();
    if (folders.empty()) return usageError("scan", "at least one folder is needed");
    for (const std::string& folder : folders) {
        if (!isFolder(folder)) {
            std::fprintf(stderr, "kenvoplat-cli register scan: %s is not a folder\n",
                         folder.c_str());
            return ExitFailure;
        }
    }
    const bool rebuild = args.has("--rebuild");
    auto reg = openForScan(registerPlace(args), rebuild);
    if (!reg) return ExitFailure;

    // Ctrl+C ends the scan between two files: what is registered stays registered.
    interrupted = 0;
    auto* previous = std::signal(SIGINT, onInterrupt);
    const ScanReport report =
        reg->scan(folders, rebuild, [](int, int) { return interrupted == 0; });
    std::signal(SIGINT, previous);
    if (!report.error.empty()) {
        std::fprintf(stderr, "kenvoplat-cli register scan: %s\n", report.error.c_str());
        return ExitFailure;
    }

    std::printf("added %d\nupdated %d\nunchanged %d\nskipped %d\nreview %d\n", report.added,
                report.updated, report.unchanged, report.skipped, report.review);
    for (const auto& [path, reason] : report.skippedFiles)
        std::printf("skipped %s: %s\n", path.c_str(), reason.c_str());
    for (const std::string& note : report.notes)
        std::fprintf(stderr, "kenvoplat-cli register scan: %s\n", note.c_str());
    if (report.cancelled) {
        std::fputs(
            "kenvoplat-cli register scan: interrupted; the files not yet registered are "
            "registered by the next scan\n",
            stderr);
        return ExitFailure;
    }
    return ExitOk;
}

int runAssign(const std::vector<std::string>& words) {
    Args args(words, {"--db"}, {});
    if (!args.ok()) return usageError("assign", args.error());
    if (args.positional().size() != 2)
        return usageError("assign", "a session id and a subject id are needed");
    const auto session = parseRegisterId(args.positional()[0]);
    const auto subject = parseRegisterId(args.positional()[1]);
    if (!session || !subject) return usageError("assign", "ids are whole numbers from 1");
    auto reg = openRegisterFor("assign", registerPlace(args));
    if (!reg) return ExitFailure;
    std::string error;
    if (!reg->assign(*session, *subject, error)) {
        std::fprintf(stderr, "kenvoplat-cli register assign: %s\n", error.c_str());
        return ExitFailure;
    }
    return ExitOk;
}

int runCheck(const std::vector<std::string>& words) {
    Args args(words, {"--db"}, {});
    if (!args.ok()) return usageError("check", args.error());
    if (!args.positional().empty()) return usageError("check", "no arguments are taken");
    const RegisterPlace place = registerPlace(args);
    auto reg = openRegisterFor("check", place);
    if (!reg) return ExitFailure;
    const CheckReport report = reg->check();
    std::printf("database: %s\n", report.integrity.c_str());
    if (report.integrity != "ok")
        std::fprintf(stderr,
                     "kenvoplat-cli register check: the subject register %s is damaged; "
                     "\"kenvoplat-cli register scan --rebuild DIR...\" rebuilds it from the "
                     "measurement files and keeps the old file.\n",
                     place.dbPath.c_str());
    for (const std::string& problem : report.problems) std::printf("%s\n", problem.c_str());
    std::printf("files: %s\n",
                report.problems.empty()
                    ? "ok"
                    : (std::to_string(report.problems.size()) + " not as registered").c_str());
    return report.ok() ? ExitOk : ExitFailure;
}

}  // namespace

RegisterPlace registerPlace(const Args& args) {
    RegisterPlace place;
    place.dataFolder = commandLinePaths().dataFolder;
    if (const auto db = args.value("--db")) {
        place.dbPath = *db;
    } else {
        place.dbPath = place.dataFolder + "/" + DefaultRegisterFileName;
        place.isDefault = true;
    }
    return place;
}

std::unique_ptr<SubjectRegister> openRegisterFor(const std::string& subcommand,
                                                 const RegisterPlace& place) {
    struct stat st {};
    if (::stat(place.dbPath.c_str(), &st) != 0 && errno == ENOENT) {
        std::fprintf(stderr,
                     "kenvoplat-cli register %s: there is no register %s yet; \"kenvoplat-cli "
                     "register scan DIR...\" makes one\n",
                     subcommand.c_str(), place.dbPath.c_str());
        return nullptr;
    }
    RegisterOpenResult result;
    auto reg = SubjectRegister::open(place.dbPath, place.dataFolder, result);
    if (!reg) {
        std::fprintf(stderr, "kenvoplat-cli register %s: %s\n", subcommand.c_str(),
                     result.message.c_str());
        if (unusable(result.state))
            std::fputs(
                "\"kenvoplat-cli register scan --rebuild DIR...\" rebuilds it from the "
                "measurement files and keeps the old file.\n",
                stderr);
        return nullptr;
    }
    printNote(subcommand, result);
    return reg;
}

std::optional<int64_t> parseRegisterId(const std::string& text) {
    if (text.empty() || text.size() > 18) return std::nullopt;
    int64_t id = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return std::nullopt;
        id = id * 10 + (c - '0');
    }
    return id >= 1 ? std::optional<int64_t>(id) : std::nullopt;
}

int runRegister(const std::vector<std::string>& words) {
    if (words.empty()) {
        std::fputs(RegisterUsage, stderr);
        return ExitUsage;
    }
    const std::string& subcommand = words.front();
    const std::vector<std::string> rest(words.begin() + 1, words.end());
    if (subcommand == "scan") return runScan(rest);
    if (subcommand == "subjects") return runRegisterSubjects(rest);
    if (subcommand == "sessions") return runRegisterSessions(rest);
    if (subcommand == "history") return runRegisterHistory(rest);
    if (subcommand == "assign") return runAssign(rest);
    if (subcommand == "check") return runCheck(rest);
    std::fprintf(stderr, "kenvoplat-cli register: unknown subcommand '%s'\n%s", subcommand.c_str(),
                 RegisterUsage);
    return ExitUsage;
}

}  // namespace kenvo::cli
