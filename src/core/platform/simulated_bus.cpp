#include "platform/simulated_bus.h"

#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <string>

#include "model/platform_models.h"

namespace kenvo {

namespace {
constexpr const char* PathPrefix = "simulated:";
using Clock = std::chrono::steady_clock;
}  // namespace

struct SimulatedBus::Attached {
    Attached(Platform p)
        : spec(std::move(p)),
          source(spec.source ? spec.source : std::make_shared<QuietStanceSource>(spec.seed)),
          simulator({spec.model, spec.weightKg, 72.0, spec.seed}, *source) {}
    Platform spec;
    std::shared_ptr<CopSource> source;
    PlatformSimulator simulator;
    int64_t nextFrame = 0;  // continues across openings, so the subject's sway is continuous
    std::atomic<bool> unplugged{false};
    std::optional<RawFrame> fixedReading;
};

namespace {

class SimulatedChannel final : public DeviceChannel {
public:
    SimulatedChannel(SimulatedBus::Attached& platform, double speed, int wake)
        : platform_(platform), framesPerSecond_(100.0 * speed), wake_(wake), start_(Clock::now()) {}
    ~SimulatedChannel() override { ::close(wake_); }

    bool configure(int32_t) override { return true; }
    void purge() override { sent_ = framesDue(); }
    void setDtr(bool) noexcept override {}

    WaitResult waitForData() noexcept override {
        for (;;) {
            if (platform_.unplugged.load(std::memory_order_relaxed)) return WaitResult::Lost;
            if (framesDue() > sent_) return WaitResult::Data;
            const auto next = start_ + std::chrono::duration_cast<Clock::duration>(
                                           std::chrono::duration<double>((sent_ + 1) / framesPerSecond_));
            const auto wait = std::chrono::duration_cast<std::chrono::nanoseconds>(next - Clock::now());
            timespec timeout{0, 0};
            if (wait.count() > 0) {
                timeout.tv_sec = static_cast<time_t>(wait.count() / 1000000000);
                timeout.tv_nsec = static_cast<long>(wait.count() % 1000000000);
            }
            pollfd fd{wake_, POLLIN, 0};
            const int n = ::ppoll(&fd, 1, &timeout, nullptr);
            if (n > 0 && (fd.revents & POLLIN)) {
                uint64_t count;
                (void)::read(wake_, &count, sizeof count);
                return WaitResult::Interrupted;
            }
            if (n < 0 && errno != EINTR) return WaitResult::Lost;
        }
    }

    void interrupt() noexcept override {
        const uint64_t one = 1;
        (void)::write(wake_, &one, sizeof one);
    }

    long read(uint8_t* buffer, std::size_t capacity) noexcept override {
        if (platform_.unplugged.load(std::memory_order_relaxed)) return -1;
        const int64_t frames = std::min<int64_t>(framesDue() - sent_,
                                                 static_cast<int64_t>(capacity / FrameBytes));
        for (int64_t i = 0; i < frames; ++i) {
            const RawFrame frame = platform_.simulator.frame(platform_.nextFrame++);
            const auto bytes = encodeFrame(platform_.fixedReading ? *platform_.fixedReading : frame);
            std::copy(bytes.begin(), bytes.end(), buffer + i * FrameBytes);
        }
        sent_ += frames;
        return static_cast<long>(frames * FrameBytes);
    }

private:
    int64_t framesDue() const noexcept {
        const std::chrono::duration<double> elapsed = Clock::now() - start_;
        return static_cast<int64_t>(elapsed.count() * framesPerSecond_);
    }

    SimulatedBus::Attached& platform_;
    double framesPerSecond_;
    int wake_;
    Clock::time_point start_;
    int64_t sent_ = 0;
};

}  // namespace

SimulatedBus::SimulatedBus() : SimulatedBus(Options{}) {}
SimulatedBus::SimulatedBus(Options options) : options_(options) {}
SimulatedBus::~SimulatedBus() = default;

int SimulatedBus::add(Platform platform) {
    platforms_.push_back(std::make_unique<Attached>(std::move(platform)));
    return static_cast<int>(platforms_.size()) - 1;
}

void SimulatedBus::unplug(int index) {
    if (index >= 0 && index < static_cast<int>(platforms_.size()))
        platforms_[static_cast<std::size_t>(index)]->unplugged.store(true);
}

void SimulatedBus::setOverload(int index, bool on) {
    if (index >= 0 && index < static_cast<int>(platforms_.size()))
        platforms_[static_cast<std::size_t>(index)]->simulator.setOverload(on);
}

void SimulatedBus::setFixedReading(int index, std::optional<RawFrame> reading) {
    if (index >= 0 && index < static_cast<int>(platforms_.size()))
        platforms_[static_cast<std::size_t>(index)]->fixedReading = reading;
}

std::vector<DeviceInfo> SimulatedBus::listDevices() {
    std::vector<DeviceInfo> devices;
    for (std::size_t i = 0; i < platforms_.size(); ++i) {
        const Attached& p = *platforms_[i];
        if (p.unplugged.load()) continue;
        const int32_t model = isValidModel(p.spec.model) ? p.spec.model : 0;
        devices.push_back({PathPrefix + std::to_string(i),
                           std::string(PlatformDescriptions[static_cast<std::size_t>(model)])});
    }
    return devices;
}

std::unique_ptr<DeviceChannel> SimulatedBus::open(const DeviceInfo& device, OpenError* error) {
    const std::string prefix = PathPrefix;
    std::size_t index = platforms_.size();
    if (device.path.rfind(prefix, 0) == 0 && device.path.size() > prefix.size()) {
        char* end = nullptr;
        const unsigned long n = std::strtoul(device.path.c_str() + prefix.size(), &end, 10);
        if (end && *end == '\0') index = n;
    }
    if (index >= platforms_.size() || platforms_[index]->unplugged.load()) {
        if (error) *error = OpenError{device.path, ENODEV};
        return nullptr;
    }
    const int wake = eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
    if (wake < 0) {
        if (error) *error = OpenError{device.path, errno};
        return nullptr;
    }
    return std::make_unique<SimulatedChannel>(*platforms_[index], options_.speed, wake);
}

}  // namespace kenvo
