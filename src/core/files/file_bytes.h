#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace kenvo {

// The largest file each reader takes. A measurement file of 501 driving attempts of 31000
// samples is about 217 MB, so 256 MiB holds every file the program writes; the other kinds are
// far smaller than their limits.
inline constexpr uint64_t MaxMeasurementFileBytes = uint64_t{256} << 20;
inline constexpr uint64_t MaxConfigurationFileBytes = uint64_t{64} << 10;
inline constexpr uint64_t MaxProtocolFileBytes = uint64_t{1} << 20;
inline constexpr uint64_t MaxCopCsvBytes = uint64_t{64} << 20;

// Why a file could not be read.
enum class ReadFailure {
    None,
    CannotOpen,  // missing, no access, or a read error
    Refused,     // not a regular file (a folder, a FIFO, a device) or larger than the limit
};

// Opens `path` for reading only when it is a regular file of at most `maxBytes`, without ever
// blocking: a FIFO or a device is turned away by stat() before it is opened, and the opened
// descriptor is checked again in case the name was swapped in between. Returns the descriptor
// (close it), or -1 with a plain-words reason naming the file.
int openRegularFile(const std::string& path, uint64_t maxBytes, std::string& error,
                    ReadFailure* failure = nullptr);

// Reads a whole regular file of at most `maxBytes` into `bytes`. On failure returns false with
// a plain-words reason naming the file, and says why in `failure` when given.
bool readRegularFile(const std::string& path, uint64_t maxBytes, std::vector<uint8_t>& bytes,
                     std::string& error, ReadFailure* failure = nullptr);

// The last component of a path, for messages that name the file.
std::string fileNameOf(const std::string& path);

}  // namespace kenvo
