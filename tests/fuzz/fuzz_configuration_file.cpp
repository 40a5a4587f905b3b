// Loads arbitrary bytes as a configuration file; whatever was accepted saves as 212 bytes that
// load back to the same settings.
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "files/configuration_file.h"
#include "model/settings.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    kenvo::Settings settings;
    int32_t attemptSeconds = 0;
    if (!kenvo::decodeConfiguration(std::span(data, size), "fuzz", settings, attemptSeconds))
        return 0;
    const auto bytes = kenvo::encodeConfiguration(settings, attemptSeconds);
    if (bytes.size() != kenvo::ConfigurationFileSize) std::abort();
    kenvo::Settings again;
    int32_t againSeconds = 0;
    if (!kenvo::decodeConfiguration(bytes, "again", again, againSeconds)) std::abort();
    // Compared by bytes: the float fields may hold NaN patterns.
    if (kenvo::encodeConfiguration(again, againSeconds) != bytes) std::abort();
    return 0;
}
