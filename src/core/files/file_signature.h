#pragma once

#include <string_view>

namespace kenvo {

// The first string of every data, configuration and protocol file. It is the only
// compatibility check the formats have: compared byte for byte over its whole length.
inline constexpr std::string_view FileSignature = "Kenvo_Plat_V1.1";

}  // namespace kenvo
