// CharUpperBuffA: the system's own case mapping for the ANSI code page.
#include <windows.h>

#include <climits>

#include "platform/TextCase.h"

namespace platform {

void UpperCaseInPlace(std::string& text) {
  if (text.empty() || text.size() > UINT_MAX) return;
  CharUpperBuffA(text.data(), static_cast<DWORD>(text.size()));
}

}  // namespace platform
