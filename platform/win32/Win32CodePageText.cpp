// WideCharToMultiByte into the ANSI code page, told to use no best-fit
// look-alikes and to report when it had to put in the default character.
#include <windows.h>

#include <climits>

#include "platform/CodePageText.h"

namespace platform {

std::optional<std::string> ToCodePageExactly(std::u16string_view text) {
  if (text.empty()) return std::string();
  if (text.size() > INT_MAX / 4) return std::nullopt;
  const auto* wide = reinterpret_cast<const wchar_t*>(text.data());
  const int length = static_cast<int>(text.size());
  const UINT codePage = GetACP();
  // A UTF-8 code page holds every character; it refuses the flags and the
  // default-character report, and only an unpaired surrogate can fail.
  const bool utf8 = codePage == CP_UTF8;
  const DWORD flags = utf8 ? WC_ERR_INVALID_CHARS : WC_NO_BEST_FIT_CHARS;
  BOOL usedDefault = FALSE;
  BOOL* report = utf8 ? nullptr : &usedDefault;
  const int size = WideCharToMultiByte(codePage, flags, wide, length, nullptr, 0, nullptr, report);
  if (size <= 0 || usedDefault) return std::nullopt;
  std::string bytes(static_cast<std::size_t>(size), '\0');
  if (WideCharToMultiByte(codePage, flags, wide, length, bytes.data(), size, nullptr, report) != size ||
      usedDefault)
    return std::nullopt;
  return bytes;
}

}  // namespace platform
