#include <gtest/gtest.h>

#include <fcntl.h>
#include <stdlib.h>
#include <unistd.h>

#include <array>
#include <atomic>
#include <chrono>
#include <filesystem>
#include <memory>
#include <thread>

#include "platform/platform_link.h"
#include "platform/serial_bus.h"
#include "platform/wire_frame.h"
#include "support/temp_dir.h"

namespace kenvo {
namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

// Lays out a tty entry the way sysfs does: class/tty/<name>/device links into the USB device
// tree, and the USB device (an ancestor) carries the product string.
void addTty(const fs::path& root, const std::string& name, const std::string& usbDevice,
            const std::string& product) {
    const fs::path usb = root / "devices" / "pci0000:00" / usbDevice;
    const fs::path port = usb / (usbDevice + ":1.0") / name;
    fs::create_directories(port);
    if (!product.empty()) test::writeFileBytes((usb / "product").string(), product + "\n");
    fs::create_directories(root / "class" / "tty" / name);
    fs::create_directory_symlink(port, root / "class" / "tty" / name / "device");
}

TEST(SerialBusDiscovery, ReadsProductStringsFromSysfsInNaturalOrder) {
    test::TempDir dir;
    const fs::path root = fs::path(dir.path()) / "sys";
    addTty(root, "ttyUSB10", "1-3", "3KenvoPlatP");
    addTty(root, "ttyUSB0", "1-1", "4KenvoPlat");
    addTty(root, "ttyUSB2", "1-2", "FT232R USB UART");
    addTty(root, "ttyACM0", "2-1", "4KenvoPlatW");
    addTty(root, "ttyUSB3", "1-4", "");  // no product anywhere up the tree
    fs::create_directories(root / "class" / "tty" / "ttyS0");  // not a USB adapter
    test::writeFileBytes(dir.file("product"), "4KenvoPlat\n");  // above the root: never read

    SerialBus bus({root.string(), "/dev", parseDeviceList("/tmp/pty7=3KenvoPlatT")});
    const auto devices = bus.listDevices();
    ASSERT_EQ(devices.size(), 6u);
    EXPECT_EQ(devices[0].path, "/dev/ttyACM0");
    EXPECT_EQ(devices[0].description, "4KenvoPlatW");
    EXPECT_EQ(devices[1].path, "/dev/ttyUSB0");
    EXPECT_EQ(devices[1].description, "4KenvoPlat");
    EXPECT_EQ(devices[2].description, "FT232R USB UART");
    EXPECT_EQ(devices[3].path, "/dev/ttyUSB3");
    EXPECT_EQ(devices[3].description, "");
    EXPECT_EQ(devices[4].path, "/dev/ttyUSB10");
    EXPECT_EQ(devices[5].path, "/tmp/pty7");
    EXPECT_EQ(devices[5].description, "3KenvoPlatT");
}

TEST(SerialBusDiscovery, MissingSysfsListsOnlyTheDeclaredDevices) {
    SerialBus bus({"/nonexistent-sysfs", "/dev", {}});
    EXPECT_TRUE(bus.listDevices().empty());
}

TEST(SerialBusDiscovery, DeviceListFromTheEnvironmentForm) {
    const auto list = parseDeviceList(" /dev/pts/3 = 4KenvoPlat ;;broken;=nopath;/dev/pts/4=3KenvoPlatP;");
    ASSERT_EQ(list.size(), 2u);
    EXPECT_EQ(list[0].path, "/dev/pts/3");
    EXPECT_EQ(list[0].description, "4KenvoPlat");
    EXPECT_EQ(list[1].path, "/dev/pts/4");
    EXPECT_EQ(list[1].description, "3KenvoPlatP");
}

// Decodes what the reader delivers into a preallocated list of frames.
class FrameCollector final : public ByteSink {
public:
    void consume(const uint8_t* bytes, std::size_t count) noexcept override {
        RawFrame frame;
        for (std::size_t i = 0; i < count; ++i)
            if (decoder_.push(bytes[i], frame)) {
                const int n = count_.load(std::memory_order_relaxed);
                if (n < static_cast<int>(frames_.size())) {
                    frames_[static_cast<std::size_t>(n)] = frame;
                    count_.store(n + 1, std::memory_order_release);
                }
            }
    }
    int count() const { return count_.load(std::memory_order_acquire); }
    const RawFrame& frame(int i) const { return frames_[static_cast<std::size_t>(i)]; }

private:
    FrameDecoder decoder_;
    std::array<RawFrame, 4096> frames_{};
    std::atomic<int> count_{0};
};

class PtyLinkTest : public ::testing::Test {
protected:
    void SetUp() override {
        master_ = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
        ASSERT_GE(master_, 0);
        ASSERT_EQ(grantpt(master_), 0);
        ASSERT_EQ(unlockpt(master_), 0);
        slave_ = ptsname(master_);
        bus_ = std::make_unique<SerialBus>(
            SerialBus::Options{dir_.path(), "/dev", {{slave_, "4KenvoPlat"}}});
        trace_ = std::make_unique<LiveTrace>();
        dispatcher_ = std::make_unique<Dispatcher>(*trace_);
        link_ = std::make_unique<PlatformLink>(*bus_, *dispatcher_, settings_, calibration_);
        link_->setByteSink(&collector_);
    }
    void TearDown() override {
        link_.reset();
        if (master_ >= 0) close(master_);
    }
    void writeFrame(const RawFrame& frame) {
        const auto bytes = encodeFrame(frame);
        ASSERT_EQ(write(master_, bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
    }
    template <typename Pred>
    bool waitFor(Pred pred, double seconds = 5.0) {
        const auto deadline = Clock::now() + std::chrono::duration<double>(seconds);
        while (!pred()) {
            if (Clock::now() > deadline) return false;
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
        return true;
    }

    test::TempDir dir_;  // an empty sysfs: only the pseudo-terminal is listed
    int master_ = -1;
    std::string slave_;
    std::unique_ptr<SerialBus> bus_;
    TestSettings settings_ = TestSettings::defaults();
    PlatformCalibration calibration_;
    std::unique_ptr<LiveTrace> trace_;
    std::unique_ptr<Dispatcher> dispatcher_;
    std::unique_ptr<PlatformLink> link_;
    FrameCollector collector_;
    AcquisitionControl control_;
};

TEST_F(PtyLinkTest, FramesArriveInOrderThroughTheRealSerialPath) {
    ASSERT_TRUE(link_->arm(control_));
    EXPECT_EQ(link_->selectedModel(), 0);
    // The reader purges when it starts; repeat a warm-up frame until it is being read.
    ASSERT_TRUE(waitFor([&] {
        writeFrame(RawFrame{{1, 1, 1, 1}, 0});
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
        return collector_.count() > 0;
    }));
    ASSERT_TRUE(waitFor([&] {
        const int before = collector_.count();
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        return collector_.count() == before;
    }));
    const int start = collector_.count();
    const int n = 1500;  // more than one read chunk at once
    std::vector<uint8_t> stream;
    for (int i = 0; i < n; ++i) {
        const auto bytes = encodeFrame(RawFrame{{i % 4096, (i * 7) % 4096, 4095 - i % 4096, 100}, i % 16});
        stream.insert(stream.end(), bytes.begin(), bytes.end());
    }
    std::size_t done = 0;
    while (done < stream.size()) {
        const ssize_t w = write(master_, stream.data() + done, stream.size() - done);
        if (w > 0) done += static_cast<std::size_t>(w);
        else std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    ASSERT_TRUE(waitFor([&] { return collector_.count() >= start + n; }))
        << "received " << collector_.count() - start << " of " << n;
    for (int i = 0; i < n; ++i) {
        const RawFrame want{{i % 4096, (i * 7) % 4096, 4095 - i % 4096, 100}, i % 16};
        ASSERT_EQ(collector_.frame(start + i), want) << "frame " << i;
    }
    link_->stopLink();
}

TEST_F(PtyLinkTest, StopReturnsPromptlyWithNoDataFlowing) {
    ASSERT_TRUE(link_->arm(control_));
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    const auto before = Clock::now();
    link_->stopLink();
    const auto took = Clock::now() - before;
    EXPECT_LT(took, std::chrono::milliseconds(100));
    EXPECT_FALSE(link_->linkActive());
    EXPECT_FALSE(link_->deviceLost());
    // The slave is closed again: it can be opened at once by the next arming.
    EXPECT_TRUE(link_->arm(control_));
}

TEST_F(PtyLinkTest, ClosingTheOtherEndMarksTheDeviceLostAndEndsTheReader) {
    ASSERT_TRUE(link_->arm(control_));
    writeFrame(RawFrame{{5, 5, 5, 5}, 0});
    close(master_);
    master_ = -1;
    EXPECT_TRUE(waitFor([&] { return link_->deviceLost(); }, 3.0));
    const auto before = Clock::now();
    link_->stopLink();  // the reader has ended: nothing to wait for
    EXPECT_LT(Clock::now() - before, std::chrono::milliseconds(100));
    EXPECT_FALSE(link_->linkActive());
}

}  // namespace
}  // namespace kenvo
