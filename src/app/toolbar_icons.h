#pragma once

#include <QIcon>
#include <QPixmap>

namespace kenvo {

inline constexpr int ToolbarImageWidth = 19;
inline constexpr int ToolbarImageHeight = 17;

// The toolbar image of a command, drawn for this program at 19 x 17 pixels; a null pixmap for
// a command without one.
QPixmap toolbarPixmap(int commandId);
QIcon toolbarIcon(int commandId);

}  // namespace kenvo
