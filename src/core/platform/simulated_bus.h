#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include "platform/cop_source.h"
#include "platform/device_bus.h"
#include "platform/platform_simulator.h"

namespace kenvo {

// Simulated platforms in place of USB adapters. An open platform delivers real wire frames at
// 100 frames per second (times `speed`), paced by the monotonic clock: the frames due are the
// elapsed time times the rate, so a late reader catches up instead of drifting.
class SimulatedBus final : public DeviceBus {
public:
    struct Options {
        double speed = 1.0;  // 10 plays ten seconds of frames in one second (tests)
    };

    struct Platform {
        int32_t model = 0;
        double weightKg = 70.0;
        std::shared_ptr<CopSource> source;  // quiet stance when null
        uint32_t seed = 1;
    };

    SimulatedBus();
    explicit SimulatedBus(Options options);
    ~SimulatedBus() override;

    // Attaches a platform; returns its index.
    int add(Platform platform);
    // Pulls the cable: an open channel reports the device lost, and it is no longer listed.
    void unplug(int index);
    void setOverload(int index, bool on);
    // Every frame of platform `index` carries exactly these raw readings (sensor check tests);
    // nothing goes back to the simulated subject. Only while the platform is not open.
    void setFixedReading(int index, std::optional<RawFrame> reading);

    std::vector<DeviceInfo> listDevices() override;
    std::unique_ptr<DeviceChannel> open(const DeviceInfo& device, OpenError* error) override;

    struct Attached;

private:
    Options options_;
    std::vector<std::unique_ptr<Attached>> platforms_;
};

}  // namespace kenvo
