#include <cstdio>

#include "cli_args.h"
#include "cli_platform.h"
#include "commands.h"

namespace kenvo::cli {

int runDevices(const std::vector<std::string>& words) {
    Args args(words, {}, {}, {"--simulate"});
    std::optional<int> model;
    std::string error;
    if (!args.ok() || !args.positional().empty() || !simulateOption(args, model, error)) {
        std::fprintf(stderr, "kenvoplat-cli devices: %s\nusage: kenvoplat-cli devices [--simulate[=MODEL]]\n",
                     !args.ok() ? args.error().c_str() : error.empty() ? "unexpected argument" : error.c_str());
        return ExitUsage;
    }
    auto bus = makeBus(model);
    for (const FoundPlatform& p : listPlatforms(*bus))
        std::printf("%d %s %s\n", p.model, p.device.description.c_str(), p.device.path.c_str());
    return ExitOk;
}

}  // namespace kenvo::cli
