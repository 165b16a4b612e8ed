#include "app/MainWindowRules.h"

#include <algorithm>
#include <cctype>
#include <limits>

#include "model/Trigger.h"
#include "settings/Profiles.h"
#include "settings/StoreExceptions.h"
#include "model/OsVersion.h"

namespace Vesperon {

KindEditor EditorForKind(std::int32_t kind) {
  KindEditor e;
  switch (kind) {
    case 0:
      e.date = e.time = true;
      e.upperLabel = "&Date:";
      e.lowerLabel = "T&ime:";
      break;
    case 1:
      e.number = e.time = true;
      e.upperLabel = "Da&ys:";
      e.lowerLabel = "Hours/&Mins/S";
      e.countdownFormat = true;
      break;
    case 2:
      e.time = true;
      e.lowerLabel = "T&ime:";
      break;
    case 3:
      e.weekday = e.time = true;
      e.upperLabel = "Day of &week:";
      e.lowerLabel = "T&ime:";
      break;
    case 4:
      e.number = e.time = true;
      e.upperLabel = "Day of mo&nth:";
      e.lowerLabel = "T&ime:";
      break;
    case 5:
      break;
    case 6:
      e.process = true;
      e.upperLabel = "Pro&cess:";
      break;
    default:
      break;
  }
  return e;
}

std::int32_t VisibleSeconds(std::string_view timeFormat, std::int32_t seconds) {
  bool quoted = false;
  for (const char c : timeFormat) {
    if (c == '\'') {
      quoted = !quoted;  // '' inside or outside quotes toggles twice: a literal quote
    } else if (!quoted && c == 's') {
      return seconds;
    }
  }
  return 0;
}

std::int32_t ClampNumber(std::int32_t kind, std::int64_t value) {
  std::int64_t low = std::numeric_limits<std::int32_t>::min();
  std::int64_t high = std::numeric_limits<std::int32_t>::max();
  if (kind == static_cast<std::int32_t>(TriggerKind::Countdown)) {
    low = 0;
    high = 100000;
  } else if (kind == static_cast<std::int32_t>(TriggerKind::Monthly)) {
    low = 1;
    high = 31;
  }
  if (value < low) return static_cast<std::int32_t>(low);
  if (value > high) return static_cast<std::int32_t>(high);
  return static_cast<std::int32_t>(value);
}

NumberFieldResult NumberAfterEdit(std::int32_t kind, std::string_view text,
                                  std::int32_t previous) {
  std::int32_t read = 0;
  if (!ParseNumberText(text, read)) return {previous, true};
  return {ClampNumber(kind, read), false};
}

std::int32_t NumberAfterArrow(std::int32_t kind, std::int32_t current, std::int32_t reportedStep) {
  return ClampNumber(kind, std::int64_t{current} - reportedStep);
}

std::vector<std::string> ProcessFieldNames(const std::vector<std::string>& running) {
  const auto upper = [](std::string text) {
    for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return text;
  };
  std::vector<std::string> names, seen;
  for (const std::string& name : running) {
    const std::string key = upper(name);
    if (std::find(seen.begin(), seen.end(), key) != seen.end()) continue;
    seen.push_back(key);
    names.push_back(name);
  }
  return names;
}

StartupSwitch ParseStartupSwitch(std::string_view commandLine) {
  StartupSwitch found = StartupSwitch::None;
  std::size_t i = 0;
  while (i < commandLine.size()) {
    while (i < commandLine.size() && commandLine[i] == ' ') ++i;
    std::size_t j = i;
    while (j < commandLine.size() && commandLine[j] != ' ') ++j;
    std::string word(commandLine.substr(i, j - i));
    i = j;
    if (word.size() < 2 || (word[0] != '/' && word[0] != '-')) continue;
    for (char& c : word) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    word.erase(0, 1);
    if (word == "register" || word == "regserver") found = StartupSwitch::Register;
    else if (word == "unregister" || word == "unregserver") found = StartupSwitch::Unregister;
    else if (word == "embedding") found = StartupSwitch::Embedding;
    else if (word == "automation") found = StartupSwitch::Automation;
  }
  return found;
}

const char* FailureCaption(const Exception& failure) {
  if (dynamic_cast<const DataSystem::RegistryException*>(&failure)) return "Registry Error";
  if (dynamic_cast<const SystemException*>(&failure)) return "General Error";
  return "Other Error";
}

std::string FailureText(const Exception& failure) {
  // The failures a user's own choice can cause say what went wrong and what
  // to do; the numbers stay at the end for support.
  struct Explained {
    std::int32_t category, code;
    const char* words;
  };
  static const Explained explained[] = {
      {kCategorySystem, DataSystem::RegistryException::kLoadKey,
       "The file is not a profile file or cannot be read. Choose a profile file saved with Export."},
      {kCategorySystem, DataSystem::RegistryException::kSaveKey,
       "The profile file could not be written. Choose a folder you may write to and a new file name."},
      {kCategorySystem, DataSystem::RegistryException::kSaveKeyIoOrExists,
       "The profile file could not be written. Choose a folder you may write to and a new file name."},
      {kCategorySystem, DataSystem::RegistryException::kCopyTree,
       "The profile could not be copied under that name. The name may be too long: choose a shorter one."},
      {kCategorySystem, DataSystem::RegistryException::kCreateKey,
       "The settings could not be stored. A name may be too long: choose a shorter one."},
      {kCategoryDataSystem, DataSystem::DataSystemException::kSourceProfileMissing,
       "The profile no longer exists. Close the options and open them again."},
      {kCategoryDataSystem, DataSystem::DataSystemException::kTargetProfileExists,
       "A profile of that name exists already. Choose another name."},
      {kCategoryDataSystem, DataSystem::kUnusableProfileName,
       "A profile name may not be empty, blank or contain a backslash. Choose another name."},
      {kCategoryDataSystem, DataSystem::kDefaultProfileKeepsName,
       "The \"Default\" profile keeps its name. Copy it under another name instead."},
  };
  const std::string numbers =
      "(category " + std::to_string(failure.category) + ", code " + std::to_string(failure.code) + ")";
  for (const Explained& e : explained) {
    if (e.category == failure.category && e.code == failure.code) return std::string(e.words) + " " + numbers;
  }
  return "The operation failed " + numbers + ".";
}

const char* SystemInfoProgram() {
  if (IsOsVersionAtLeast(20, 120)) return "Msinfo32.exe";
  if (IsOsVersionAtLeast(0, 100)) return "Winmsd.exe";
  return "";
}

}  // namespace Vesperon
