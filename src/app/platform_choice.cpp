#include "platform_choice.h"

#include <QSettings>
#include <cstdlib>
#include <string>

#include "model/platform_models.h"
#include "platform/serial_bus.h"
#include "platform/simulated_bus.h"

namespace kenvo {

namespace {
const char* const Key = "Platform/choice";
const char* const MouseKey = "Platform/mouse";
}

int32_t loadPlatformChoice(QSettings& settings) {
    // KENVOPLAT_PLATFORM=simulated[:MODEL] or auto chooses for this run only (scripts/run.sh
    // uses it on a machine without a platform); the remembered choice stays as it was.
    bool ok = false;
    const int32_t remembered = settings.value(Key, PlatformAutomatic).toInt(&ok);
    const int32_t choice = ok && isValidModel(remembered) ? remembered : PlatformAutomatic;
    if (const char* env = std::getenv("KENVOPLAT_PLATFORM")) {
        const std::string value = env;
        if (value == "auto") return PlatformAutomatic;
        // A simulated model remembered from the menu is kept; otherwise model 0.
        if (value == "simulated") return isValidModel(choice) ? choice : 0;
        if (value.rfind("simulated:", 0) == 0 && value.size() == 11 && isValidModel(value[10] - '0'))
            return value[10] - '0';
    }
    return choice;
}

void savePlatformChoice(QSettings& settings, int32_t choice) {
    settings.setValue(Key, isValidModel(choice) ? choice : PlatformAutomatic);
    settings.sync();
}

std::unique_ptr<DeviceBus> makeDeviceBus(int32_t choice, std::shared_ptr<CopSource> subject) {
    if (!isValidModel(choice)) return std::make_unique<SerialBus>(SerialBus::fromEnvironment());
    auto bus = std::make_unique<SimulatedBus>();
    bus->add({choice, 70.0, std::move(subject), 1});
    return bus;
}

bool loadMouseSteering(QSettings& settings) { return settings.value(MouseKey, false).toBool(); }

void saveMouseSteering(QSettings& settings, bool on) {
    settings.setValue(MouseKey, on);
    settings.sync();
}

}  // namespace kenvo
