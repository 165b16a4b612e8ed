#include "actions/ActionPageRules.h"

#include "platform/Services.h"
#include "settings/SettingsKey.h"
#include "settings/StoreExceptions.h"

namespace Vesperon {

std::string JoinPatternList(const std::vector<std::string>& patterns) {
  std::string text;
  for (const std::string& pattern : patterns) text += pattern + "|";
  return text;
}

std::optional<std::string> PatternNameProblem(const std::string& name, PatternListKind kind) {
  const std::string subject = kind == PatternListKind::kProcess ? "Process" : "Connection";
  if (name.empty()) return subject + " name cannot be empty.";
  if (name.find_first_of(kForbiddenPatternCharacters) == std::string::npos) return std::nullopt;
  std::string message = subject + " name cannot contain any of the following characters:\n";
  for (const char* c = kForbiddenPatternCharacters; *c; ++c) (message += ' ') += *c;
  return message;
}

namespace {

enum class NumberText { kNotANumber, kInRange, kOutOfRange };

// An integer is an optional sign and at least one digit, with blanks allowed
// around it; a number of any length is an integer, however far out of range.
NumberText ReadAutoCloseNumber(const std::string& text, std::uint32_t& value) {
  std::size_t begin = text.find_first_not_of(" \t");
  if (begin == std::string::npos) return NumberText::kNotANumber;
  const std::size_t end = text.find_last_not_of(" \t") + 1;
  bool negative = false;
  if (text[begin] == '-' || text[begin] == '+') negative = text[begin++] == '-';
  if (begin == end) return NumberText::kNotANumber;
  std::uint64_t number = 0;
  bool tooBig = false;
  for (std::size_t i = begin; i < end; ++i) {
    if (text[i] < '0' || text[i] > '9') return NumberText::kNotANumber;
    number = number * 10 + static_cast<std::uint64_t>(text[i] - '0');
    if (number > kAutoCloseTimeMax) {
      tooBig = true;
      number = kAutoCloseTimeMax + 1;  // no overflow however many digits follow
    }
  }
  if (tooBig || (negative && number != 0)) return NumberText::kOutOfRange;
  value = static_cast<std::uint32_t>(number);
  return NumberText::kInRange;
}

}  // namespace

AutoCloseFieldCheck CheckAutoCloseText(const std::string& text, std::uint32_t held) {
  AutoCloseFieldCheck check;
  check.value = held;
  std::uint32_t number = 0;
  switch (ReadAutoCloseNumber(text, number)) {
    case NumberText::kNotANumber:
      check.message = "Please enter an integer.";
      check.fieldText = std::to_string(held);
      break;
    case NumberText::kOutOfRange:
      check.message = "Please enter an integer between " + std::to_string(kAutoCloseTimeMin) +
                      " and " + std::to_string(kAutoCloseTimeMax) + ".";
      check.value = kAutoCloseTimeMax + 1;
      break;
    case NumberText::kInRange:
      check.value = number;
      break;
  }
  if (check.value == 0 || check.value > kAutoCloseTimeMax) {
    check.value = 0;
    if (text != "0") check.fieldText = "0";
  }
  return check;
}

void DeleteTestSection() {
  const long result = platform::Registry().DeleteTree(
      platform::kCurrentUser, DataSystem::JoinKeyPath(DataSystem::RootKeyPath, kTestSection));
  if (result != platform::kOk && result != platform::kErrorFileNotFound)
    throw DataSystem::RegistryException(DataSystem::RegistryException::kDeleteTree);
}

}  // namespace Vesperon
