#pragma once

#include <QWidget>
#include <cstdint>

#include "procedures/sensory_protocol.h"

class QLabel;
class QPushButton;

namespace kenvo {

class RecordingMark;

// The sensory balance test's guide beside the live view: the trial and its condition in large
// clear text, what the subject must do, the countdown or the recording with the time left,
// and the operator's Start, Repeat trial, Skip trial and Stop. It only shows; the controller
// decides what the buttons do.
class SensoryGuide final : public QWidget {
    Q_OBJECT

  public:
    static constexpr int GuideWidth = 320;

    explicit SensoryGuide(QWidget* parent = nullptr);

    // Shows the protocol's current step: `countdown` is the big line before a trial (empty
    // otherwise); while a trial is recorded the recording mark shows the `samplesLeft` of it.
    void showStep(const SensoryProtocol& protocol, const QString& countdown, int32_t samplesLeft);

    QPushButton* startButton() const { return start_; }
    QPushButton* repeatButton() const { return repeat_; }
    QPushButton* skipButton() const { return skip_; }
    QPushButton* stopButton() const { return stop_; }
    QString progressText() const;
    QString headingText() const;
    // The big line: the countdown, or the recording mark with the time left.
    QString statusText() const;
    RecordingMark* recordingMark() const { return mark_; }
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
    RecordingMark* mark_;
    QLabel* lines_;
    QPushButton* start_;
    QPushButton* repeat_;
    QPushButton* skip_;
    QPushButton* stop_;
};

}  // namespace kenvo
