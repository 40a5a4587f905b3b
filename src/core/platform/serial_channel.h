#pragma once

#include <memory>
#include <string>

#include "platform/device_bus.h"

namespace kenvo {

// Opens a tty (a USB serial adapter or a pseudo-terminal) as a raw, non-blocking channel whose
// waits can be interrupted from another thread. Null on failure, with errno in `error`.
std::unique_ptr<DeviceChannel> openSerialChannel(const std::string& path, OpenError* error);

}  // namespace kenvo
