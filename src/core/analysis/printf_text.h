#pragma once

#include <string>

namespace kenvo {

// printf into a string of whatever length the text needs. The numeric locale of the process
// applies, so numbers show the user's decimal separator.
[[gnu::format(printf, 1, 2)]] std::string printfText(const char* format, ...);

}  // namespace kenvo
