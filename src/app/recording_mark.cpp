#include "recording_mark.h"

#include <QHBoxLayout>
#include <QLabel>
#include <algorithm>

#include "model/limits.h"

namespace kenvo {

QString timeLeftText(int32_t samplesLeft) {
    const int32_t samples = std::max(samplesLeft, 0);
    const int32_t seconds = samples / SampleRate + (samples % SampleRate != 0 ? 1 : 0);
    return QStringLiteral("%1:%2 left")
        .arg(seconds / 60)
        .arg(seconds % 60, 2, 10, QLatin1Char('0'));
}

QString RecordingMark::markText() {
    return QStringLiteral("\u25CF REC");
}

RecordingMark::RecordingMark(QWidget* parent, int pointSize)
    : QWidget(parent), mark_(new QLabel(markText(), this)), time_(new QLabel(this)) {
    setObjectName("recordingMark");
    mark_->setObjectName("recordingMarkSign");
    time_->setObjectName("recordingMarkTimeLeft");
    QFont font = this->font();
    if (pointSize > 0) font.setPointSize(pointSize);
    font.setBold(true);
    mark_->setFont(font);
    time_->setFont(font);
    // Red, to be seen from across the room while the subject is being recorded.
    mark_->setStyleSheet("color: #c00000;");
    time_->setStyleSheet("color: #c00000;");
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(pointSize > 0 ? pointSize / 2 : 6);
    layout->addWidget(mark_);
    layout->addWidget(time_);
    setToolTip("An attempt is being recorded");
    hide();
}

void RecordingMark::showRecording(std::optional<int32_t> samplesLeft) {
    recording_ = true;
    const QString left = samplesLeft ? timeLeftText(*samplesLeft) : QString();
    if (time_->text() != left) time_->setText(left);
    time_->setVisible(samplesLeft.has_value());
    setVisible(true);
}

void RecordingMark::clear() {
    recording_ = false;
    time_->clear();
    setVisible(false);
}

QString RecordingMark::text() const {
    if (!recording_) return {};
    return time_->text().isEmpty() ? markText() : markText() + "  " + time_->text();
}

}  // namespace kenvo
