#pragma once

#include <QWidget>

#include "procedures/sensory_protocol.h"

class QLabel;
class QPushButton;

namespace kenvo {

// The sensory balance test's guide beside the live view: the trial and its condition in large
// clear text, what the subject must do, the countdown or the recording with the time left,
// and the operator's Start, Repeat trial, Skip trial and Stop. It only shows; the controller
// decides what the buttons do.
class SensoryGuide final : public QWidget {
    Q_OBJECT

  public:
    static constexpr int GuideWidth = 320;

    explicit SensoryGuide(QWidget* parent = nullptr);

    // Shows the protocol's current step; `status` is the big line (the countdown, the time
    // left), empty between trials.
    void showStep(const SensoryProtocol& protocol, const QString& status);

    QPushButton* startButton() const { return start_; }
    QPushButton* repeatButton() const { return repeat_; }
    QPushButton* skipButton() const { return skip_; }
    QPushButton* stopButton() const { return stop_; }
    QString progressText() const;
    QString headingText() const;
    QString statusText() const;
    QString instructionText() const;

  signals:
    void startClicked();
    void repeatClicked();
    void skipClicked();
    void stopClicked();

  private:
    QLabel* progress_;
    QLabel* heading_;
    QLabel* status_;
    QLabel* lines_;
    QPushButton* start_;
    QPushButton* repeat_;
    QPushButton* skip_;
    QPushButton* stop_;
};

}  // namespace kenvo
