#include "files/recovery_file.h"

#include <cstdint>
#include <vector>

#include "files/atomic_file.h"
#include "files/measurement_file.h"

namespace kenvo {

FileResult saveRecoveryFile(const std::string& path, const MeasurementStore& store) {
    std::vector<uint8_t> bytes;
    if (FileResult encoded = encodeMeasurementFile(store, bytes); !encoded) return encoded;
    std::string error;
    if (!writeFileAtomically(path, bytes, error)) return FileResult::failure(MessageSaveError, error);
    return FileResult::success();
}

}  // namespace kenvo
