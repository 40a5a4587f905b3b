#include "platform/platform_link.h"

#include "model/platform_models.h"

namespace kenvo {

std::vector<FoundPlatform> listPlatforms(DeviceBus& bus) {
    std::vector<FoundPlatform> found;
    for (DeviceInfo& device : bus.listDevices())
        for (int32_t model = 0; model < PlatformModelCount; ++model)
            if (device.description == PlatformDescriptions[static_cast<std::size_t>(model)]) {
                found.push_back({model, std::move(device)});
                break;
            }
    return found;
}

PlatformLink::PlatformLink(DeviceBus& bus, Dispatcher& dispatcher, const TestSettings& settings,
                           PlatformCalibration& calibration)
    : bus_(bus), dispatcher_(dispatcher), settings_(settings), calibration_(calibration),
      sink_(&dispatcher) {
    dispatcher_.setModemLine(this);
}

PlatformLink::~PlatformLink() {
    stopLink();
    // A reader that ended on its own (device lost) may still need joining.
    if (reader_.joinable()) reader_.join();
    dispatcher_.setModemLine(nullptr);
}

bool PlatformLink::arm(AcquisitionControl& control) {
    // A link whose device was lost is no longer running: clean it up so the operator can retry.
    if (linkActive() && deviceLost()) stopLink();
    if (linkActive()) return false;
    dispatcher_.reset(control, settings_.orientation);
    if (!discover()) return false;
    linkActive_.store(1, std::memory_order_release);
    if (!openLink()) {
        linkActive_.store(0, std::memory_order_release);
        return false;
    }
    return true;
}

std::unique_ptr<DeviceChannel> PlatformLink::findByDescription(std::string_view description) {
    for (const DeviceInfo& device : bus_.listDevices()) {
        if (device.description != description) continue;
        OpenError error;
        if (auto channel = bus_.open(device, &error)) return channel;
        lastOpenError_ = error;
    }
    return nullptr;
}

bool PlatformLink::discover() {
    lastOpenError_.reset();
    for (int32_t model = 0; model < PlatformModelCount; ++model) {
        if (!findByDescription(PlatformDescriptions[static_cast<std::size_t>(model)])) continue;
        const ModelScales scales = modelScales(model, settings_.orientation);
        calibration_.scaleX = scales.scaleX;
        calibration_.scaleY = scales.scaleY;
        selectedModel_ = model;
        dispatcher_.setFourSensor(isFourSensorModel(model));
        return true;  // the probe's channel closes here; openLink opens it again
    }
    return false;
}

bool PlatformLink::openLink() {
    if (channel_) return false;
    readerStop_.store(0, std::memory_order_relaxed);
    if (!isValidModel(selectedModel_)) return false;
    channel_ = findByDescription(PlatformDescriptions[static_cast<std::size_t>(selectedModel_)]);
    if (!channel_) return false;
    channel_->configure(Baud);
    channel_->purge();
    channel_->setDtr(true);
    deviceLost_.store(0, std::memory_order_release);
    if (reader_.joinable()) reader_.join();
    reader_ = std::thread([this] { readerLoop(); });
    return true;
}

void PlatformLink::stopLink() {
    if (!linkActive()) return;
    if (channel_) {
        readerStop_.store(1, std::memory_order_release);
        channel_->interrupt();
        if (reader_.joinable()) reader_.join();
        channel_->setDtr(false);
        channel_.reset();
    }
    linkActive_.store(0, std::memory_order_release);
}

void PlatformLink::setLine(bool on) noexcept {
    if (linkActive() && channel_) channel_->setDtr(on);
}

void PlatformLink::readerLoop() noexcept {
    uint8_t buffer[ReadChunk];
    DeviceChannel& channel = *channel_;
    channel.purge();
    while (readerStop_.load(std::memory_order_acquire) == 0) {
        const WaitResult woke = channel.waitForData();
        if (woke == WaitResult::Interrupted) continue;
        if (woke == WaitResult::Lost) break;
        for (;;) {
            const long n = channel.read(buffer, sizeof buffer);
            if (n < 0) {
                deviceLost_.store(1, std::memory_order_release);
                return;
            }
            if (n > 0) sink_->consume(buffer, static_cast<std::size_t>(n));
            if (static_cast<std::size_t>(n) < sizeof buffer) break;
        }
    }
    if (readerStop_.load(std::memory_order_acquire) == 0) deviceLost_.store(1, std::memory_order_release);
}

}  // namespace kenvo
