#pragma once

#include <memory>
#include <string>

#include "files/file_result.h"

namespace kenvo {

struct AppState;
class MeasurementStore;
class OperatorPort;
class RecoveryLock;
class SensoryAttempts;

inline constexpr const char* RestoreQuestion =
    "KenvoPlat did not end normally last time. Restore the attempts recorded then?";

// Told once, in the status bar, by a program that finds another one running on the same
// folder.
inline constexpr const char* SecondInstanceNotice =
    "Another KenvoPlat is running on this folder: this one keeps no recovery copy of its attempts.";

// The copy of the data set that a running test writes after every attempt, beside the data
// folder, and the mark that the program is running. A mark found at start-up means the last
// run ended by a crash, a kill or a power cut; its attempts are then offered back.
//
// Copy and mark belong to one running program at a time, the one holding the lock beside
// them. A second program on the same folder leaves them alone: it neither offers nor removes
// the first one's copy and writes none of its own.
class SessionRecovery {
  public:
    explicit SessionRecovery(const std::string& dataFolder);
    ~SessionRecovery();

    const std::string& recoveryPath() const { return recoveryPath_; }
    // False when another running program owns the copy.
    bool ownsCopy() const;
    // Where the tests write the copy after every attempt; empty when this program owns none.
    std::string copyPath() const;

    // At start-up: offers the last run's attempts when it did not end normally (with the
    // sensory test's conditions kept beside them), then marks this run as running. True when a
    // data set was restored.
    bool offerRestore(AppState& state, OperatorPort& port);
    // At a normal end: removes the mark, the copy and the conditions beside it.
    void endNormally();
    // At an end without the operator (a logout, a kill request): writes `store` as the copy
    // and keeps the mark, so the next start offers it; the conditions of its sensory test
    // attempts go beside it.
    FileResult keepForNextStart(const MeasurementStore& store, const SensoryAttempts& sensory);

  private:
    std::string recoveryPath_;
    std::string markPath_;
    std::unique_ptr<RecoveryLock> lock_;
};

}  // namespace kenvo
