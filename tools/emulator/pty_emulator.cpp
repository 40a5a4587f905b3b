#include "pty_emulator.h"

#include <fcntl.h>
#include <stdlib.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <stdexcept>

namespace kenvo {

PtyMaster::PtyMaster() {
    master_ = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (master_ < 0 || grantpt(master_) != 0 || unlockpt(master_) != 0)
        throw std::runtime_error(std::string("cannot create a pseudo-terminal: ") + std::strerror(errno));
    const char* name = ptsname(master_);
    if (!name) throw std::runtime_error("cannot name the pseudo-terminal");
    slavePath_ = name;
    slaveHold_ = ::open(name, O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (slaveHold_ >= 0) {
        // Raw from the start: no echo, no line editing, so the bytes pass unchanged.
        termios tio{};
        if (tcgetattr(slaveHold_, &tio) == 0) {
            cfmakeraw(&tio);
            tcsetattr(slaveHold_, TCSANOW, &tio);
        }
    }
    fcntl(master_, F_SETFL, fcntl(master_, F_GETFL) | O_NONBLOCK);
}

PtyMaster::~PtyMaster() {
    if (slaveHold_ >= 0) ::close(slaveHold_);
    if (master_ >= 0) ::close(master_);
}

bool PtyMaster::write(const unsigned char* bytes, std::size_t count) {
    while (count > 0) {
        const ssize_t n = ::write(master_, bytes, count);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        bytes += n;
        count -= static_cast<std::size_t>(n);
    }
    return true;
}

}  // namespace kenvo
