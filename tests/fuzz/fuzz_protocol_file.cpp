// Loads arbitrary bytes as a protocol file; an accepted protocol saves and loads back equal.
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "files/protocol_file.h"
#include "model/target_protocol.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    kenvo::TargetProtocol protocol;
    kenvo::TargetLocations locations{};
    if (!kenvo::decodeProtocol(std::span(data, size), "fuzz", protocol, locations)) return 0;
    std::vector<uint8_t> bytes;
    if (!kenvo::encodeProtocol(protocol, locations, bytes)) std::abort();
    kenvo::TargetProtocol again;
    kenvo::TargetLocations againLocations{};
    if (!kenvo::decodeProtocol(bytes, "again", again, againLocations)) std::abort();
    if (!(again == protocol) || againLocations != locations) std::abort();
    return 0;
}
