#pragma once

#include <string>

namespace kenvo {

struct AppState;
class OperatorPort;

inline constexpr const char* RestoreQuestion =
    "KenvoPlat did not end normally last time. Restore the attempts recorded then?";

// The copy of the data set that a running test writes after every attempt, beside the data
// folder, and the mark that the program is running. A mark found at start-up means the last
// run ended by a crash, a kill or a power cut; its attempts are then offered back.
class SessionRecovery {
  public:
    explicit SessionRecovery(const std::string& dataFolder);

    const std::string& recoveryPath() const { return recoveryPath_; }

    // At start-up: offers the last run's attempts when it did not end normally, then marks
    // this run as running. True when a data set was restored.
    bool offerRestore(AppState& state, OperatorPort& port);
    // At a normal end: removes the mark and the copy.
    void endNormally();

  private:
    std::string recoveryPath_;
    std::string markPath_;
};

}  // namespace kenvo
