#pragma once
// How the stand-ins write numbers into their logs ("0x1F") and bytes into
// their logs and files ("0A1F", two digits a byte).
#include <cstdint>
#include <cstdio>
#include <span>
#include <string>

namespace platform {

inline std::string HexText(std::uint64_t value) {
  char text[20];
  std::snprintf(text, sizeof text, "0x%llX", static_cast<unsigned long long>(value));
  return text;
}

inline std::string HexBytes(std::span<const std::uint8_t> bytes) {
  static const char digits[] = "0123456789ABCDEF";
  std::string text;
  for (const std::uint8_t byte : bytes) text += {digits[byte >> 4], digits[byte & 0xF]};
  return text;
}

}  // namespace platform
