#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "platform/device_bus.h"

namespace kenvo {

// Reads "path=description;path=description" (the KENVOPLAT_SERIAL_DEVICES form). Empty items
// and items without '=' are skipped; whitespace around paths and descriptions is kept out.
std::vector<DeviceInfo> parseDeviceList(std::string_view text);

// The USB serial adapters of a Linux machine. Devices are found under
// <sysfsRoot>/class/tty/ttyUSB* and ttyACM*, each described by the USB `product` string found by
// walking up its sysfs device path, and opened as <devRoot>/<name>. Extra devices (an emulator's
// pseudo-terminal, unusual set-ups) are listed after them.
class SerialBus final : public DeviceBus {
public:
    struct Options {
        std::string sysfsRoot = "/sys";
        std::string devRoot = "/dev";
        std::vector<DeviceInfo> extraDevices;
    };

    SerialBus() : SerialBus(Options{}) {}
    explicit SerialBus(Options options) : options_(std::move(options)) {}

    // Options for this machine: the real sysfs, plus KENVOPLAT_SERIAL_DEVICES when set.
    static Options fromEnvironment();

    std::vector<DeviceInfo> listDevices() override;
    std::unique_ptr<DeviceChannel> open(const DeviceInfo& device, OpenError* error) override;

private:
    Options options_;
};

}  // namespace kenvo
