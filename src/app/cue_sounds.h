#pragma once

#include <QObject>
#include <QSoundEffect>

#include "procedures/target_procedure.h"

namespace kenvo {

// The target test's two cues played on the desktop's sound output: the alarm loops until it
// is stopped or replaced, the success cue plays once. One cue sounds at a time, so starting
// one silences the other. Without a sound device the effects stay silent and nothing is
// reported: the test runs the same either way.
class CueSounds final : public QObject, public TargetSounds {
    Q_OBJECT

  public:
    explicit CueSounds(QObject* parent = nullptr);

    void apply(HitSound sound) override;
    void stopAll() override;
    // Switched off, the cues are silent (and one sounding stops) until switched on again.
    void setEnabled(bool on);
    bool enabled() const { return enabled_; }

    const QSoundEffect& alarm() const { return alarm_; }
    const QSoundEffect& success() const { return success_; }

  private:
    QSoundEffect alarm_;
    QSoundEffect success_;
    bool enabled_ = true;
};

}  // namespace kenvo
