#pragma once

#include <memory>
#include <optional>
#include <string>

#include "model/live_trace.h"
#include "model/platform_calibration.h"
#include "model/test_settings.h"
#include "platform/device_bus.h"
#include "platform/dispatcher.h"
#include "platform/platform_link.h"

namespace kenvo::cli {

// The bus a command talks to: a simulated platform of `simulateModel` when given, else the
// machine's serial adapters (plus KENVOPLAT_SERIAL_DEVICES).
std::unique_ptr<DeviceBus> makeBus(std::optional<int> simulateModel);

// Reads the --simulate[=MODEL] option; false (with a message) when MODEL is not 0..3.
bool simulateOption(const class Args& args, std::optional<int>& model, std::string& error);

// The acquisition chain of a command-line session: settings, calibration, live trace,
// dispatcher and link on one bus.
struct CliPlatform {
    explicit CliPlatform(std::unique_ptr<DeviceBus> deviceBus);

    std::unique_ptr<DeviceBus> bus;
    TestSettings settings = TestSettings::defaults();
    PlatformCalibration calibration;
    std::unique_ptr<LiveTrace> trace;
    Dispatcher dispatcher;
    PlatformLink link;
};

// Prints "Error in communication" and, when a platform could not be opened, why and the fix.
void reportArmFailure(const PlatformLink& link);

// Set by SIGINT and SIGTERM so long-running commands end cleanly.
bool interrupted();
void installInterruptHandler();

}  // namespace kenvo::cli
