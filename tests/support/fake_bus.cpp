#include "support/fake_bus.h"

#include <chrono>
#include <thread>

namespace kenvo::test {

namespace {

class SilentChannel final : public DeviceChannel {
public:
    SilentChannel(std::shared_ptr<std::atomic<int>> hangUps, std::shared_ptr<std::atomic<int>> open,
                  std::shared_ptr<std::atomic<int>> dtr)
        : hangUps_(std::move(hangUps)), born_(hangUps_->load()), open_(std::move(open)), dtr_(std::move(dtr)) {
        ++*open_;
    }
    ~SilentChannel() override { --*open_; }
    bool configure(int32_t) override { return true; }
    void purge() override {}
    void setDtr(bool on) noexcept override { *dtr_ = on ? 1 : 0; }
    WaitResult waitForData() noexcept override {
        while (!interrupted_.exchange(false)) {
            if (lost()) return WaitResult::Lost;
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        return WaitResult::Interrupted;
    }
    void interrupt() noexcept override { interrupted_ = true; }
    long read(uint8_t*, std::size_t) noexcept override { return lost() ? -1 : 0; }

private:
    bool lost() const { return hangUps_->load() > born_; }
    std::shared_ptr<std::atomic<int>> hangUps_;
    int born_;
    std::shared_ptr<std::atomic<int>> open_;
    std::shared_ptr<std::atomic<int>> dtr_;
    std::atomic<bool> interrupted_{false};
};

}  // namespace

std::vector<DeviceInfo> FakeBus::listDevices() {
    std::vector<DeviceInfo> list;
    for (const Device& d : devices_) list.push_back({d.path, d.description});
    return list;
}

std::unique_ptr<DeviceChannel> FakeBus::open(const DeviceInfo& device, OpenError* error) {
    for (const Device& d : devices_) {
        if (d.path != device.path) continue;
        if (!d.opens) {
            if (error) *error = OpenError{d.path, d.errorNumber};
            return nullptr;
        }
        opened.push_back(d.path);
        return std::make_unique<SilentChannel>(hangUps_, open_, dtr_);
    }
    if (error) *error = OpenError{device.path, 2};
    return nullptr;
}

}  // namespace kenvo::test
