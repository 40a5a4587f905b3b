#include "render/gui_session.h"

#include <QGuiApplication>
#include <QtGlobal>

namespace kenvo {

GuiSession::GuiSession() {
    if (QGuiApplication::instance()) return;
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    app_ = std::make_unique<QGuiApplication>(argc_, argv_);
}

GuiSession::~GuiSession() = default;

}  // namespace kenvo
