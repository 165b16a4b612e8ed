// Language files written into a folder of the test's own.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "localization/Localization.h"
#include "platform/Services.h"
#include "tests/support/Thrown.h"

using namespace Vesperon;
namespace fs = std::filesystem;

namespace {

constexpr char kHeader[] = "LOCALIZATION DATA FILE - FORMAT V0.1\n";

class LocalizationTest : public ::testing::Test {
 protected:
  LocalizationTest() {
    const ::testing::TestInfo* test = ::testing::UnitTest::GetInstance()->current_test_info();
    folder_ = fs::temp_directory_path() / (std::string("vesperon-l10n-") + test->name());
    fs::remove_all(folder_);
    fs::create_directories(folder_);
  }
  ~LocalizationTest() override {
    std::error_code ignored;
    fs::remove_all(folder_, ignored);
  }

  void Write(const std::string& name, const std::string& bytes) const {
    std::ofstream(folder_ / name, std::ios::binary) << bytes;
  }
  std::string Folder() const { return folder_.string(); }
  LocalizationProvider Provider(const std::string& language = "Test") const {
    return LocalizationProvider(Folder(), language);
  }

  fs::path folder_;
};

// The failure loading `set` as "code line", with " wrapped" when it wraps the
// number parser's failure; "loaded" when there is none.
std::string LoadFailure(LocalizationProvider& provider, std::int32_t set) {
  try {
    provider.LoadStringSet(set);
    return "loaded";
  } catch (const Exception& failure) {
    EXPECT_EQ(failure.category, kCategoryLocalization);
    const bool wrapped = dynamic_cast<const NumberParseException*>(failure.inner.get()) != nullptr;
    return std::to_string(failure.code) + " " + std::to_string(failure.detail) +
           (failure.inner ? (wrapped ? " wrapped" : " other") : "");
  }
}

TEST_F(LocalizationTest, EveryFormatFailureWithItsCodeAndLine) {
  struct Row {
    const char* what;
    std::string bytes;
    const char* failure;
    std::int32_t wanted = 3;
  };
  const std::string set3 = std::string(kHeader) + "STRINGSET 0003\n";
  const std::vector<Row> rows = {
      {"empty file", "", "0 1"},
      {"header with a trailing blank", "LOCALIZATION DATA FILE - FORMAT V0.1 \nSTRINGSET 0003\n", "0 1"},
      {"set number of one digit", std::string(kHeader) + "STRINGSET 3\n0001 a\n", "1 2"},
      {"set number with a trailing blank", std::string(kHeader) + "\n\nSTRINGSET 0003 \n", "1 4"},
      {"set line without number", std::string(kHeader) + "STRINGSET\n", "1 2"},
      {"set number with a letter", std::string(kHeader) + "STRINGSET 00A3\n", "2 2 wrapped"},
      {"set line passed over is parsed too", std::string(kHeader) + "STRINGSET 0001\n0001 a\nSTRINGSET 01\nSTRINGSET 0003\n", "1 4"},
      {"entry of four characters", set3 + "0010\n", "2 3"},
      {"entry id with a blank", set3 + " 010 Language\n", "2 3 wrapped"},
      {"wanted set absent", std::string(kHeader) + "STRINGSET 0001\n0001 a\nSTRINGSET 0003\n0001 b\n0002 c\n", "3 6", 9},
      {"wanted set absent, no final line break", std::string(kHeader) + "STRINGSET 0001\n0001 a", "3 3"},
      {"header only", kHeader, "3 1"},
  };
  for (const Row& row : rows) {
    Write("Test.ldf", row.bytes);
    LocalizationProvider provider = Provider();
    EXPECT_EQ(LoadFailure(provider, row.wanted), row.failure) << row.what;
  }
}

TEST_F(LocalizationTest, LoadsWhatTheFormatAllowsAndRemovesTheFirstOfAnId) {
  Write("Test.ldf",
        "localization data file - format v0.1\r\n"
        "0000 a line before any set is never looked at\r\n"
        "; nor is a comment there\r\n"
        "StringSet 0001\r\n"
        "0010 the wrong set\r\n"
        "stringset_0003\r\n"
        "0010 Language\r\n"
        "; a comment inside the set\r\n"
        "0011 \r\n"
        "0012   Two  Blanks \r\n"
        "0007 first\r\n"
        "0013\tTab separated\r\n"
        "0014x\xDC" "berblenden\r\n"
        "0007 second\r\n"
        "STRINGSET 0004\r\n"
        "0010 the next set\r\n"
        "0015 not reached");
  LocalizationProvider provider = Provider();
  StringSet set = provider.LoadStringSet(3);
  EXPECT_EQ(set.GetSetId(), 3);
  const std::vector<std::pair<std::string, std::int32_t>> expected = {
      {"Language", 10}, {"", 11}, {"  Two  Blanks ", 12}, {"first", 7},
      {"Tab separated", 13}, {"\xDC" "berblenden", 14}, {"second", 7}};
  EXPECT_EQ(set.Entries(), expected);
  EXPECT_EQ(set.GetString(7), "first");
  // A text of the next set is never taken.
  EXPECT_EQ(testing_support::CodeOf<SystemException>([&] { set.GetString(15); }, kCategorySystem), kStringNotInSet);
  // The last set of a file ends with the file.
  EXPECT_EQ(provider.LoadStringSet(4).Entries().size(), 2u);
  // Removing takes the first entry of an id and ignores unknown ids.
  set.RemoveString(7);
  set.RemoveString(42);
  EXPECT_EQ(set.Entries().size(), expected.size() - 1);
  EXPECT_EQ(set.Entries()[3], expected[4]);
  EXPECT_EQ(set.GetString(7), "second");
}

TEST_F(LocalizationTest, LanguageFileOpenAndSharing) {
  LocalizationProvider provider = Provider("Missing");
  // ERROR_FILE_NOT_FOUND and ENOENT alike.
  EXPECT_EQ(testing_support::CodeOf<FileOpenException>([&] { provider.LoadStringSet(3); }), 2);

  Write("Broken.ldf", "not a language file\n");
  Write("Good.ldf", std::string(kHeader) + "STRINGSET 0003\n0010 Language\n");
  provider.SetLanguage("Broken");
  EXPECT_EQ(LoadFailure(provider, 3), "0 1");
#ifdef _WIN32
  // After a failure the file stays open, closed to writers, until the next load.
  EXPECT_FALSE(std::ofstream(folder_ / "Broken.ldf", std::ios::app).is_open());
#endif
  provider.SetLanguage("Good");
  EXPECT_EQ(provider.GetLanguage(), "Good");
  EXPECT_EQ(provider.LoadStringSet(3).GetString(10), "Language");
  // A successful load closes its file.
  EXPECT_TRUE(std::ofstream(folder_ / "Broken.ldf", std::ios::app).is_open());
  EXPECT_TRUE(std::ofstream(folder_ / "Good.ldf", std::ios::app).is_open());
}

TEST_F(LocalizationTest, ListsTheLanguageFilesOfTheFolder) {
  Write("English.ldf", kHeader);
  Write("Deutsch.ldf", kHeader);
  Write("Backup.ldfx", kHeader);
  fs::create_directories(folder_ / "Folder.ldf");
  std::vector<std::string> languages = {"stale"};
  Provider().ListLanguages(languages);
  std::sort(languages.begin(), languages.end());
  EXPECT_EQ(languages, (std::vector<std::string>{"Deutsch", "English"}));

  LocalizationProvider(Folder() + "\\absent", "English").ListLanguages(languages);
  EXPECT_TRUE(languages.empty());
}

TEST_F(LocalizationTest, ReaderGivesTextModeLines) {
  const std::pair<std::string, std::vector<std::string>> rows[] = {
      {"\n\r\nc\n", {"", "", "c"}},           // LF, CR LF, empty lines kept
      {"a\rb\n", {"a\rb"}},                    // a lone CR inside a line
      {"a\nb\x1A" "c\nd\n", {"a", "b"}},  // Ctrl-Z ends the file
  };
  for (const auto& [bytes, expected] : rows) {
    // One byte per read, so that every split of a CR LF pair is met.
    std::size_t at = 0;
    platform::TextModeLines lines([&](char* buffer, std::size_t) {
      if (at == bytes.size()) return std::size_t{0};
      buffer[0] = bytes[at++];
      return std::size_t{1};
    });
    std::vector<std::string> got;
    for (std::string line; lines.Next(line);) got.push_back(line);
    EXPECT_EQ(got, expected) << testing::PrintToString(bytes);
  }
}

TEST_F(LocalizationTest, FailureTextsNameTheFileAndTheLine) {
  const std::string path = "C:\\Vesperon\\Localization\\Test.ldf";
  // Code, line, and what the text mentions. (An unopenable file and a missing text: AppearancePageE2eTest.)
  const std::tuple<std::int32_t, std::int32_t, std::vector<std::string>> rows[] = {
      {0, 1, {"LOCALIZATION DATA FILE - FORMAT V0.1"}},
      {1, 12, {"line 12", "STRINGSET"}},
      {2, 7, {"line 7", "four decimal digits"}},
      {3, 40, {"no string set 3", "line 40"}},
  };
  for (const auto& [code, line, mentions] : rows) {
    const std::string text = LanguageFileFailureText(LocalizationException(code, line), path, 3, -1);
    for (const std::string& part : mentions) EXPECT_NE(text.find(part), std::string::npos) << text;
    EXPECT_NE(text.find(path), std::string::npos) << text;
  }
}

}  // namespace
