#pragma once

#include <string>
#include <string_view>

namespace kenvo {

// Strings inside the data, configuration and protocol files are bytes of the Windows-1250 code
// page. They stay in that form in memory and are converted only where text meets the user or
// the terminal. The five byte values the code page leaves undefined map to the C1 control
// characters of the same value, so every byte string survives a round trip through UTF-8.

// Windows-1250 bytes to UTF-8.
std::string cp1250ToUtf8(std::string_view bytes);

// UTF-8 to Windows-1250. Characters the code page lacks, and malformed UTF-8, become '?'.
std::string utf8ToCp1250(std::string_view utf8);

// UTF-16 little-endian code units (2 bytes each) to Windows-1250; characters the code page
// lacks, including unpaired surrogates and characters outside the basic plane, become '?'.
std::string utf16leToCp1250(std::string_view bytes);

// One Unicode code point to its Windows-1250 byte, or '?' when the code page lacks it.
char codePointToCp1250(char32_t cp);

}  // namespace kenvo
