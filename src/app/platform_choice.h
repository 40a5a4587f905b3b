#pragma once

#include <cstdint>
#include <memory>

class QSettings;

namespace kenvo {

class CopSource;
class DeviceBus;

// Which platform the tests talk to: the attached one (automatic), or a simulated platform of
// a model 0..3 for a machine without hardware.
inline constexpr int32_t PlatformAutomatic = -1;

int32_t loadPlatformChoice(QSettings& settings);
void savePlatformChoice(QSettings& settings, int32_t choice);

// The machine's serial adapters for automatic, else one simulated platform of that model whose
// subject is `subject` (quiet stance when null).
std::unique_ptr<DeviceBus> makeDeviceBus(int32_t choice, std::shared_ptr<CopSource> subject = {});

// Whether the simulated subject follows the mouse; remembered between runs.
bool loadMouseSteering(QSettings& settings);
void saveMouseSteering(QSettings& settings, bool on);

}  // namespace kenvo
