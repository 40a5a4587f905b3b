#pragma once

#include <string>

#include "files/file_result.h"

namespace kenvo {

class MeasurementStore;

// Writes the data set to the recovery file in the measurement file format, atomically, so a
// crash or power cut during the write leaves the previous copy. Unlike a Save it leaves the
// store's `dataSaved` flag alone: the data still count as unsaved.
FileResult saveRecoveryFile(const std::string& path, const MeasurementStore& store);

// The claim of one running program on the recovery file: an exclusive flock on a lock file
// beside it. The kernel drops the lock when the holder exits or crashes, so a lock file left
// behind by a crashed run never blocks the next one; the file itself is never removed (a
// removed and re-created file would let two programs hold "the" lock at once).
class RecoveryLock {
  public:
    // Tries once, without waiting. Only a lock held by another open of the file counts as
    // taken; a lock file that cannot be opened or locked at all (a read-only folder, a file
    // system without locks) leaves the claim to this program, as before there was a lock.
    explicit RecoveryLock(const std::string& lockPath);
    ~RecoveryLock();
    RecoveryLock(const RecoveryLock&) = delete;
    RecoveryLock& operator=(const RecoveryLock&) = delete;

    // False when another running program holds the lock.
    bool owned() const { return owned_; }

  private:
    int fd_ = -1;
    bool owned_ = true;
};

}  // namespace kenvo
