#pragma once

#include <cstdint>
#include <span>
#include <string>

namespace kenvo {

// Writes `bytes` to `path` through a temporary file in the same folder that is flushed to disk
// and then renamed over the target, so a failed or interrupted write never destroys the file
// that was there. On failure returns false with a plain-words reason; the temporary is removed.
// A file of `FileAccess::Private` (personal data: the register's subject files, the sidecars)
// is readable and writable by its owner only (0600); others get the usual permissions.
enum class FileAccess { Usual, Private };
bool writeFileAtomically(const std::string& path, std::span<const uint8_t> bytes, std::string& error,
                         FileAccess access = FileAccess::Usual);

}  // namespace kenvo
