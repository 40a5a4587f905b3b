#pragma once

#include <string>

#include "procedures/procedure_port.h"

namespace kenvo {

class CMainFrame;
class OperatorPort;
class PlatformLink;

// What every test procedure needs from the window, in one place: message boxes (a failed
// arming names the device's reason), Yes/No, the dialog bar, the view's mode and redraws, the
// Save command and full screen. The controllers add their own timers and bars.
class WindowProcedurePort : public ProcedurePort {
  public:
    WindowProcedurePort(CMainFrame& frame, OperatorPort& port, PlatformLink& link)
        : frame_(frame), port_(port), link_(&link) {}

    void message(const std::string& text) override;
    bool askYesNo(const std::string& text) override;
    void hideBar() override;
    void showBarControl(int32_t id, bool visible) override;
    void setViewMode(int32_t mode) override;
    void redraw() override;
    bool offerSave() override;
    bool save() override;
    void setFullScreen(bool on) override;

  protected:
    CMainFrame& frame_;
    OperatorPort& port_;
    PlatformLink* link_;  // replaced when the platform choice changes
};

}  // namespace kenvo
