#include "session_recovery.h"

#include <QString>
#include <filesystem>
#include <fstream>

#include "app_state.h"
#include "files/measurement_file.h"
#include "files/sidecar.h"
#include "procedures/recovery_file.h"
#include "operator_port.h"

namespace kenvo {

namespace fs = std::filesystem;

SessionRecovery::SessionRecovery(const std::string& dataFolder) {
    fs::path folder = fs::path(dataFolder).lexically_normal();
    if (folder.filename().empty()) folder = folder.parent_path();
    const fs::path beside = folder.parent_path();
    recoveryPath_ = (beside / "recovery.kplat").string();
    markPath_ = (beside / "kenvoplat.running").string();
    lock_ = std::make_unique<RecoveryLock>((beside / "recovery.lock").string());
}

SessionRecovery::~SessionRecovery() = default;

bool SessionRecovery::ownsCopy() const {
    return lock_->owned();
}

std::string SessionRecovery::copyPath() const {
    return ownsCopy() ? recoveryPath_ : std::string();
}

bool SessionRecovery::offerRestore(AppState& state, OperatorPort& port) {
    // The mark and the copy found now are the running owner's, not a crashed run's.
    if (!ownsCopy()) return false;
    std::error_code ec;
    const bool crashed = fs::exists(markPath_, ec) && fs::exists(recoveryPath_, ec);
    bool restored = false;
    if (crashed && port.ask(RestoreQuestion, false) == Answer::Yes) {
        const FileResult loaded =
            loadMeasurementFile(recoveryPath_, state.store, state.settings.graph);
        if (loaded) {
            // Restored, not saved: the operator still has to save them.
            state.store.dataSaved = 0;
            // The conditions count only when written after this very copy.
            const SidecarRead beside = readSidecar(recoveryPath_);
            if (beside.state == SidecarState::Valid)
                state.sensory.fromSidecar(beside.sidecar, state.store);
            else
                state.sensory.clear();
            restored = true;
        } else {
            port.message(QString::fromStdString(loaded.message),
                         QString::fromStdString(loaded.reason));
        }
    }
    std::ofstream(markPath_, std::ios::trunc) << "running\n";
    return restored;
}

void SessionRecovery::endNormally() {
    if (!ownsCopy()) return;
    std::error_code ec;
    fs::remove(markPath_, ec);
    fs::remove(recoveryPath_, ec);
    fs::remove(sidecarPathOf(recoveryPath_), ec);
}

FileResult SessionRecovery::keepForNextStart(const MeasurementStore& store,
                                             const SensoryAttempts& sensory) {
    if (!ownsCopy())
        return FileResult::failure(
            MessageSaveError, "another KenvoPlat running on this folder owns the recovery copy");
    FileResult saved = saveRecoveryFile(recoveryPath_, store);
    if (!saved) return saved;
    Sidecar details;
    sensory.toSidecar(store, details);
    std::string error;
    std::error_code ec;
    // A sidecar left from an earlier data set would not match the new copy anyway.
    if (!details.conditions) fs::remove(sidecarPathOf(recoveryPath_), ec);
    else if (!writeSidecar(recoveryPath_, details, error))
        return FileResult::failure(MessageSaveError, error);
    return saved;
}

}  // namespace kenvo
