#include "cli_platform.h"

#include <csignal>
#include <cstdio>

#include "cli_args.h"
#include "platform/open_failure_text.h"
#include "model/platform_models.h"
#include "platform/serial_bus.h"
#include "platform/simulated_bus.h"

namespace kenvo::cli {

namespace {
volatile std::sig_atomic_t interruptedFlag = 0;
void onSignal(int) {
    interruptedFlag = 1;
}
}  // namespace

std::unique_ptr<DeviceBus> makeBus(std::optional<int> simulateModel) {
    if (simulateModel) {
        auto bus = std::make_unique<SimulatedBus>();
        bus->add({*simulateModel, 70.0, nullptr, 1});
        return bus;
    }
    return std::make_unique<SerialBus>(SerialBus::fromEnvironment());
}

bool simulateOption(const Args& args, std::optional<int>& model, std::string& error) {
    model.reset();
    if (!args.has("--simulate")) return true;
    const std::string text = args.value("--simulate").value_or("");
    if (text.empty()) {
        model = 0;
        return true;
    }
    if (text.size() == 1 && text[0] >= '0' && text[0] < '0' + PlatformModelCount) {
        model = text[0] - '0';
        return true;
    }
    error = "--simulate takes a platform model from 0 to 3";
    return false;
}

CliPlatform::CliPlatform(std::unique_ptr<DeviceBus> deviceBus)
    : bus(std::move(deviceBus)),
      trace(std::make_unique<LiveTrace>()),
      dispatcher(*trace),
      link(*bus, dispatcher, settings, calibration) {}

void reportArmFailure(const PlatformLink& link) {
    std::fprintf(stderr, "Error in communication\n");
    if (const std::string why = openFailureText(link.lastOpenError()); !why.empty())
        std::fprintf(stderr, "%s\n", why.c_str());
}

bool interrupted() {
    return interruptedFlag != 0;
}

void installInterruptHandler() {
    std::signal(SIGINT, onSignal);
    std::signal(SIGTERM, onSignal);
}

}  // namespace kenvo::cli
