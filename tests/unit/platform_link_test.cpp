#include <gtest/gtest.h>

#include <cerrno>
#include <chrono>
#include <memory>
#include <thread>

#include "platform/open_failure_text.h"
#include "platform/platform_link.h"
#include "support/fake_bus.h"

namespace kenvo {
namespace {

using test::FakeBus;
using Devices = std::vector<FakeBus::Device>;

struct LinkRig {
    explicit LinkRig(std::vector<FakeBus::Device> devices, int32_t orientation = 0)
        : bus(std::move(devices)), trace(std::make_unique<LiveTrace>()), dispatcher(*trace) {
        settings.orientation = orientation;
    }
    FakeBus bus;
    TestSettings settings = TestSettings::defaults();
    PlatformCalibration calibration;
    std::unique_ptr<LiveTrace> trace;
    Dispatcher dispatcher;
    PlatformLink link{bus, dispatcher, settings, calibration};
};

TEST(PlatformDiscovery, LowestModelIndexWinsWhateverTheBusOrder) {
    LinkRig rig(Devices{{"/dev/ttyUSB0", "3KenvoPlatP"}, {"/dev/ttyUSB1", "4KenvoPlat"}});
    ASSERT_TRUE(rig.link.discover());
    EXPECT_EQ(rig.link.selectedModel(), 0);
    EXPECT_EQ(rig.dispatcher.fourSensor(), 1);
    EXPECT_EQ(rig.calibration.scaleX, 175.0f);
    EXPECT_EQ(rig.calibration.scaleY, 276.0f);
    EXPECT_EQ(rig.bus.openChannels(), 0);  // the probe is closed again
}

TEST(PlatformDiscovery, DescriptionMustMatchWholeAndExactly) {
    LinkRig rig(Devices{{"/dev/ttyUSB0", "4KenvoPlatX"}, {"/dev/ttyUSB1", "4kenvoplat"}, {"/dev/ttyUSB2", " 4KenvoPlat"}});
    EXPECT_FALSE(rig.link.discover());
    EXPECT_EQ(rig.link.selectedModel(), -1);
    EXPECT_TRUE(rig.bus.opened.empty());  // nothing that does not match is opened
    EXPECT_EQ(rig.calibration.scaleX, 0.0f);
}

TEST(PlatformDiscovery, DeviceThatFailsToOpenIsSkipped) {
    LinkRig rig(Devices{{"/dev/ttyUSB0", "4KenvoPlat", false}, {"/dev/ttyUSB1", "4KenvoPlat"}});
    ASSERT_TRUE(rig.link.discover());
    EXPECT_EQ(rig.bus.opened, std::vector<std::string>{"/dev/ttyUSB1"});

    // Only unopenable platforms: not discovered, and the reason is kept for the operator.
    LinkRig locked(Devices{{"/dev/ttyUSB0", "3KenvoPlatT", false, 13}});
    EXPECT_FALSE(locked.link.discover());
    ASSERT_TRUE(locked.link.lastOpenError().has_value());
    EXPECT_EQ(locked.link.lastOpenError()->path, "/dev/ttyUSB0");
    EXPECT_EQ(locked.link.lastOpenError()->errorNumber, 13);
}

// What the operator reads when the only platform refuses to open: the device and the fix.
TEST(PlatformDiscovery, OpenFailureTextNamesTheDeviceAndTheFix) {
    LinkRig denied(Devices{{"/dev/ttyUSB3", "4KenvoPlatW", false, EACCES}});
    EXPECT_FALSE(denied.link.discover());
    const std::string text = openFailureText(denied.link.lastOpenError());
    EXPECT_NE(text.find("/dev/ttyUSB3"), std::string::npos);
    EXPECT_NE(text.find("permission denied"), std::string::npos);
    EXPECT_NE(text.find(UdevRuleName), std::string::npos);
    EXPECT_NE(text.find("dialout"), std::string::npos);
    EXPECT_EQ(openFailureText(OpenError{"/dev/ttyUSB3", EPERM}), text);

    LinkRig busy(Devices{{"/dev/ttyACM0", "3KenvoPlatP", false, EBUSY}});
    EXPECT_FALSE(busy.link.discover());
    const std::string inUse = openFailureText(busy.link.lastOpenError());
    EXPECT_NE(inUse.find("/dev/ttyACM0 is in use by another program"), std::string::npos);
    EXPECT_EQ(inUse.find("dialout"), std::string::npos);

    EXPECT_EQ(openFailureText(std::nullopt), "");
    EXPECT_NE(openFailureText(OpenError{"/dev/x", EIO}).find("could not be opened: "), std::string::npos);
}

TEST(PlatformDiscovery, OrientationSwapsTheScalesAndSensorCountFollowsTheModel) {
    LinkRig turned(Devices{{"/dev/ttyUSB0", "4KenvoPlatW"}}, 1);
    ASSERT_TRUE(turned.link.discover());
    EXPECT_EQ(turned.calibration.scaleX, 112.0f);
    EXPECT_EQ(turned.calibration.scaleY, 117.0f);

    LinkRig three(Devices{{"/dev/ttyUSB0", "3KenvoPlatT"}});
    ASSERT_TRUE(three.link.discover());
    EXPECT_EQ(three.link.selectedModel(), 3);
    EXPECT_EQ(three.dispatcher.fourSensor(), 0);
    EXPECT_EQ(three.calibration.scaleX, 241.0f);
    EXPECT_EQ(three.calibration.scaleY, 208.5f);
}

TEST(PlatformDiscovery, FailedDiscoveryKeepsThePreviousSelection) {
    LinkRig rig(Devices{{"/dev/ttyUSB0", "3KenvoPlatP"}});
    ASSERT_TRUE(rig.link.discover());
    rig.bus.setDevices({{"/dev/ttyUSB1", "4KenvoPlatW", false}});  // unplugged; another won't open
    EXPECT_FALSE(rig.link.discover());
    EXPECT_EQ(rig.link.selectedModel(), 2);
    EXPECT_EQ(rig.dispatcher.fourSensor(), 0);
    EXPECT_EQ(rig.calibration.scaleX, 265.0f);
    EXPECT_EQ(rig.calibration.scaleY, 230.0f);
}

TEST(PlatformLinkArm, ArmOpensOnceAndRefusesWhileRunning) {
    LinkRig rig(Devices{{"/dev/ttyUSB0", "4KenvoPlat"}});
    AcquisitionControl control;
    control.stopped = 1;
    control.sampleCount = 55;
    ASSERT_TRUE(rig.link.arm(control));
    EXPECT_TRUE(rig.link.linkActive());
    EXPECT_EQ(control.stopped, 0);
    EXPECT_EQ(control.sampleCount, 0);
    EXPECT_EQ(rig.dispatcher.control(), &control);
    EXPECT_EQ(rig.bus.openChannels(), 1);
    EXPECT_EQ(rig.bus.dtrRaised(), 1);
    EXPECT_FALSE(rig.link.arm(control));
    EXPECT_FALSE(rig.link.openLink());

    const auto before = std::chrono::steady_clock::now();
    rig.link.stopLink();
    EXPECT_LT(std::chrono::steady_clock::now() - before, std::chrono::milliseconds(500));
    EXPECT_FALSE(rig.link.linkActive());
    EXPECT_EQ(rig.bus.openChannels(), 0);
    EXPECT_EQ(rig.bus.dtrRaised(), 0);  // lowered before closing
    EXPECT_TRUE(rig.link.arm(control));  // and it can be armed again
}

TEST(PlatformLinkArm, FailedArmLeavesTheLinkStoppedAndStopIsSafe) {
    LinkRig rig(Devices{});
    AcquisitionControl control;
    rig.link.stopLink();  // nothing open: returns at once
    EXPECT_FALSE(rig.link.arm(control));
    EXPECT_FALSE(rig.link.linkActive());
    rig.link.stopLink();
    EXPECT_FALSE(rig.link.openLink());  // no model selected
}

TEST(PlatformLinkArm, HangUpEndsTheReaderAndMarksTheDeviceLost) {
    LinkRig rig(Devices{{"/dev/ttyUSB0", "4KenvoPlat"}});
    AcquisitionControl control;
    ASSERT_TRUE(rig.link.arm(control));
    EXPECT_FALSE(rig.link.deviceLost());
    rig.bus.hangUp();
    for (int i = 0; i < 500 && !rig.link.deviceLost(); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    EXPECT_TRUE(rig.link.deviceLost());
    EXPECT_TRUE(rig.link.linkActive());  // until the operator's side stops it
    // A lost link does not block the next arming once the platform is back.
    ASSERT_TRUE(rig.link.arm(control));
    EXPECT_FALSE(rig.link.deviceLost());
    EXPECT_EQ(rig.bus.openChannels(), 1);
    rig.link.stopLink();
    EXPECT_EQ(rig.bus.openChannels(), 0);
}

TEST(PlatformLinkArm, ListPlatformsNamesEveryKnownDeviceInBusOrder) {
    FakeBus bus({{"/dev/ttyUSB0", "3KenvoPlatP"}, {"/dev/ttyUSB1", "FT232R USB UART"}, {"/dev/ttyACM0", "4KenvoPlatW"}});
    const auto found = listPlatforms(bus);
    ASSERT_EQ(found.size(), 2u);
    EXPECT_EQ(found[0].model, 2);
    EXPECT_EQ(found[0].device.path, "/dev/ttyUSB0");
    EXPECT_EQ(found[1].model, 1);
}

}  // namespace
}  // namespace kenvo
