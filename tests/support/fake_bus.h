#pragma once

#include <atomic>
#include <memory>
#include <string>
#include <vector>

#include "platform/device_bus.h"

namespace kenvo::test {

// A bus of listed devices that open (or refuse to) and then stay silent until interrupted or
// unplugged. Records which devices were opened.
class FakeBus final : public DeviceBus {
public:
    struct Device {
        std::string path;
        std::string description;
        bool opens = true;
        int errorNumber = 13;  // EACCES when it does not open
    };

    explicit FakeBus(std::vector<Device> devices) : devices_(std::move(devices)) {}

    std::vector<DeviceInfo> listDevices() override;
    std::unique_ptr<DeviceChannel> open(const DeviceInfo& device, OpenError* error) override;

    void setDevices(std::vector<Device> devices) { devices_ = std::move(devices); }
    // Makes every channel open now report the device lost (as if unplugged and plugged back).
    void hangUp() { ++*hangUps_; }

    std::vector<std::string> opened;
    int openChannels() const { return open_->load(); }
    int dtrRaised() const { return dtr_->load(); }

private:
    std::vector<Device> devices_;
    std::shared_ptr<std::atomic<int>> hangUps_ = std::make_shared<std::atomic<int>>(0);
    std::shared_ptr<std::atomic<int>> open_ = std::make_shared<std::atomic<int>>(0);
    std::shared_ptr<std::atomic<int>> dtr_ = std::make_shared<std::atomic<int>>(0);
};

}  // namespace kenvo::test
