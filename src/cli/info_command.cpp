#include <cstdio>
#include <ctime>
#include <memory>
#include <string_view>

#include "cli_args.h"
#include "cli_data_set.h"
#include "cli_output.h"
#include "commands.h"
#include "files/code_page.h"
#include "files/file_signature.h"
#include "files/measurement_file.h"
#include "model/graph_settings.h"
#include "model/measurement_store.h"

namespace kenvo::cli {

namespace {

const char* locationName(int32_t location) {
    static constexpr const char* names[] = {"left", "front", "right", "rear"};
    return location >= 0 && location < 4 ? names[location] : "none";
}

// The file keeps the low 32 bits of the time; read as unsigned they are right until 2106.
std::string localTime(int32_t stored) {
    const std::time_t t = static_cast<std::time_t>(static_cast<uint32_t>(stored));
    std::tm tm{};
    if (!localtime_r(&t, &tm)) return "?";
    char buffer[64];
    return std::strftime(buffer, sizeof buffer, "%Y-%m-%d %H:%M:%S", &tm) ? buffer : "?";
}

bool hasExtension(const std::string& path, std::string_view extension) {
    return path.size() > extension.size() && path.ends_with(extension);
}

}  // namespace

int runInfo(const std::vector<std::string>& words) {
    Args args(words, {}, {});
    if (!args.ok() || args.positional().size() != 1) {
        std::fprintf(stderr,
                     "kenvoplat-cli info: %s\nusage: kenvoplat-cli info FILE.kplat|FILE.swpcfg|FILE.kplatprt\n",
                     args.ok() ? "one file is needed" : args.error().c_str());
        return ExitUsage;
    }
    const std::string& path = args.positional().front();
    // The extension says which kind of file it is; all three carry the same signature.
    if (hasExtension(path, ".swpcfg")) return runInfoConfiguration(path);
    if (hasExtension(path, ".kplatprt")) return runInfoProtocol(path);
    auto store = std::make_unique<MeasurementStore>();
    GraphSettings graph;
    if (const FileResult r = loadMeasurementFile(path, *store, graph); !r) {
        std::fprintf(stderr, "kenvoplat-cli info: %s (%s)\n", r.message.c_str(), r.reason.c_str());
        return ExitFailure;
    }
    const TestSettings& t = store->settings;
    const SubjectRecord& s = store->subject;
    std::string out;
    out += "signature: " + std::string(FileSignature) + "\n";
    out += "scales: x " + fixed(store->calibration.scaleX, 3) + " mm, y " +
           fixed(store->calibration.scaleY, 3) + " mm per unit\n";
    out += "test mode: " + std::to_string(t.testMode) + " (" + testModeName(t.testMode) + ")\n";
    out += "settings: spare " + std::to_string(t.spare) + ", stanceTime " +
           std::to_string(t.stanceTime) + ", orientation " + std::to_string(t.orientation) +
           ", stimuliCount " + std::to_string(t.stimuliCount) + ", drivingVelocity " +
           std::to_string(t.drivingVelocity) + ", drivingDirection " +
           std::to_string(t.drivingDirection) + ", drivingEndMode " +
           std::to_string(t.drivingEndMode) + ", drivingTime " + std::to_string(t.drivingTime) +
           ", objectSize " + std::to_string(t.objectSize) + ", targetSize " +
           std::to_string(t.targetSize) + "\n";
    out += "subject: " + cp1250ToUtf8(s.name) + "\n";
    out += "sex: " + std::string(s.sex == 1 ? "male" : s.sex == 0 ? "female" : "unknown") + "\n";
    out += "height: " + std::to_string(s.height) + "\n";
    out += "weight: " + std::to_string(s.weight) + "\n";
    out += "comment 1: " + cp1250ToUtf8(s.comment1) + "\n";
    out += "comment 2: " + cp1250ToUtf8(s.comment2) + "\n";
    out += "comment 3: " + cp1250ToUtf8(s.comment3) + "\n";
    out += "attempt duration: " + std::to_string(store->attemptSeconds) + " s\n";
    out += "attempts: " + std::to_string(store->attemptCount) + "\n";
    for (int32_t i = 0; i < store->attemptCount; ++i) {
        const auto k = static_cast<std::size_t>(i);
        out += "attempt " + std::to_string(i + 1) + ": " + localTime(store->startTime[k]) + ", " +
               std::to_string(store->length[k]) + " samples, target " +
               std::to_string(store->targetLocation[k]) + " (" +
               locationName(store->targetLocation[k]) + ")\n";
    }
    std::string error;
    if (!writeOutput(std::nullopt, out, error)) {
        std::fprintf(stderr, "kenvoplat-cli info: %s\n", error.c_str());
        return ExitFailure;
    }
    return ExitOk;
}

}  // namespace kenvo::cli
