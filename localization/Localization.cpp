#include "localization/Localization.h"

#include <algorithm>
#include <cctype>

#include "settings/SettingSchema.h"
#include "settings/SettingsKey.h"
#include "model/ModulePath.h"
#include "settings/SettingsRecords.h"
#include "settings/SettingsStore.h"

namespace Vesperon {
namespace {

constexpr char kHeader[] = "LOCALIZATION DATA FILE - FORMAT V0.1";
constexpr char kSetMark[] = "STRINGSET";
constexpr std::size_t kSetMarkSize = sizeof kSetMark - 1;
constexpr std::size_t kSetNumberAt = kSetMarkSize + 1;  // after one separator
constexpr std::size_t kNumberSize = 4;
constexpr std::size_t kTextAt = kNumberSize + 1;
constexpr char kExtension[] = "ldf";

std::string UpperCased(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(),
                 [](char c) { return static_cast<char>(std::toupper(static_cast<unsigned char>(c))); });
  return text;
}

bool IsSetLine(const std::string& line) {
  return line.size() >= kSetMarkSize && UpperCased(line.substr(0, kSetMarkSize)) == kSetMark;
}

// A number field of the file; the parser's failure becomes code 2 of the
// line, wrapping it.
std::int32_t FieldNumber(std::string_view field, std::int32_t line) {
  try {
    return static_cast<std::int32_t>(ParseDecimal(field));
  } catch (const NumberParseException& failure) {
    LocalizationException wrapped(LocalizationException::kBadNumber, line);
    wrapped.inner = std::make_shared<NumberParseException>(failure);
    throw wrapped;
  }
}

}  // namespace

std::uint64_t ParseDecimal(std::string_view text) {
  if (text.empty() || text.size() > 19) throw NumberParseException();
  std::uint64_t value = 0;
  for (char c : text) {
    if (c < '0' || c > '9') throw NumberParseException();
    value = value * 10 + static_cast<std::uint64_t>(c - '0');
  }
  return value;
}

void StringSet::AddString(const std::int32_t& id, const std::string& text) {
  entries_.emplace_back(text, id);
}

void StringSet::RemoveString(const std::int32_t& id) {
  const auto found = std::find_if(entries_.begin(), entries_.end(),
                                  [&](const auto& entry) { return entry.second == id; });
  if (found != entries_.end()) entries_.erase(found);
}

std::string StringSet::GetString(const std::int32_t& id) {
  for (const auto& entry : entries_)
    if (entry.second == id) return entry.first;
  throw SystemException(kStringNotInSet);
}

std::string LocalizationProvider::LanguageFilePath() const {
  return folder_ + "\\" + language_ + "." + kExtension;
}

StringSet LocalizationProvider::LoadStringSet(const std::int32_t& number) {
  file_.reset();
  std::uint32_t error = 0;
  file_ = platform::FileSystem().OpenTextFile(LanguageFilePath(), error);
  if (!file_) throw FileOpenException(static_cast<std::int32_t>(error));

  std::int32_t counter = 1;
  std::string line;
  if (!file_->ReadLine(line) || UpperCased(line) != kHeader)
    throw LocalizationException(LocalizationException::kBadHeader, 1);

  // Find the set; lines outside sets are not looked at.
  for (;;) {
    if (!file_->ReadLine(line)) throw LocalizationException(LocalizationException::kSetNotFound, counter);
    ++counter;
    if (!IsSetLine(line)) continue;
    const std::string field = line.size() > kSetNumberAt ? line.substr(kSetNumberAt) : std::string();
    if (field.size() != kNumberSize)
      throw LocalizationException(LocalizationException::kBadSetNumberSize, counter);
    if (FieldNumber(field, counter) == number) break;
  }

  StringSet set;
  set.SetSetId(number);
  for (;;) {
    if (!file_->ReadLine(line)) break;
    ++counter;
    if (!line.empty() && line[0] == ';') continue;
    if (IsSetLine(line)) break;
    if (line.size() < kTextAt) throw LocalizationException(LocalizationException::kBadNumber, counter);
    set.AddString(FieldNumber(std::string_view(line).substr(0, kNumberSize), counter), line.substr(kTextAt));
  }
  file_.reset();
  return set;
}

void LocalizationProvider::ListLanguages(std::vector<std::string>& languages) {
  languages.clear();
  const std::string suffix = std::string(".") + kExtension;
  for (const std::string& name : platform::FileSystem().FindFiles(folder_ + "\\*" + suffix)) {
    // FindFirstFileA also matches "x.ldfx" through its short name "X~1.LDF";
    // such a file is no language this provider could open.
    if (name.size() <= suffix.size() ||
        UpperCased(name.substr(name.size() - suffix.size())) != UpperCased(suffix))
      continue;
    languages.push_back(name.substr(0, name.size() - suffix.size()));
  }
}

LocalizationProvider* GetLocalizationProvider() {
  static LocalizationProvider* provider = [] {
    return new LocalizationProvider(GetModuleDirectory() + "\\Localization",
                                    DataSystem::ReadText(DataSystem::kLang, "Global"));
  }();
  return provider;
}

std::string LanguageFileFailureText(const Exception& failure, const std::string& path,
                                    std::int32_t set, std::int32_t missingId) {
  const std::string file = "The language file \"" + path + "\"";
  const std::string line = "line " + std::to_string(failure.detail);
  if (dynamic_cast<const FileOpenException*>(&failure))
    return file + " cannot be opened (system error " + std::to_string(failure.code) + ").";
  if (dynamic_cast<const LocalizationException*>(&failure)) {
    switch (failure.code) {
      case LocalizationException::kBadHeader:
        return file + " does not begin with the line \"" + kHeader + "\".";
      case LocalizationException::kBadSetNumberSize:
        return file + " is damaged at " + line +
               ": a string set line needs exactly four digits after \"STRINGSET\" and one separator.";
      case LocalizationException::kBadNumber:
        return file + " is damaged at " + line +
               ": a number is not four decimal digits, or a text line is shorter than five characters.";
      case LocalizationException::kSetNotFound:
        return file + " has no string set " + std::to_string(set) + " (it ends at " + line + ").";
      default:
        break;
    }
  }
  if (dynamic_cast<const SystemException*>(&failure) && failure.code == kStringNotInSet && missingId >= 0)
    return file + " has no text " + std::to_string(missingId) + " in string set " + std::to_string(set) + ".";
  return file + " cannot be used (category " + std::to_string(failure.category) + ", code " +
         std::to_string(failure.code) + ").";
}

}  // namespace Vesperon
