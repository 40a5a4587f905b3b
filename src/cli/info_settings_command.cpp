#include <cstdio>
#include <memory>

#include "cli_args.h"
#include "cli_output.h"
#include "commands.h"
#include "files/code_page.h"
#include "files/configuration_file.h"
#include "files/protocol_file.h"
#include "files/setting_ranges.h"
#include "model/settings.h"
#include "model/target_protocol.h"

namespace kenvo::cli {

namespace {

// "name value", and " (file: X)" when the load changed the value the file held.
std::string fieldLine(const std::string& name, const std::string& value,
                      const AdjustedFields& adjusted) {
    std::string line = name + " " + value;
    for (const AdjustedField& a : adjusted)
        if (a.name == name) line += " (file: " + std::to_string(a.fileValue) + ")";
    return line + "\n";
}

int print(const std::string& out) {
    std::string error;
    if (!writeOutput(std::nullopt, out, error)) {
        std::fprintf(stderr, "kenvoplat-cli info: %s\n", error.c_str());
        return ExitFailure;
    }
    return ExitOk;
}

}  // namespace

int runInfoConfiguration(const std::string& path) {
    // The settings a program holds before it reads any configuration.
    Settings settings;
    int32_t attemptSeconds = 0;
    AdjustedFields adjusted;
    if (const FileResult r = loadConfiguration(path, settings, attemptSeconds, &adjusted); !r) {
        std::fprintf(stderr, "kenvoplat-cli info: %s (%s)\n", r.message.c_str(), r.reason.c_str());
        return ExitFailure;
    }
    std::string out = "configuration: " + path + "\n";
    const TestSettingWords test = testSettingWords(settings.test);
    for (std::size_t k = 0; k < test.size(); ++k)
        out += fieldLine(TestSettingFields[k].name, std::to_string(test[k]), adjusted);
    const GraphSettings::Words graph = settings.graph.words();
    for (std::size_t k = 0; k < graph.size(); ++k)
        out += fieldLine(GraphSettingFields[k].name, std::to_string(graph[k]), adjusted);
    for (std::size_t k = 0; k < settings.configReserved.size(); ++k)
        out += fieldLine("configReserved" + std::to_string(k),
                         std::to_string(settings.configReserved[k]), adjusted);
    out += fieldLine("scaleX", fixed(settings.calibration.scaleX, 3), adjusted);
    out += fieldLine("scaleY", fixed(settings.calibration.scaleY, 3), adjusted);
    for (std::size_t k = 0; k < std::size(settings.calibration.zeroOffset); ++k)
        out += fieldLine("zeroOffset" + std::to_string(k),
                         std::to_string(settings.calibration.zeroOffset[k]), adjusted);
    out += fieldLine("filterFrequency", fixed(settings.filterFrequency, 3), adjusted);
    return print(out);
}

int runInfoProtocol(const std::string& path) {
    TargetProtocol protocol;
    auto locations = std::make_unique<TargetLocations>();
    AdjustedFields adjusted;
    if (const FileResult r = loadProtocol(path, protocol, *locations, &adjusted); !r) {
        std::fprintf(stderr, "kenvoplat-cli info: %s (%s)\n", r.message.c_str(), r.reason.c_str());
        return ExitFailure;
    }
    static constexpr const char* names[] = {"left", "front", "right", "rear"};
    std::string out = "protocol: " + path + "\n";
    out += fieldLine("name", cp1250ToUtf8(protocol.name), adjusted);
    out += fieldLine("length", std::to_string(protocol.length), adjusted);
    for (int32_t i = 0; i < protocol.length; ++i) {
        const int32_t location = (*locations)[static_cast<std::size_t>(i)];
        out += "entry " + std::to_string(i + 1) + " " + std::to_string(location) + " (" +
               (location >= 0 && location < 4 ? names[location] : "none") + ")\n";
    }
    return print(out);
}

}  // namespace kenvo::cli
