#include "platform_choice.h"

#include <QSettings>

#include "platform/platform_models.h"
#include "platform/serial_bus.h"
#include "platform/simulated_bus.h"

namespace kenvo {

namespace {
const char* const Key = "Platform/choice";
}

int32_t loadPlatformChoice(QSettings& settings) {
    bool ok = false;
    const int32_t choice = settings.value(Key, PlatformAutomatic).toInt(&ok);
    return ok && isValidModel(choice) ? choice : PlatformAutomatic;
}

void savePlatformChoice(QSettings& settings, int32_t choice) {
    settings.setValue(Key, isValidModel(choice) ? choice : PlatformAutomatic);
    settings.sync();
}

std::unique_ptr<DeviceBus> makeDeviceBus(int32_t choice) {
    if (!isValidModel(choice)) return std::make_unique<SerialBus>(SerialBus::fromEnvironment());
    auto bus = std::make_unique<SimulatedBus>();
    bus->add({choice, 70.0, nullptr, 1});
    return bus;
}

}  // namespace kenvo
