#include "window_placement.h"

#include <QGuiApplication>
#include <QScreen>
#include <QSettings>
#include <QWidget>

namespace kenvo {

namespace {

const char* const GeometryKey = "Window/Geometry";
const char* const MaximisedKey = "Window/Maximized";

}  // namespace

std::optional<WindowPlacement> loadWindowPlacement(QSettings& profile) {
    const QRect normal = profile.value(GeometryKey).toRect();
    if (!normal.isValid() || normal.width() < 100 || normal.height() < 100) return std::nullopt;
    return WindowPlacement{normal, profile.value(MaximisedKey, false).toBool()};
}

void saveWindowPlacement(QSettings& profile, const WindowPlacement& placement) {
    profile.setValue(GeometryKey, placement.normal);
    profile.setValue(MaximisedKey, placement.maximised);
}

void applyWindowPlacement(QWidget& window, const WindowPlacement& placement) {
    const QSize size = placement.normal.size().expandedTo(window.minimumSize());
    // A screen unplugged since would leave the window out of reach: keep the window manager's
    // place for it then.
    const QPoint grip = placement.normal.topLeft() + QPoint(40, 10);
    if (QGuiApplication::screenAt(grip))
        window.setGeometry(QRect(placement.normal.topLeft(), size));
    else
        window.resize(size);
    if (placement.maximised) window.setWindowState(window.windowState() | Qt::WindowMaximized);
}

}  // namespace kenvo
