#include "window_procedure_port.h"

#include <QString>

#include "command_ids.h"
#include "file_commands.h"
#include "kenvo_plat_view.h"
#include "main_frame.h"
#include "operator_port.h"
#include "platform/open_failure_text.h"
#include "platform/platform_link.h"

namespace kenvo {

void WindowProcedurePort::message(const std::string& text) {
    QString detail;
    if (text == MessageCommunicationError && link_->lastOpenError())
        detail = QString::fromStdString(openFailureText(link_->lastOpenError()));
    port_.message(QString::fromStdString(text), detail);
}

bool WindowProcedurePort::askYesNo(const std::string& text) {
    return port_.ask(QString::fromStdString(text), false) == Answer::Yes;
}

void WindowProcedurePort::hideBar() { frame_.hideDialogBar(); }

void WindowProcedurePort::showBarControl(int32_t id, bool visible) { frame_.showBarControl(id, visible); }

void WindowProcedurePort::setViewMode(int32_t mode) { frame_.view()->setMode(static_cast<ViewMode>(mode)); }

void WindowProcedurePort::redraw() { frame_.view()->redraw(); }

bool WindowProcedurePort::offerSave() { return frame_.files().offerSave(false); }

bool WindowProcedurePort::save() { return frame_.files().save(); }

void WindowProcedurePort::setFullScreen(bool on) {
    if (on) frame_.enterFullScreen();
    else frame_.leaveFullScreen();
}

}  // namespace kenvo
