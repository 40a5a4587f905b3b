#include "files/file_bytes.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace kenvo {

namespace {

std::string sizeText(uint64_t bytes) {
    if (bytes >= (uint64_t{1} << 20) && bytes % (uint64_t{1} << 20) == 0)
        return std::to_string(bytes >> 20) + " MiB";
    if (bytes >= (uint64_t{1} << 10) && bytes % (uint64_t{1} << 10) == 0)
        return std::to_string(bytes >> 10) + " KiB";
    return std::to_string(bytes) + " bytes";
}

const char* kindOf(mode_t mode) {
    if (S_ISDIR(mode)) return "a folder";
    if (S_ISFIFO(mode)) return "a pipe";
    if (S_ISCHR(mode) || S_ISBLK(mode)) return "a device";
    if (S_ISSOCK(mode)) return "a socket";
    return "not a regular file";
}

// The reason a file of this kind and size is not read, or empty when it may be.
std::string refusal(const std::string& path, const struct stat& st, uint64_t maxBytes) {
    if (!S_ISREG(st.st_mode)) return path + " is " + kindOf(st.st_mode) + ", not a file that can be read";
    if (static_cast<uint64_t>(st.st_size) > maxBytes)
        return path + " is too large (" + std::to_string(static_cast<uint64_t>(st.st_size)) +
               " bytes; at most " + sizeText(maxBytes) + ")";
    return {};
}

void setFailure(ReadFailure* failure, ReadFailure value) {
    if (failure) *failure = value;
}

}  // namespace

int openRegularFile(const std::string& path, uint64_t maxBytes, std::string& error,
                    ReadFailure* failure) {
    setFailure(failure, ReadFailure::None);
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) {
        error = "cannot open " + path + ": " + std::strerror(errno);
        setFailure(failure, ReadFailure::CannotOpen);
        return -1;
    }
    if (std::string why = refusal(path, st, maxBytes); !why.empty()) {
        error = std::move(why);
        setFailure(failure, ReadFailure::Refused);
        return -1;
    }
    // O_NONBLOCK: should a FIFO have been put in the file's place since the stat, the open
    // returns at once instead of waiting for a writer.
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) {
        error = "cannot open " + path + ": " + std::strerror(errno);
        setFailure(failure, ReadFailure::CannotOpen);
        return -1;
    }
    if (::fstat(fd, &st) != 0) {
        error = "cannot read " + path + ": " + std::strerror(errno);
        ::close(fd);
        setFailure(failure, ReadFailure::CannotOpen);
        return -1;
    }
    if (std::string why = refusal(path, st, maxBytes); !why.empty()) {
        error = std::move(why);
        ::close(fd);
        setFailure(failure, ReadFailure::Refused);
        return -1;
    }
    // Reads of a regular file never wait; clear the flag so nothing downstream sees EAGAIN.
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    return fd;
}

bool readRegularFile(const std::string& path, uint64_t maxBytes, std::vector<uint8_t>& bytes,
                     std::string& error, ReadFailure* failure) {
    bytes.clear();
    const int fd = openRegularFile(path, maxBytes, error, failure);
    if (fd < 0) return false;
    struct stat st {};
    if (::fstat(fd, &st) == 0) bytes.reserve(static_cast<std::size_t>(st.st_size));
    // A file that grows while it is read is still held to the limit: read one byte past it.
    uint8_t buffer[65536];
    bool failed = false;
    while (true) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n < 0) {
            if (errno == EINTR) continue;
            error = "cannot read " + path + ": " + std::strerror(errno);
            failed = true;
            break;
        }
        if (n == 0) break;
        bytes.insert(bytes.end(), buffer, buffer + n);
        if (bytes.size() > maxBytes) {
            error = path + " is too large (more than " + sizeText(maxBytes) + ")";
            setFailure(failure, ReadFailure::Refused);
            ::close(fd);
            bytes.clear();
            return false;
        }
    }
    ::close(fd);
    if (failed) {
        bytes.clear();
        setFailure(failure, ReadFailure::CannotOpen);
        return false;
    }
    return true;
}

std::string fileNameOf(const std::string& path) {
    const auto slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

}  // namespace kenvo
