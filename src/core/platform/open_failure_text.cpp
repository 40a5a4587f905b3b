#include "platform/open_failure_text.h"

#include <cerrno>
#include <cstring>

namespace kenvo {

std::string openFailureText(const std::optional<OpenError>& failure) {
    if (!failure) return {};
    const std::string device = "The platform on " + failure->path;
    switch (failure->errorNumber) {
        case EACCES:
        case EPERM:
            return device +
                   " was found, but this user may not open it (permission denied).\n"
                   "Fix: install the KenvoPlat package, whose udev rule " +
                   UdevRuleName +
                   " gives the logged-in user access, then unplug the platform and plug it in "
                   "again.\n"
                   "Or add the user to the dialout group (sudo usermod -aG dialout $USER) and log "
                   "in again.";
        case EBUSY:
            return device +
                   " is in use by another program.\n"
                   "Fix: close the other program (another KenvoPlat or kenvoplat-cli monitor) and "
                   "try again.";
        case ENOENT:
        case ENODEV:
        case ENXIO:
            return device +
                   " could not be opened: the device is not there (unplugged, or a wrong path).\n"
                   "Fix: check the USB cable, plug the platform in again and try again.";
        default:
            return device +
                   " was found, but could not be opened: " + std::strerror(failure->errorNumber) +
                   ".";
    }
}

}  // namespace kenvo
