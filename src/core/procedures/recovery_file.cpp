#include "procedures/recovery_file.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <vector>

#include "files/atomic_file.h"
#include "files/measurement_file.h"

namespace kenvo {

FileResult saveRecoveryFile(const std::string& path, const MeasurementStore& store) {
    std::vector<uint8_t> bytes;
    if (FileResult encoded = encodeMeasurementFile(store, bytes); !encoded) return encoded;
    std::string error;
    // The unsaved attempts name their subject, as a saved data set does.
    if (!writeFileAtomically(path, bytes, error, FileAccess::Private))
        return FileResult::failure(MessageSaveError, error);
    return FileResult::success();
}

RecoveryLock::RecoveryLock(const std::string& lockPath) {
    fd_ = ::open(lockPath.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
    if (fd_ < 0) return;
    int result;
    do {
        result = ::flock(fd_, LOCK_EX | LOCK_NB);
    } while (result != 0 && errno == EINTR);
    if (result == 0) return;
    owned_ = errno != EWOULDBLOCK;
    ::close(fd_);
    fd_ = -1;
}

RecoveryLock::~RecoveryLock() {
    if (fd_ >= 0) ::close(fd_);
}

}  // namespace kenvo
