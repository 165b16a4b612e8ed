#pragma once
// Texts go to the registry and to the system's narrow functions in the ANSI
// code page in force. A character that code page lacks would silently turn
// into "?" or into a look-alike, so the conversion here is exact or nothing.
#include <optional>
#include <string>
#include <string_view>

namespace platform {

// `text` (UTF-16) in the ANSI code page, or nothing when any character has
// no exact counterpart there: no best-fit look-alikes, no default character
// (WideCharToMultiByte with WC_NO_BEST_FIT_CHARS on Windows; on the host the
// table of Windows-1252, the code page of a Western Windows).
std::optional<std::string> ToCodePageExactly(std::u16string_view text);

}  // namespace platform
