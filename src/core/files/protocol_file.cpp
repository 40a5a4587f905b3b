#include "files/protocol_file.h"

#include <algorithm>

#include "files/archive_reader.h"
#include "files/archive_writer.h"
#include "files/atomic_file.h"
#include "files/file_bytes.h"
#include "files/file_signature.h"
#include "model/target_protocol.h"

namespace kenvo {

FileResult encodeProtocol(const TargetProtocol& protocol, const TargetLocations& locations,
                          std::vector<uint8_t>& bytes) {
    if (protocol.length > MaxAttempts)
        return FileResult::failure(MessageSaveError,
                                   "the protocol has " + std::to_string(protocol.length) +
                                       " entries; at most " + std::to_string(MaxAttempts) +
                                       " can be saved");
    ArchiveWriter w;
    w.putArchiveString(FileSignature);
    w.putArchiveString(protocol.name);
    w.putInt32(protocol.length);
    for (int32_t i = 0; i < protocol.length; ++i)
        w.putInt32(locations[static_cast<std::size_t>(i)]);
    bytes = w.bytes();
    return FileResult::success();
}

FileResult decodeProtocol(std::span<const uint8_t> bytes, const std::string& name,
                          TargetProtocol& protocol, TargetLocations& locations,
                          AdjustedFields* adjusted) {
    ArchiveReader r(bytes);
    const std::string signature = r.archiveString();
    if (r.failed() || signature != FileSignature)
        return FileResult::failure(MessageIncompatibleProtocol,
                                   name + ": not a protocol file of this program");
    TargetProtocol staged;
    staged.name = r.archiveString();
    const int32_t count = r.int32();
    if (r.failed())
        return FileResult::failure(
            "The file " + name + " is damaged: it ends inside the protocol name.",
            name + ": the file ends inside the protocol name");
    if (count > MaxAttempts)
        return FileResult::failure(
            "The file " + name + " holds " + std::to_string(count) + " entries; at most " +
                std::to_string(MaxAttempts) + " can be opened.",
            name + ": too many protocol entries (" + std::to_string(count) + ")");
    staged.length = count < 0 ? 0 : count;
    TargetLocations entries{};
    for (int32_t i = 0; i < staged.length; ++i) entries[static_cast<std::size_t>(i)] = r.int32();
    if (r.failed())
        return FileResult::failure("The file " + name + " is damaged: it ends inside the entries.",
                                   name + ": the file ends inside the protocol entries");
    protocol = staged;
    if (adjusted && count < 0) adjusted->push_back({"length", count});
    std::copy_n(entries.begin(), staged.length, locations.begin());
    return FileResult::success();
}

FileResult saveProtocol(const std::string& path, const TargetProtocol& protocol,
                        const TargetLocations& locations) {
    std::vector<uint8_t> bytes;
    if (FileResult encoded = encodeProtocol(protocol, locations, bytes); !encoded) {
        encoded.reason = fileNameOf(path) + ": " + encoded.reason;
        return encoded;
    }
    std::string error;
    if (!writeFileAtomically(path, bytes, error))
        return FileResult::failure(MessageSaveError, error);
    return FileResult::success();
}

FileResult loadProtocol(const std::string& path, TargetProtocol& protocol,
                        TargetLocations& locations, AdjustedFields* adjusted) {
    std::vector<uint8_t> bytes;
    std::string error;
    if (!readRegularFile(path, MaxProtocolFileBytes, bytes, error))
        return FileResult::failure(MessageOpenError, error);
    return decodeProtocol(bytes, fileNameOf(path), protocol, locations, adjusted);
}

}  // namespace kenvo
