#pragma once
// Whole numbers typed into a field.
#include <cstdint>
#include <string_view>

namespace Vesperon {

// Reads the number field's text as a signed 32-bit whole number (an optional
// sign, then digits, blanks around it allowed). A number beyond the 32-bit
// range reads as the nearest end of that range, so that an overlong entry
// still ends at the clamp limit instead of being refused. False for a text
// that is no whole number (empty included).
bool ParseNumberText(std::string_view text, std::int32_t& value);

}  // namespace Vesperon
