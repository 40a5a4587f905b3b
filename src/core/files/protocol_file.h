#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "files/file_result.h"
#include "files/setting_ranges.h"
#include "model/limits.h"

namespace kenvo {

struct TargetProtocol;

// The target protocol file (".kplatprt"): the signature, the protocol's name, its entry count
// and the entries, which are the first `length` elements of the store's target locations.
using TargetLocations = std::array<int32_t, MaxAttempts>;

// A protocol longer than 501 entries is refused before anything is written.
FileResult saveProtocol(const std::string& path, const TargetProtocol& protocol,
                        const TargetLocations& locations);

// Replaces the name, the length and locations[0 .. N-1] only when the whole file was read; a
// refused, damaged or oversized file changes nothing. A negative count reads as no entries
// (reported in `adjusted`, when given, with the count the file held).
FileResult loadProtocol(const std::string& path, TargetProtocol& protocol,
                        TargetLocations& locations, AdjustedFields* adjusted = nullptr);

// The same on bytes in memory.
FileResult encodeProtocol(const TargetProtocol& protocol, const TargetLocations& locations,
                          std::vector<uint8_t>& bytes);
FileResult decodeProtocol(std::span<const uint8_t> bytes, const std::string& name,
                          TargetProtocol& protocol, TargetLocations& locations,
                          AdjustedFields* adjusted = nullptr);

}  // namespace kenvo
