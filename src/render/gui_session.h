#pragma once

#include <memory>

class QGuiApplication;

namespace kenvo {

// Text needs a QGuiApplication (fonts come from the platform plugin). A command-line program or
// a test creates one session before drawing; without a display it uses the offscreen platform
// (QT_QPA_PLATFORM=offscreen unless the environment chooses another). When an application
// object exists already, the session uses that one.
class GuiSession {
public:
    GuiSession();
    ~GuiSession();
    GuiSession(const GuiSession&) = delete;
    GuiSession& operator=(const GuiSession&) = delete;

private:
    int argc_ = 1;
    char name_[16] = "kenvoplat";
    char* argv_[2] = {name_, nullptr};
    std::unique_ptr<QGuiApplication> app_;
};

}  // namespace kenvo
