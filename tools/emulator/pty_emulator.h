#pragma once

#include <string>

namespace kenvo {

// The master side of a pseudo-terminal whose slave looks like a platform's serial adapter.
class PtyMaster {
public:
    PtyMaster();  // throws std::runtime_error with the reason when no pty can be had
    ~PtyMaster();
    PtyMaster(const PtyMaster&) = delete;
    PtyMaster& operator=(const PtyMaster&) = delete;

    const std::string& slavePath() const { return slavePath_; }
    // Writes without blocking; returns false when the bytes could not all be queued (nobody is
    // reading and the buffer is full), which a real platform would not notice either.
    bool write(const unsigned char* bytes, std::size_t count);

private:
    int master_ = -1;
    int slaveHold_ = -1;  // keeps the slave open so writes never fail for want of a reader
    std::string slavePath_;
};

}  // namespace kenvo
