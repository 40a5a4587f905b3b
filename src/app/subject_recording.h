#pragma once

#include <QObject>
#include <memory>
#include <string>
#include <vector>

#include "platform/cop_source.h"

class QAction;

namespace kenvo {

class OperatorPort;

// "Play a recording...": the simulated subject plays a COP recording (CSV "t_s,x_mm,y_mm" at
// 100 Hz, as kenvoplat-cli import-csv reads) instead of standing quietly, so a real subject's
// sway runs through the whole chain: simulated load cells, frames, COP, tests and analyses.
// Clearing the entry brings the quiet subject back. Every recording played stays loaded until
// the program ends, because the reader thread may still be reading the one it replaces.
class SubjectRecording final : public QObject {
    Q_OBJECT

  public:
    // The longest recording played: 30 minutes.
    static constexpr std::size_t MaxSamples = 180000;

    SubjectRecording(std::shared_ptr<SteerableSource> subject, OperatorPort& port, QAction& toggle,
                     std::string folder, QObject* parent);
    ~SubjectRecording() override;

    // Loads `path` and plays it; false (after telling the operator why) when it cannot be read.
    bool play(const std::string& path);
    void stop();

  private:
    void toggled(bool on);

    std::shared_ptr<SteerableSource> subject_;
    OperatorPort& port_;
    QAction& toggle_;
    std::string folder_;
    std::vector<std::unique_ptr<RecordedSource>> loaded_;
};

}  // namespace kenvo
