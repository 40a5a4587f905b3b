#pragma once

#include <cstdint>
#include <span>
#include <string>

namespace kenvo {

// Writes `bytes` to `path` through a temporary file in the same folder that is flushed to disk
// and then renamed over the target, so a failed or interrupted write never destroys the file
// that was there. On failure returns false with a plain-words reason; the temporary is removed.
bool writeFileAtomically(const std::string& path, std::span<const uint8_t> bytes, std::string& error);

}  // namespace kenvo
