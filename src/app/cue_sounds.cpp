#include "cue_sounds.h"

#include <QUrl>

// The resources of a static library are registered by hand; the macro must be called
// outside any namespace.
static void registerCueResources() { Q_INIT_RESOURCE(sounds); }

namespace kenvo {

CueSounds::CueSounds(QObject* parent) : QObject(parent), alarm_(this), success_(this) {
    registerCueResources();
    // The cues are built into the program (sounds.qrc), so they play from any install folder.
    alarm_.setSource(QUrl(QStringLiteral("qrc:/sounds/alarm.wav")));
    alarm_.setLoopCount(QSoundEffect::Infinite);
    success_.setSource(QUrl(QStringLiteral("qrc:/sounds/success.wav")));
    success_.setLoopCount(1);
}

void CueSounds::setEnabled(bool on) {
    enabled_ = on;
    if (!on) stopAll();
}

void CueSounds::apply(HitSound sound) {
    if (!enabled_ && sound != HitSound::Stop) return;
    switch (sound) {
        case HitSound::Unchanged:
            return;
        case HitSound::StartAlarmLoop:
            success_.stop();
            alarm_.play();
            return;
        case HitSound::Stop:
            stopAll();
            return;
        case HitSound::PlaySuccess:
            alarm_.stop();
            success_.play();
            return;
    }
}

void CueSounds::stopAll() {
    alarm_.stop();
    success_.stop();
}

}  // namespace kenvo
