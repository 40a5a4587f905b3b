#include "subject_recording.h"

#include <QAction>
#include <QFile>
#include <QFileInfo>

#include "files/cop_csv.h"
#include "operator_port.h"

namespace kenvo {

namespace {
constexpr const char* RecordingFilter = "COP recordings (*.csv)|*.csv||";
}

SubjectRecording::SubjectRecording(std::shared_ptr<SteerableSource> subject, OperatorPort& port,
                                   QAction& toggle, std::string folder, QObject* parent)
    : QObject(parent),
      subject_(std::move(subject)),
      port_(port),
      toggle_(toggle),
      folder_(std::move(folder)) {
    connect(&toggle_, &QAction::triggered, this, &SubjectRecording::toggled);
}

// The subject may outlive this (the simulated bus shares it); it must not point at freed points.
SubjectRecording::~SubjectRecording() { subject_->play(nullptr); }

void SubjectRecording::toggled(bool on) {
    if (!on) return stop();
    const auto path = port_.chooseFile({false, RecordingFilter, "csv", QString::fromStdString(folder_)});
    if (!path || !play(QFile::encodeName(*path).toStdString())) toggle_.setChecked(false);
}

bool SubjectRecording::play(const std::string& path) {
    std::vector<CopPoint> points;
    std::string error;
    if (!readCopCsv(path, points, error, MaxSamples)) {
        port_.message(QStringLiteral("The recording cannot be played."), QString::fromStdString(error));
        return false;
    }
    loaded_.push_back(std::make_unique<RecordedSource>(std::move(points)));
    subject_->play(loaded_.back().get());
    toggle_.setChecked(true);
    toggle_.setStatusTip(QStringLiteral("Playing %1 (%2 s, repeated)")
                             .arg(QFileInfo(QFile::decodeName(path.c_str())).fileName())
                             .arg(static_cast<double>(loaded_.back()->size()) / 100.0, 0, 'f', 1));
    return true;
}

void SubjectRecording::stop() {
    subject_->play(nullptr);
    toggle_.setChecked(false);
    toggle_.setStatusTip(QStringLiteral("The simulated subject plays a COP recording (CSV t_s,x_mm,y_mm)"));
}

}  // namespace kenvo
