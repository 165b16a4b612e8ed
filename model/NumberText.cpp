#include "model/NumberText.h"

#include <cctype>
#include <cstdint>
#include <limits>

namespace Vesperon {

bool ParseNumberText(std::string_view text, std::int32_t& value) {
  std::size_t i = 0, end = text.size();
  auto blank = [](char c) { return std::isspace(static_cast<unsigned char>(c)) != 0; };
  while (i < end && blank(text[i])) ++i;
  while (end > i && blank(text[end - 1])) --end;
  bool negative = false;
  if (i < end && (text[i] == '-' || text[i] == '+')) negative = text[i++] == '-';
  if (i == end) return false;
  std::int64_t magnitude = 0;
  constexpr std::int64_t kCap = std::int64_t{1} << 40;  // far beyond 32 bits, no overflow
  for (; i < end; ++i) {
    if (text[i] < '0' || text[i] > '9') return false;
    magnitude = magnitude * 10 + (text[i] - '0');
    if (magnitude > kCap) magnitude = kCap;
  }
  const std::int64_t signedValue = negative ? -magnitude : magnitude;
  if (signedValue > std::numeric_limits<std::int32_t>::max()) {
    value = std::numeric_limits<std::int32_t>::max();
  } else if (signedValue < std::numeric_limits<std::int32_t>::min()) {
    value = std::numeric_limits<std::int32_t>::min();
  } else {
    value = static_cast<std::int32_t>(signedValue);
  }
  return true;
}

}  // namespace Vesperon
