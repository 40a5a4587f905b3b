#pragma once

#include <QObject>
#include <QPoint>
#include <memory>
#include <optional>

#include "platform/cop_source.h"

class QAction;
class QSettings;

namespace kenvo {

struct AppState;
class CKenvoPlatView;
class StanceController;

// "Steer with the mouse": the simulated subject's COP follows the pointer over the view, so
// the dynamic tests can be tried and demonstrated without a platform. The pointer is turned
// into millimetres with the mapping of what the view shows: the target square, the driving
// square with its track range and centre, or the COP plane of the stance view.
class PointerSteering final : public QObject {
    Q_OBJECT

  public:
    PointerSteering(std::shared_ptr<SteerableSource> subject, CKenvoPlatView& view,
                    AppState& state, StanceController& stance, QSettings& profile,
                    QAction& toggle);

    void setSteering(bool on);
    bool steering() const { return subject_->steering(); }
    // The COP (plate millimetres) that puts the subject's mark under `at`; nothing where the
    // view shows no COP mapping.
    std::optional<CopPoint> copAt(QPoint at) const;

  private:
    void pointerMoved(QPoint at);

    std::shared_ptr<SteerableSource> subject_;
    CKenvoPlatView& view_;
    AppState& state_;
    StanceController& stance_;
    QSettings& profile_;
    QAction& toggle_;
};

}  // namespace kenvo
