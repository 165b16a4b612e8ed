#pragma once
// Free text the user types and the program keeps (profile names, the
// reminder's message and sound file, name patterns) is stored in the system's
// ANSI code page. Text that code page cannot hold exactly is refused where it
// is typed, before anything is written, instead of being stored with "?" or
// look-alikes in place of the user's characters.
#include <optional>
#include <string>
#include <string_view>

namespace Vesperon {

inline constexpr char kUnstorableTextText[] =
    "This text contains characters that cannot be stored on this system.";

// The typed text as the program stores it, or nothing when it cannot be
// stored faithfully.
std::optional<std::string> StorableText(std::u16string_view typed);

}  // namespace Vesperon
