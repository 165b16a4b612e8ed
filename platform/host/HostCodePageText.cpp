// Windows-1252 as a Western Windows converts to it without best fit: the
// ASCII and Latin-1 ranges as they are, the row 0x80..0x9F for its own
// punctuation and letters; everything else has no byte.
#include <array>

#include "platform/CodePageText.h"

namespace platform {
namespace {

// The characters of bytes 0x80..0x9F; 0 where Windows-1252 leaves the byte
// to the C1 control of the same number.
constexpr std::array<char16_t, 32> kRow80 = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

std::optional<char> ByteOf(char16_t c) {
  if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) return static_cast<char>(c);
  for (std::size_t i = 0; i < kRow80.size(); ++i) {
    const char16_t own = kRow80[i] != 0 ? kRow80[i] : static_cast<char16_t>(0x80 + i);
    if (own == c) return static_cast<char>(0x80 + i);
  }
  return std::nullopt;
}

}  // namespace

std::optional<std::string> ToCodePageExactly(std::u16string_view text) {
  std::string bytes;
  bytes.reserve(text.size());
  for (const char16_t c : text) {
    const std::optional<char> byte = ByteOf(c);
    if (!byte) return std::nullopt;
    bytes.push_back(*byte);
  }
  return bytes;
}

}  // namespace platform
