#include "sensory_guide.h"

#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>

#include "recording_mark.h"

namespace kenvo {

namespace {

QLabel* label(QWidget* parent, const char* name, int pointSize, bool bold) {
    auto* l = new QLabel(parent);
    l->setObjectName(name);
    l->setWordWrap(true);
    QFont font = l->font();
    font.setPointSize(pointSize);
    font.setBold(bold);
    l->setFont(font);
    return l;
}

QPushButton* button(QWidget* parent, const char* name, const QString& text, const QString& tip) {
    auto* b = new QPushButton(text, parent);
    b->setObjectName(name);
    b->setToolTip(tip);
    b->setMinimumHeight(32);
    return b;
}

}  // namespace

SensoryGuide::SensoryGuide(QWidget* parent)
    : QWidget(parent),
      progress_(label(this, "sensoryProgress", 10, false)),
      heading_(label(this, "sensoryHeading", 16, true)),
      status_(label(this, "sensoryStatus", 22, true)),
      mark_(new RecordingMark(this, 22)),
      lines_(label(this, "sensoryInstruction", 11, false)),  // rich text: a gap per line
      start_(
          button(this, "sensoryStart", "Start", "Start the trial after a 3 s countdown (Enter)")),
      repeat_(button(this, "sensoryRepeat", "Repeat trial",
                     "Record this trial again; an attempt already recorded for it is kept in "
                     "the file but left out of the results")),
      skip_(button(this, "sensorySkip", "Skip trial", "Go on to the next trial without this one")),
      stop_(button(this, "sensoryStop", "Stop",
                   "End the test now; every recorded trial is kept and offered for saving")) {
    setObjectName("sensoryGuide");
    // Narrow enough to sit beside the stance view, wide enough for the large heading.
    setFixedWidth(GuideWidth);
    status_->setAlignment(Qt::AlignCenter);
    status_->setStyleSheet("color: #000080;");
    QFont startFont = start_->font();
    startFont.setPointSize(13);
    startFont.setBold(true);
    start_->setFont(startFont);
    start_->setMinimumHeight(44);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(progress_);
    layout->addWidget(heading_);
    layout->addWidget(status_);
    layout->addWidget(mark_, 0, Qt::AlignHCenter);
    layout->addWidget(lines_);
    layout->setSpacing(10);
    layout->addStretch(1);
    layout->addWidget(start_);
    auto* row = new QGridLayout;
    row->addWidget(repeat_, 0, 0);
    row->addWidget(skip_, 0, 1);
    row->addWidget(stop_, 1, 0, 1, 2);
    layout->addLayout(row);

    connect(start_, &QPushButton::clicked, this, &SensoryGuide::startClicked);
    connect(repeat_, &QPushButton::clicked, this, &SensoryGuide::repeatClicked);
    connect(skip_, &QPushButton::clicked, this, &SensoryGuide::skipClicked);
    connect(stop_, &QPushButton::clicked, this, &SensoryGuide::stopClicked);
}

void SensoryGuide::showStep(const SensoryProtocol& protocol, const QString& countdown,
                            int32_t samplesLeft) {
    const SensoryInstruction instruction = sensoryInstruction(protocol);
    const SensoryStep step = protocol.step();
    const SensoryTrial trial = protocol.trial();
    if (step == SensoryStep::Finished) {
        const auto& attempts = protocol.attempts();
        const auto aside = std::count_if(attempts.begin(), attempts.end(),
                                         [](const RecordedTrial& a) { return a.discarded; });
        QString text = QStringLiteral("%1 trials recorded").arg(attempts.size());
        if (aside > 0) text += QStringLiteral(", %1 of them repeated and set aside").arg(aside);
        progress_->setText(text);
    } else {
        progress_->setText(QStringLiteral("Condition %1 of %2, trial %3 of %4 in all")
                               .arg(trial.index / protocol.plan().trialsPerCondition + 1)
                               .arg(SensoryConditionCount)
                               .arg(trial.index + 1)
                               .arg(protocol.plan().trialCount()));
    }
    heading_->setText(QString::fromStdString(instruction.heading));
    QString lines;
    for (const std::string& line : instruction.lines)
        lines += QStringLiteral("<p style=\"margin-bottom: 8px\">%1</p>")
                     .arg(QString::fromStdString(line).toHtmlEscaped());
    lines_->setText(lines);
    status_->setText(countdown);
    status_->setVisible(!countdown.isEmpty());
    if (step == SensoryStep::Recording)
        mark_->showRecording(samplesLeft);
    else
        mark_->clear();

    start_->setText(step == SensoryStep::Finished ? "Finish" : "Start");
    start_->setEnabled(step == SensoryStep::Instruction || step == SensoryStep::Finished);
    repeat_->setEnabled(protocol.canRepeat());
    skip_->setEnabled(protocol.canSkip());
    stop_->setEnabled(step != SensoryStep::Finished);
}

QString SensoryGuide::progressText() const {
    return progress_->text();
}
QString SensoryGuide::headingText() const {
    return heading_->text();
}
QString SensoryGuide::statusText() const {
    return mark_->recording() ? mark_->text() : status_->text();
}
QString SensoryGuide::instructionText() const {
    return lines_->text();
}

}  // namespace kenvo
