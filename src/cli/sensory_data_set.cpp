#include "sensory_data_set.h"

#include <cstdio>

#include "files/file_bytes.h"

namespace kenvo::cli {

std::optional<SensoryDataSet> loadSensoryDataSet(const std::string& command,
                                                 const std::string& path) {
    auto data = loadDataSet(command, path);
    if (!data) return std::nullopt;
    if (data->store->settings.testMode != TestModeStance) {
        std::fprintf(stderr,
                     "kenvoplat-cli %s: %s holds a %s data set; this needs a stance data set\n",
                     command.c_str(), fileNameOf(path).c_str(),
                     testModeName(data->store->settings.testMode));
        return std::nullopt;
    }
    SensoryDataSet set{std::move(*data), {}};
    const SidecarRead read = readSidecar(path);
    if (read.state == SidecarState::Valid)
        set.sidecar = read.sidecar;
    else if (read.state != SidecarState::Absent)
        std::fprintf(stderr, "kenvoplat-cli %s: %s\n", command.c_str(), read.message.c_str());
    return set;
}

}  // namespace kenvo::cli
