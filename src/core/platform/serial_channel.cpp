#include "platform/serial_channel.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>

namespace kenvo {

namespace {

speed_t speedFor(int32_t baud) {
    switch (baud) {
        case 9600: return B9600;
        case 19200: return B19200;
        case 38400: return B38400;
        case 57600: return B57600;
        case 115200: return B115200;
        default: return B0;
    }
}

class SerialChannel final : public DeviceChannel {
public:
    SerialChannel(int fd, int wake) : fd_(fd), wake_(wake) {}
    ~SerialChannel() override {
        (void)ioctl(fd_, TIOCNXCL);
        ::close(fd_);
        ::close(wake_);
    }

    bool configure(int32_t baud) override {
        termios tio{};
        if (tcgetattr(fd_, &tio) != 0) return false;
        cfmakeraw(&tio);
        tio.c_cflag &= ~static_cast<tcflag_t>(PARENB | CSTOPB | CSIZE | CRTSCTS);
        tio.c_cflag |= CS8 | CLOCAL | CREAD;
        tio.c_cc[VMIN] = 1;  // with O_NONBLOCK: no data is EAGAIN, 0 bytes is a hang-up
        tio.c_cc[VTIME] = 0;
        const speed_t speed = speedFor(baud);
        if (speed == B0) return false;
        cfsetispeed(&tio, speed);
        cfsetospeed(&tio, speed);
        return tcsetattr(fd_, TCSANOW, &tio) == 0;
    }

    void purge() override { tcflush(fd_, TCIOFLUSH); }

    void setDtr(bool on) noexcept override {
        // A pseudo-terminal has no modem lines and refuses this; that is not an error.
        int bits = TIOCM_DTR;
        (void)ioctl(fd_, on ? TIOCMBIS : TIOCMBIC, &bits);
    }

    WaitResult waitForData() noexcept override {
        for (;;) {
            pollfd fds[2] = {{fd_, POLLIN, 0}, {wake_, POLLIN, 0}};
            const int n = ::poll(fds, 2, -1);
            if (n < 0) {
                if (errno == EINTR) continue;
                return WaitResult::Lost;
            }
            if (fds[1].revents & POLLIN) {
                uint64_t count;
                (void)::read(wake_, &count, sizeof count);
                return WaitResult::Interrupted;
            }
            if (fds[0].revents & POLLIN) return WaitResult::Data;
            if (fds[0].revents & (POLLHUP | POLLERR | POLLNVAL)) return WaitResult::Lost;
        }
    }

    void interrupt() noexcept override {
        const uint64_t one = 1;
        (void)::write(wake_, &one, sizeof one);
    }

    long read(uint8_t* buffer, std::size_t capacity) noexcept override {
        for (;;) {
            const ssize_t n = ::read(fd_, buffer, capacity);
            if (n > 0) return static_cast<long>(n);
            if (n == 0) return -1;  // end of file on a tty: the other side hung up
            if (errno == EINTR) continue;
            if (errno == EAGAIN || errno == EWOULDBLOCK) return 0;
            return -1;
        }
    }

private:
    int fd_;
    int wake_;
};

}  // namespace

std::unique_ptr<DeviceChannel> openSerialChannel(const std::string& path, OpenError* error) {
    const int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        if (error) *error = OpenError{path, errno};
        return nullptr;
    }
    // Keep other programs from opening the platform while we read it.
    (void)ioctl(fd, TIOCEXCL);
    const int wake = eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
    if (wake < 0) {
        if (error) *error = OpenError{path, errno};
        ::close(fd);
        return nullptr;
    }
    return std::make_unique<SerialChannel>(fd, wake);
}

}  // namespace kenvo
