#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace kenvo {

// An attached serial adapter as the bus lists it: where it is and its USB product description.
struct DeviceInfo {
    std::string path;
    std::string description;
};

enum class WaitResult {
    Data,         // bytes can be read
    Interrupted,  // interrupt() was called
    Lost,         // the device hung up or failed
};

// An open device. Everything but interrupt() is called from one thread at a time (the reader
// while it runs, the user-interface thread before and after); interrupt() may be called from
// any thread to wake a waiting reader.
class DeviceChannel {
public:
    virtual ~DeviceChannel() = default;  // closes the device

    // 19200 baud, 8 data bits, 1 stop bit, no parity, in the platform's case.
    virtual bool configure(int32_t baud) = 0;
    // Discards whatever is queued in either direction.
    virtual void purge() = 0;
    // Raises or lowers DTR. A device without modem lines ignores it.
    virtual void setDtr(bool on) noexcept = 0;
    // Blocks until bytes arrive, interrupt() is called, or the device is lost.
    virtual WaitResult waitForData() noexcept = 0;
    virtual void interrupt() noexcept = 0;
    // Reads what is queued, at most `capacity` bytes, without blocking. Returns the count read
    // (0 when nothing is queued) or -1 when the device failed or hung up.
    virtual long read(uint8_t* buffer, std::size_t capacity) noexcept = 0;
};

struct OpenError {
    std::string path;
    int errorNumber = 0;  // errno of the failed open
};

// Where platforms are found: the Linux serial adapters, or simulated platforms.
class DeviceBus {
public:
    virtual ~DeviceBus() = default;
    virtual std::vector<DeviceInfo> listDevices() = 0;
    // Opens a listed device; on failure returns null and fills `error` when given.
    virtual std::unique_ptr<DeviceChannel> open(const DeviceInfo& device, OpenError* error) = 0;
};

}  // namespace kenvo
