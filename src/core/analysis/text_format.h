#pragma once

#include <string>

namespace kenvo {

// printf-style formatting into a string, with the process's numeric locale (the user's decimal
// separator once the program has switched LC_NUMERIC to it).
std::string formatText(const char* format, ...) __attribute__((format(printf, 1, 2)));

}  // namespace kenvo
