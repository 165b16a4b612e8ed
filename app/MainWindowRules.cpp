#include "app/MainWindowRules.h"

#include <cctype>
#include <limits>

#include "model/Trigger.h"
#include "settings/StoreExceptions.h"
#include "system/OsVersion.h"

namespace Vesperon {

KindEditor EditorForKind(std::int32_t kind) {
  KindEditor e;
  switch (kind) {
    case 0:
      e.date = e.time = true;
      e.upperLabel = "Date:";
      e.lowerLabel = "Time:";
      break;
    case 1:
      e.number = e.time = true;
      e.upperLabel = "Days:";
      e.lowerLabel = "Hours/Mins/S";
      e.countdownFormat = true;
      break;
    case 2:
      e.time = true;
      e.lowerLabel = "Time:";
      break;
    case 3:
      e.weekday = e.time = true;
      e.upperLabel = "Day of week:";
      e.lowerLabel = "Time:";
      break;
    case 4:
      e.number = e.time = true;
      e.upperLabel = "Day of month:";
      e.lowerLabel = "Time:";
      break;
    case 5:
      break;
    case 6:
      e.process = true;
      e.upperLabel = "Process:";
      break;
    default:
      break;
  }
  return e;
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

bool ParseNumberText(std::string_view text, std::int32_t& value) {
  std::size_t i = 0, end = text.size();
  auto blank = [](char c) { return std::isspace(static_cast<unsigned char>(c)) != 0; };
  while (i < end && blank(text[i])) ++i;
  while (end > i && blank(text[end - 1])) --end;
  bool negative = false;
  if (i < end && (text[i] == '-' || text[i] == '+')) negative = text[i++] == '-';
  if (i == end) return false;
  std::int64_t magnitude = 0;
  constexpr std::int64_t kCap = std::int64_t{1} << 40;  // far beyond 32 bits, no overflow
  for (; i < end; ++i) {
    if (text[i] < '0' || text[i] > '9') return false;
    magnitude = magnitude * 10 + (text[i] - '0');
    if (magnitude > kCap) magnitude = kCap;
  }
  const std::int64_t signedValue = negative ? -magnitude : magnitude;
  if (signedValue > std::numeric_limits<std::int32_t>::max()) {
    value = std::numeric_limits<std::int32_t>::max();
  } else if (signedValue < std::numeric_limits<std::int32_t>::min()) {
    value = std::numeric_limits<std::int32_t>::min();
  } else {
    value = static_cast<std::int32_t>(signedValue);
  }
  return true;
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
  return "The operation failed (category " + std::to_string(failure.category) + ", code " +
         std::to_string(failure.code) + ").";
}

const char* SystemInfoProgram() {
  if (IsOsVersionAtLeast(20, 120)) return "Msinfo32.exe";
  if (IsOsVersionAtLeast(0, 100)) return "Winmsd.exe";
  return "";
}

}  // namespace Vesperon
