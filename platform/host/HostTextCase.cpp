// Windows-1252's upper case, as a Western Windows maps it: a to z, the
// accented letters from 0xE0 (not the division sign 0xF7), and the four
// letters whose capitals lie in the 0x80 row.
#include "platform/TextCase.h"

namespace platform {

void UpperCaseInPlace(std::string& text) {
  for (char& c : text) {
    const unsigned char u = static_cast<unsigned char>(c);
    unsigned char upper = u;
    if ((u >= 'a' && u <= 'z') || (u >= 0xE0 && u <= 0xFE && u != 0xF7)) {
      upper = static_cast<unsigned char>(u - 0x20);
    } else if (u == 0x9A || u == 0x9C || u == 0x9E) {
      upper = static_cast<unsigned char>(u - 0x10);
    } else if (u == 0xFF) {
      upper = 0x9F;
    }
    c = static_cast<char>(upper);
  }
}

}  // namespace platform
