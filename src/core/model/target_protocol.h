#pragma once

#include <cstdint>
#include <string>

namespace kenvo {

// A named target sequence for the target hitting test. Its entries are not held here: they are
// the first `length` target locations of the MeasurementStore (0 left, 1 front, 2 right,
// 3 rear), the same array the recorded attempts use, so editing a protocol or loading one
// changes the locations of the attempts in the store.
struct TargetProtocol {
    std::string name;  // Windows-1250 bytes
    int32_t length = 0;

    friend bool operator==(const TargetProtocol&, const TargetProtocol&) = default;
};

}  // namespace kenvo
