#pragma once
// Language files: plain text files "<language>.ldf" in the folder
// "Localization" beside the program, holding numbered string sets of
// numbered texts. The provider lists the languages and loads one string set
// of the current language, reading the file from the start every time.
//
//   LOCALIZATION DATA FILE - FORMAT V0.1      (any case, nothing else)
//   STRINGSET 0003                            (any separator, 4 digits)
//   ; a comment                               (only inside a set)
//   0010 Language                             (4 digits, separator, text)
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "model/Exception.h"
#include "platform/FileSystem.h"

namespace Vesperon {

// The decimal parser's failure: the text was not 1 to 19 digits.
class NumberParseException : public Exception {
 public:
  NumberParseException() : Exception(0, kCategoryUtilities) {}
};

// A language file that breaks the format; `detail` is the line number.
class LocalizationException : public Exception {
 public:
  enum Code : std::int32_t {
    kBadHeader = 0,          // empty file or a wrong first line (detail 1)
    kBadSetNumberSize = 1,   // a set line whose number is not 4 characters
    kBadNumber = 2,          // a number that is not all digits (inner set),
                             // or an entry line under 5 characters
    kSetNotFound = 3,        // detail: the number of lines of the file
  };
  LocalizationException(std::int32_t code, std::int32_t line)
      : Exception(code, kCategoryLocalization, line) {}
};

// A file that cannot be opened; `code` is the system's error code. It is
// not one of the program's own failure classes (category 0).
class FileOpenException : public Exception {
 public:
  explicit FileOpenException(std::int32_t systemError) : Exception(systemError, 0) {}
};

// 1 to 19 characters, all decimal digits; anything else (a sign, a blank,
// nothing) throws NumberParseException.
std::uint64_t ParseDecimal(std::string_view text);

class IStringSet {
 public:
  virtual ~IStringSet() = default;
  // Appends an entry; an id may occur more than once.
  virtual void AddString(const std::int32_t& id, const std::string& text) = 0;
  // Removes the first entry with the id; an unknown id changes nothing.
  virtual void RemoveString(const std::int32_t& id) = 0;
  // The text of the first entry with the id; none throws SystemException
  // code 4.
  virtual std::string GetString(const std::int32_t& id) = 0;
  virtual void SetSetId(const std::int32_t& number) = 0;
  virtual std::int32_t GetSetId() = 0;
};

// Code of the SystemException of a text missing from a set.
inline constexpr std::int32_t kStringNotInSet = 4;

class StringSet final : public IStringSet {
 public:
  void AddString(const std::int32_t& id, const std::string& text) override;
  void RemoveString(const std::int32_t& id) override;
  std::string GetString(const std::int32_t& id) override;
  void SetSetId(const std::int32_t& number) override { number_ = number; }
  std::int32_t GetSetId() override { return number_; }

  // The entries in file order: {text, id}.
  const std::vector<std::pair<std::string, std::int32_t>>& Entries() const { return entries_; }

 private:
  std::int32_t number_ = 0;
  std::vector<std::pair<std::string, std::int32_t>> entries_;
};

class ILocalizationProvider {
 public:
  virtual ~ILocalizationProvider() = default;
  virtual StringSet LoadStringSet(const std::int32_t& number) = 0;
  // Takes effect at the next load.
  virtual void SetLanguage(const std::string& name) = 0;
  virtual std::string GetLanguage() = 0;
  // The languages of the folder: the names of its "*.ldf" files without
  // the extension, in the file system's order.
  virtual void ListLanguages(std::vector<std::string>& languages) = 0;
};

class LocalizationProvider final : public ILocalizationProvider {
 public:
  LocalizationProvider(std::string folder, std::string language)
      : folder_(std::move(folder)), language_(std::move(language)) {}

  // Reads the current language's file from its start. A file that cannot
  // be opened throws FileOpenException, a format error
  // LocalizationException; after a failure the file stays open (and
  // closed to writers) until the next load.
  StringSet LoadStringSet(const std::int32_t& number) override;
  void SetLanguage(const std::string& name) override { language_ = name; }
  std::string GetLanguage() override { return language_; }
  void ListLanguages(std::vector<std::string>& languages) override;

  // folder\language.ldf
  std::string LanguageFilePath() const;
  const std::string& Folder() const { return folder_; }

 private:
  std::unique_ptr<platform::ITextFile> file_;
  std::string folder_;
  std::string language_;
};

// The process's provider, made on the first call: the folder "Localization"
// beside the program and the language stored in Lang at that moment. A
// language chosen later applies from the next start.
LocalizationProvider* GetLocalizationProvider();

// What the user is told when string set `set` of the language file at
// `path` cannot be used: `failure` is what loading it (or looking up text
// `missingId` in it) threw.
std::string LanguageFileFailureText(const Exception& failure, const std::string& path,
                                    std::int32_t set, std::int32_t missingId = -1);

}  // namespace Vesperon
