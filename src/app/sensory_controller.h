#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>
#include <memory>
#include <optional>

#include "procedures/sensory_protocol.h"

class QDockWidget;
class QSettings;
class QShortcut;

namespace kenvo {

struct AppState;
class CMainFrame;
class OperatorPort;
class SensoryGuide;
class StanceController;
class SteerableSource;

// Test > "Sensory balance test": the set-up, then the guide beside the live stance view. The
// recording is the stance test's (a stance data set, one attempt per trial); this controller
// runs the guide's steps around it, counts down before each trial, tells the simulated subject
// the condition, keeps each attempt's condition in the application's state and writes it
// beside the recovery copy after every attempt.
class SensoryController final : public QObject {
    Q_OBJECT

  public:
    SensoryController(AppState& state, CMainFrame& frame, OperatorPort& port, QSettings& profile,
                      StanceController& stance, std::shared_ptr<SteerableSource> subject);
    ~SensoryController() override;

    // "Sensory balance test", and the stance bar's Start and Exit while the guide runs (Start
    // is the guide's, with its countdown; Exit is its Stop). False for other ids.
    bool handleCommand(int id);
    // The window is closing: the guide goes, the simulated subject stands plainly again.
    void shutdown();

    // True from the set-up until the test ends.
    bool active() const { return active_; }
    // The last test's guide state (kept after it ended), or null before the first.
    const SensoryProtocol* protocol() const { return protocol_ ? &*protocol_ : nullptr; }
    SensoryGuide* guide() const { return guide_; }
    QDockWidget* dock() const { return dock_; }
    // The plan the set-up offers next (the last one accepted, remembered between runs).
    const SensoryPlan& plan() const { return plan_; }

    // The guide's buttons.
    void start();
    void repeat();
    void skip();
    void stop();

  private:
    void begin();
    void onTick();
    void onAttemptCompleted(int32_t attempt);
    void end(bool exitTest);
    void refresh();
    QString countdownText() const;
    void keepDiscardedMarks();
    void writeRecoverySidecar();
    void hideBarStart();
    void showGuide();
    void hideGuide();

    AppState& state_;
    CMainFrame& frame_;
    OperatorPort& port_;
    QSettings& profile_;
    StanceController& stance_;
    std::shared_ptr<SteerableSource> subject_;
    SensoryPlan plan_;
    std::optional<SensoryProtocol> protocol_;
    bool active_ = false;
    QTimer tick_;
    QElapsedTimer countdown_;
    QDockWidget* dock_;
    SensoryGuide* guide_;
    QShortcut* enter_;
    QShortcut* keypadEnter_;
    int widthAdded_ = 0;  // how much the window grew for the guide
};

}  // namespace kenvo
