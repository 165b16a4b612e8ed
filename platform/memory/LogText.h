#pragma once
// How the recording stand-ins write numbers into their logs: "0x1F".
#include <cstdint>
#include <cstdio>
#include <string>

namespace platform {

inline std::string HexText(std::uint64_t value) {
  char text[20];
  std::snprintf(text, sizeof text, "0x%llX", static_cast<unsigned long long>(value));
  return text;
}

}  // namespace platform
