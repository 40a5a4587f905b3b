#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <optional>
#include <string_view>
#include <thread>
#include <vector>

#include "model/platform_calibration.h"
#include "model/test_settings.h"
#include "platform/device_bus.h"
#include "platform/dispatcher.h"

namespace kenvo {

// A known platform among the listed devices.
struct FoundPlatform {
    int32_t model;
    DeviceInfo device;
};

// Every listed device whose description is exactly one of the platform models, in bus order.
std::vector<FoundPlatform> listPlatforms(DeviceBus& bus);

// The link to the force platform: finds it on the bus, opens it at the platform's serial
// settings and runs the reader thread that feeds every received byte to the dispatcher.
// One link at a time. All calls but setLine() come from the user-interface thread.
class PlatformLink final : private ModemLine {
public:
    static constexpr int32_t Baud = 19200;
    static constexpr std::size_t ReadChunk = 1024;

    PlatformLink(DeviceBus& bus, Dispatcher& dispatcher, const TestSettings& settings,
                 PlatformCalibration& calibration);
    ~PlatformLink() override;
    PlatformLink(const PlatformLink&) = delete;
    PlatformLink& operator=(const PlatformLink&) = delete;

    // Resets the dispatcher for `control`, finds the platform and starts reading. False when a
    // link is already running, no known platform is attached, or it cannot be opened.
    bool arm(AcquisitionControl& control);

    // Finds the first attached model in table order; on success selects it, sets the
    // dispatcher's sensor count and the calibration's scales for the current orientation.
    bool discover();
    // Opens the selected model and starts the reader. False when already open or not found.
    bool openLink();
    // Stops the reader, lowers DTR and closes the device. Safe with nothing open.
    void stopLink();
    // Raises or lowers DTR while the link is active.
    void setLine(bool on) noexcept override;

    int32_t selectedModel() const { return selectedModel_; }
    bool linkActive() const { return linkActive_.load(std::memory_order_acquire) != 0; }
    // Set by the reader when the device hung up or failed; the reader has then ended. Cleared
    // when the link is opened again.
    bool deviceLost() const { return deviceLost_.load(std::memory_order_acquire) != 0; }
    // The last platform that was found but could not be opened (permissions, busy ...).
    const std::optional<OpenError>& lastOpenError() const { return lastOpenError_; }

    // Where the reader sends the received bytes; the dispatcher unless replaced (raw capture).
    // Only while the link is stopped.
    void setByteSink(ByteSink* sink) { sink_ = sink ? sink : &dispatcher_; }

private:
    std::unique_ptr<DeviceChannel> findByDescription(std::string_view description);
    void readerLoop() noexcept;

    DeviceBus& bus_;
    Dispatcher& dispatcher_;
    const TestSettings& settings_;
    PlatformCalibration& calibration_;
    ByteSink* sink_;

    int32_t selectedModel_ = -1;
    std::unique_ptr<DeviceChannel> channel_;
    std::thread reader_;
    std::atomic<int32_t> linkActive_{0};
    std::atomic<int32_t> readerStop_{0};
    std::atomic<int32_t> deviceLost_{0};
    std::optional<OpenError> lastOpenError_;
};

}  // namespace kenvo
