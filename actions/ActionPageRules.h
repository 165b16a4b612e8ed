#pragma once
// What the action property pages decide without a window: how a list of
// patterns is stored, which pattern names a list refuses and with which
// message, how the reminder's auto-close field is checked as the user types,
// and the removal of the scratch section the reminder test writes.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace Vesperon {

// The characters a process or connection name can never hold (the wildcards
// "*" and "?" are allowed). "|" is among them: it separates stored patterns.
inline constexpr char kForbiddenPatternCharacters[] = "\\/:\"<>|";

// Every pattern followed by "|": two rows give "a|b|", no rows the empty
// text. SplitPatternList reads it back.
std::string JoinPatternList(const std::vector<std::string>& patterns);

// Which list a name belongs to; it decides the wording of the messages.
enum class PatternListKind { kProcess, kConnection };

// The message that refuses `name` as a row of the list, or nothing when the
// name is acceptable.
std::optional<std::string> PatternNameProblem(const std::string& name, PatternListKind kind);

// The bounds of the reminder's auto-close time.
inline constexpr std::uint32_t kAutoCloseTimeMin = 0;
inline constexpr std::uint32_t kAutoCloseTimeMax = 9999;

// What one change of the auto-close field leads to.
struct AutoCloseFieldCheck {
  std::string message;                  // shown first when not empty
  std::uint32_t value = 0;              // the value the page holds afterwards
  std::optional<std::string> fieldText;  // put back into the field when set
};

// Reads `text` the way the page's validation does: an integer within the
// bounds becomes the held value; other text keeps `held` and the field is
// given the held value back, so that it never shows what will not be
// saved; a number out of bounds (or 0) leaves 0 in both.
AutoCloseFieldCheck CheckAutoCloseText(const std::string& text, std::uint32_t held);

// The scratch section of the reminder test.
inline constexpr char kTestSection[] = "Temp";

// Removes the scratch section with everything below it; a section that is
// already gone is no failure. Other failures throw
// DataSystem::RegistryException code 5.
void DeleteTestSection();

}  // namespace Vesperon
