#pragma once

#include <QDialog>
#include <QHash>
#include <QTimer>
#include <memory>

#include "platform/sensor_check_session.h"

class QLineEdit;
class QPushButton;

namespace kenvo {

class OperatorPort;
class PlatformLink;
struct PlatformCalibration;

// "Actual sensor reading" of a four-sensor platform: the mean reading and percentage of each
// load cell, their sum and the COP, refreshed every 100 ms, and the zeroing of the unloaded
// platform. OK keeps the new zero offsets (pressed while zeroing runs, once they are in),
// Cancel forgets them. A platform lost meanwhile is
// reported and ends the check as Cancel does.
class CCheckDlg : public QDialog {
    Q_OBJECT

  public:
    // Control ids of the fields and buttons.
    enum Control : int {
        FrontLeftCount = 1020,
        FrontLeftPercent = 1021,
        FrontRightCount = 1022,
        FrontRightPercent = 1023,
        RearLeftCount = 1026,  // the rear sensor of a three-sensor platform
        RearLeftPercent = 1027,
        RearRightCount = 1031,
        RearRightPercent = 1032,
        Sum = 1024,
        CopX = 1028,
        CopY = 1025,
        ZeroButton = 1029,
        ZeroEndButton = 1030,
    };

    CCheckDlg(PlatformLink& link, PlatformCalibration& calibration, OperatorPort& port,
              QWidget* parent = nullptr);
    ~CCheckDlg() override;

    QLineEdit* field(int id) const { return fields_.value(id, nullptr); }
    QPushButton* zeroButton() const { return zero_; }
    QPushButton* okButton() const { return ok_; }
    const SensorCheckSession& session() const { return *session_; }

    void accept() override;
    void reject() override;

  protected:
    CCheckDlg(PlatformLink& link, PlatformCalibration& calibration, OperatorPort& port,
              bool fourSensor, QWidget* parent);

  private:
    void build();
    void onTimer();
    void onZero();
    void onZeroEnd();
    void showReading(const SensorReading& r);

    OperatorPort& port_;
    std::unique_ptr<SensorCheckSession> session_;
    QHash<int, QLineEdit*> fields_;
    QPushButton* zero_ = nullptr;
    QPushButton* zeroEnd_ = nullptr;
    QPushButton* ok_ = nullptr;
    bool acceptWhenZeroed_ = false;
    QTimer timer_;
};

// The same for a three-sensor platform (front left, front right, rear).
class CCheckDlg3 final : public CCheckDlg {
    Q_OBJECT

  public:
    CCheckDlg3(PlatformLink& link, PlatformCalibration& calibration, OperatorPort& port,
               QWidget* parent = nullptr);
};

}  // namespace kenvo
