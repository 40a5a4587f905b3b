#include "test_status.h"

#include <QLabel>
#include <QStatusBar>

#include "recording_mark.h"
#include "trace_legend.h"

namespace kenvo {

namespace {
constexpr int AnnouncementMs = 6000;
}  // namespace

QString attemptRecordedText(int32_t attempt) {
    return QStringLiteral("Attempt %1 recorded").arg(attempt + 1);
}

QString testProgressText(const TestProgress& p) {
    using Phase = TestProgress::Phase;
    if (p.phase == Phase::None) return {};
    if (!p.note.isEmpty()) return p.note;
    switch (p.phase) {
        case Phase::Waiting:
            return QStringLiteral("Ready - press Start");
        case Phase::Recording:
            return QStringLiteral("Recording attempt %1").arg(p.attempt + 1);
        case Phase::Recorded:
            return attemptRecordedText(p.attempt);
        case Phase::None:
            break;
    }
    return {};
}

TestStatus::TestStatus(QStatusBar& bar)
    : QObject(&bar),
      bar_(bar),
      legend_(new TraceLegend(&bar)),
      words_(new QLabel(&bar)),
      mark_(new RecordingMark(&bar)) {
    setObjectName("testStatus");
    words_->setObjectName("testProgress");
    words_->hide();
    // Ahead of any pane added before, so the keyboard lock panes stay at the far right.
    bar.insertPermanentWidget(0, legend_);
    bar.insertPermanentWidget(1, words_);
    bar.insertPermanentWidget(2, mark_);
    bar.showMessage(restingMessage());
    connect(&bar, &QStatusBar::messageChanged, this, [this](const QString& message) {
        if (message.isEmpty()) bar_.showMessage(restingMessage());
    });
}

QString TestStatus::restingMessage() const {
    return shown_.phase == TestProgress::Phase::None ? QStringLiteral("Ready") : QString();
}

void TestStatus::show(const TestProgress& progress) {
    if (progress == shown_) return;
    const QString restedAt = restingMessage();
    shown_ = progress;
    // Another message (a problem, a passing announcement) stays up; only the resting one
    // follows the test.
    if (bar_.currentMessage() == restedAt) bar_.showMessage(restingMessage());

    const QString words = testProgressText(progress);
    if (words_->text() != words) words_->setText(words);
    words_->setVisible(!words.isEmpty());
    if (progress.phase == TestProgress::Phase::Recording)
        mark_->showRecording(progress.samplesLeft);
    else
        mark_->clear();
    legend_->setVisible(progress.legend);
}

void TestStatus::announce(const QString& text) {
    bar_.showMessage(text, AnnouncementMs);
}

}  // namespace kenvo
