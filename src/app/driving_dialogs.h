#pragma once

#include <QDialog>
#include <array>
#include <cstdint>

#include "model/test_settings.h"
#include "procedures/track_generator.h"

class QLineEdit;
class QRadioButton;

namespace kenvo {

class OperatorPort;

// "Driving Setup": how the attempt ends, its time, the scroll direction and velocity. The time
// edit is disabled while the attempt ends with the Stop button. Values go back on OK only.
class CDrivingDlg final : public QDialog {
    Q_OBJECT

  public:
    CDrivingDlg(TestSettings& settings, OperatorPort& port, QWidget* parent = nullptr);
    void accept() override;
    QLineEdit* timeEdit() const { return time_; }
    QLineEdit* velocityEdit() const { return velocity_; }
    QRadioButton* endRadio(int k) const { return end_[static_cast<std::size_t>(k)]; }
    QRadioButton* directionRadio(int k) const { return direction_[static_cast<std::size_t>(k)]; }

  private:
    void updateTimeEdit();

    TestSettings& settings_;
    OperatorPort& port_;
    std::array<QRadioButton*, 2> end_{};
    std::array<QRadioButton*, 4> direction_{};
    QLineEdit* time_;
    QLineEdit* velocity_;
};

// "Perform dialog": the edited track parameters and the frequency analysis's filter frequency.
class CPerf_DriveDlg final : public QDialog {
    Q_OBJECT

  public:
    CPerf_DriveDlg(TrackParameters& parameters, float& filterFrequency, OperatorPort& port,
                   QWidget* parent = nullptr);
    void accept() override;
    QLineEdit* edit(int k) const { return edits_[static_cast<std::size_t>(k)]; }
    QLineEdit* filterEdit() const { return filter_; }

  private:
    TrackParameters& parameters_;
    float& filterFrequency_;
    OperatorPort& port_;
    std::array<QLineEdit*, 7> edits_{};
    QLineEdit* filter_;
};

}  // namespace kenvo
