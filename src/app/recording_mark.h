#pragma once

#include <QString>
#include <QWidget>
#include <cstdint>
#include <optional>

class QLabel;

namespace kenvo {

// The time an attempt has left, in whole seconds rounded up, so "0:00 left" appears only once
// every sample is in: "1:05 left". A negative count reads as none left.
QString timeLeftText(int32_t samplesLeft);

// The sign that an attempt is being recorded: a red "● REC" and, when the attempt has a set
// length, the time it has left. Hidden while nothing is recorded. The sensory guide shows it
// large beside the live view; the window's status bar shows it in its own font.
class RecordingMark final : public QWidget {
    Q_OBJECT

  public:
    // The mark's text, also what the mark label reads.
    static QString markText();

    // `pointSize` 0 keeps the parent's font size.
    explicit RecordingMark(QWidget* parent = nullptr, int pointSize = 0);

    // Recording, with the samples the attempt has left, or open-ended (no time shown).
    void showRecording(std::optional<int32_t> samplesLeft);
    // Nothing is recorded: the mark goes.
    void clear();

    bool recording() const { return recording_; }
    QLabel* markLabel() const { return mark_; }
    QLabel* timeLabel() const { return time_; }
    // What it shows in one line, "● REC  0:23 left"; empty while nothing is recorded.
    QString text() const;

  private:
    QLabel* mark_;
    QLabel* time_;
    bool recording_ = false;
};

}  // namespace kenvo
