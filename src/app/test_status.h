#pragma once

#include <QObject>
#include <QString>
#include <cstdint>
#include <optional>

class QLabel;
class QStatusBar;

namespace kenvo {

class RecordingMark;
class TraceLegend;

// Where the test on screen stands, as the status bar tells the operator.
struct TestProgress {
    enum class Phase {
        None,       // no test is waiting or recording
        Waiting,    // armed, waiting for Start
        Recording,  // an attempt is being recorded
        Recorded,   // an attempt was just completed; Start records the next
    };
    Phase phase = Phase::None;
    // 0-based: the attempt being recorded, or the one just completed.
    int32_t attempt = -1;
    // Of the attempt being recorded, when it has a set length.
    std::optional<int32_t> samplesLeft;
    // Said instead of the phase's own words (a countdown, a track still scrolling in).
    QString note;
    // The live and recorded trace colours are on screen.
    bool legend = false;

    friend bool operator==(const TestProgress&, const TestProgress&) = default;
};

// The words for a progress: "Ready - press Start", "Recording attempt 2", "Attempt 2 recorded",
// the note when there is one, nothing without a test.
QString testProgressText(const TestProgress& progress);

// "Attempt 3 recorded" for the 0-based attempt 2.
QString attemptRecordedText(int32_t attempt);

// The test's part of the window's status bar, on the right: the trace legend, the progress in
// words, and the recording mark with the time left. While no test is on screen the message
// area rests at "Ready"; while one is, it rests empty, so the two never disagree.
class TestStatus final : public QObject {
    Q_OBJECT

  public:
    explicit TestStatus(QStatusBar& bar);

    void show(const TestProgress& progress);
    const TestProgress& progress() const { return shown_; }
    // A passing message in the message area, for news the view moves away from (a test that
    // ended into its summary).
    void announce(const QString& text);

    QLabel* progressLabel() const { return words_; }
    RecordingMark* recordingMark() const { return mark_; }
    TraceLegend* legend() const { return legend_; }

  private:
    QString restingMessage() const;

    QStatusBar& bar_;
    TraceLegend* legend_;
    QLabel* words_;
    RecordingMark* mark_;
    TestProgress shown_;
};

}  // namespace kenvo
