#pragma once

#include <QDialog>
#include <QObject>
#include <QTimer>
#include <memory>
#include <string>

#include "graphs/display_state.h"
#include "kenvo_plat_view.h"
#include "procedures/procedure_port.h"
#include "procedures/target_procedure.h"
#include "test_status.h"
#include "window_procedure_port.h"

class QLineEdit;

namespace kenvo {

struct AppState;
class CMainFrame;
class OperatorPort;
class PlatformLink;

// "Target Hiting Setup": the number of targets, the disc's and the cup's sizes. OK writes them
// back only when all three are within their ranges.
class CTargetDlg final : public QDialog {
    Q_OBJECT

  public:
    CTargetDlg(TestSettings& settings, OperatorPort& port, QWidget* parent = nullptr);
    void accept() override;
    QLineEdit* edit(int k) const { return edits_[static_cast<std::size_t>(k)]; }

  private:
    TestSettings& settings_;
    OperatorPort& port_;
    std::array<QLineEdit*, 3> edits_{};
};

// The target hitting test in the window: its command, the shared Start and Exit of the bar in
// view mode 9, the 50 ms frames on view timer 1 and the drawing of mode 9.
class TargetController final : public QObject, public WindowProcedurePort {
    Q_OBJECT

  public:
    TargetController(AppState& state, CMainFrame& frame, PlatformLink& link, OperatorPort& port,
                     DisplayState& display, QTimer& timer);
    ~TargetController() override;

    void setLink(PlatformLink& link);
    void setRecoveryPath(const std::string& path);
    bool handleCommand(int id);
    void shutdown();

    // Where the test stands, for the status bar. Its length is the subject's, so no time left.
    TestProgress progress();

    TargetProcedure& procedure() { return *procedure_; }
    TargetTestState& targetState() { return targetState_; }
    // Where the hit sounds go; none (the default) is silence.
    void setSounds(TargetSounds* sounds) { relay_.sink = sounds; }

    // The timers and bars of this test (the rest of the port is the window's)
    void startTimer(int32_t id, int32_t periodMs) override;
    void stopTimer(int32_t id) override;
    void switchBar(int32_t templateId) override;

  private:
    void targetTest();
    void onTimer();
    bool targetView() const;
    Rect client() const;

    AppState& state_;
    DisplayState& display_;
    QTimer& timer_;
    struct Relay final : TargetSounds {
        TargetSounds* sink = nullptr;
        void apply(HitSound sound) override {
            if (sink) sink->apply(sound);
        }
        void stopAll() override {
            if (sink) sink->stopAll();
        }
    };
    Relay relay_;
    TargetTestState targetState_;
    std::unique_ptr<TargetProcedure> procedure_;
    std::string recoveryPath_;
};

}  // namespace kenvo
