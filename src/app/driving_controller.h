#pragma once

#include <QObject>
#include <QTimer>
#include <memory>
#include <string>

#include "graphs/display_state.h"
#include "kenvo_plat_view.h"
#include "procedures/driving_procedure.h"
#include "procedures/procedure_port.h"
#include "test_status.h"
#include "window_procedure_port.h"

namespace kenvo {

struct AppState;
class CMainFrame;
class Dispatcher;
class OperatorPort;
class PlatformLink;

// The driving test in the window: its commands and bar buttons, view timer 5, the drawing of
// the driving square (view mode 11) and the port through which the procedure reaches the
// operator. The stance controller owns it and lends it the timer.
class DrivingController final : public QObject, public WindowProcedurePort {
    Q_OBJECT

  public:
    DrivingController(AppState& state, CMainFrame& frame, PlatformLink& link,
                      Dispatcher& dispatcher, OperatorPort& port, DisplayState& display,
                      QTimer& timer);
    ~DrivingController() override;

    void setLink(PlatformLink& link);
    void setRecoveryPath(const std::string& path);
    bool handleCommand(int id);
    void onTimer();
    void shutdown();

    // Where the test stands, for the status bar.
    TestProgress progress();

    DrivingProcedure& procedure() { return *procedure_; }
    DrivingDisplay& driving() { return driving_; }

    // The timers and bars of this test (the rest of the port is the window's)
    void startTimer(int32_t id, int32_t periodMs) override;
    void stopTimer(int32_t id) override;
    void switchBar(int32_t templateId) override;
    void redrawDriving() override;

  private:
    void drivingTest();
    void stop();
    void performDialog();
    void drawSquare(Surface& surface);
    Rect client() const;
    bool drivingView() const;

    AppState& state_;
    Dispatcher& dispatcher_;
    DisplayState& display_;
    QTimer& timer_;
    DrivingDisplay driving_;
    std::unique_ptr<DrivingProcedure> procedure_;
    std::string recoveryPath_;
};

}  // namespace kenvo
