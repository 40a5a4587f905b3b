#include "files/atomic_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace kenvo {

namespace {
std::string reason(const std::string& what, const std::string& path, int err) {
    return what + " " + path + ": " + std::strerror(err);
}
}  // namespace

bool writeFileAtomically(const std::string& path, std::span<const uint8_t> bytes, std::string& error,
                         FileAccess access) {
    std::string temp = path + ".XXXXXX";
    const int fd = mkstemp(temp.data());
    if (fd < 0) {
        error = reason("cannot create a file beside", path, errno);
        return false;
    }
    // mkstemp creates 0600, which a private file keeps; any other file gets the usual
    // permissions of a new file.
    if (access == FileAccess::Usual) {
        const mode_t mask = umask(0);
        umask(mask);
        (void)fchmod(fd, 0666 & ~mask);
    }

    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            const int err = n < 0 ? errno : EIO;
            ::close(fd);
            ::unlink(temp.c_str());
            error = reason("cannot write", path, err);
            return false;
        }
        done += static_cast<std::size_t>(n);
    }
    int failed = ::fsync(fd) != 0 ? errno : 0;
    if (::close(fd) != 0 && failed == 0) failed = errno;
    if (failed != 0) {
        const int err = failed;
        ::unlink(temp.c_str());
        error = reason("cannot write", path, err);
        return false;
    }
    if (std::rename(temp.c_str(), path.c_str()) != 0) {
        const int err = errno;
        ::unlink(temp.c_str());
        error = reason("cannot replace", path, err);
        return false;
    }
    return true;
}

}  // namespace kenvo
