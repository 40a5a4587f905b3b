#include "session_recovery.h"

#include <QString>
#include <filesystem>
#include <fstream>

#include "app_state.h"
#include "files/measurement_file.h"
#include "operator_port.h"

namespace kenvo {

namespace fs = std::filesystem;

SessionRecovery::SessionRecovery(const std::string& dataFolder) {
    fs::path folder = fs::path(dataFolder).lexically_normal();
    if (folder.filename().empty()) folder = folder.parent_path();
    const fs::path beside = folder.parent_path();
    recoveryPath_ = (beside / "recovery.kplat").string();
    markPath_ = (beside / "kenvoplat.running").string();
}

bool SessionRecovery::offerRestore(AppState& state, OperatorPort& port) {
    std::error_code ec;
    const bool crashed = fs::exists(markPath_, ec) && fs::exists(recoveryPath_, ec);
    bool restored = false;
    if (crashed && port.ask(RestoreQuestion, false) == Answer::Yes) {
        const FileResult loaded =
            loadMeasurementFile(recoveryPath_, state.store, state.settings.graph);
        if (loaded) {
            // Restored, not saved: the operator still has to save them.
            state.store.dataSaved = 0;
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
    std::error_code ec;
    fs::remove(markPath_, ec);
    fs::remove(recoveryPath_, ec);
}

}  // namespace kenvo
