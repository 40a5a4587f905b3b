#pragma once

#include <QRect>
#include <optional>

class QSettings;
class QWidget;

namespace kenvo {

// Where the main window was and how large, kept in the user's profile between runs.
struct WindowPlacement {
    QRect normal;  // the window's frame-less geometry when neither maximised nor full screen
    bool maximised = false;
};

// The placement kept in `profile`; nothing when none was kept or it is unusable.
std::optional<WindowPlacement> loadWindowPlacement(QSettings& profile);
void saveWindowPlacement(QSettings& profile, const WindowPlacement& placement);

// Puts `window` (not yet shown) where the placement says: its size at least the window's
// minimum, its position only when that is on a screen now, maximised when it was.
void applyWindowPlacement(QWidget& window, const WindowPlacement& placement);

}  // namespace kenvo
