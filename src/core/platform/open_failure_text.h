#pragma once

#include <optional>
#include <string>

#include "platform/device_bus.h"

namespace kenvo {

// Where the installed udev rule lives, for messages that tell the operator how to get access.
inline constexpr const char* UdevRuleName = "70-kenvoplat.rules";

// Plain words for a platform that is attached but could not be opened: the device, what went
// wrong and what to do about it. Empty when nothing failed to open.
std::string openFailureText(const std::optional<OpenError>& failure);

}  // namespace kenvo
