// The action and profile pages' decisions that need no window.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <tuple>
#include <vector>

#include "actions/ActionPageRules.h"
#include "actions/ProcessList.h"
#include "settings/ProfilesPageRules.h"
#include "platform/Services.h"
#include "tests/support/GermanDateText.h"

using namespace Vesperon;

namespace {

TEST(ActionPageRules, PatternListsRoundTripThroughTheStoredText) {
  const std::pair<std::vector<std::string>, std::string> cases[] = {
      {{}, ""},
      {{"NOTEPAD.EXE", "calc*.exe"}, "NOTEPAD.EXE|calc*.exe|"},
      {{" spaced ", "?"}, " spaced |?|"},
  };
  for (const auto& [rows, stored] : cases) {
    EXPECT_EQ(JoinPatternList(rows), stored);
    EXPECT_EQ(SplitPatternList(stored), rows) << stored;
  }
}

TEST(ActionPageRules, NamesAreRefusedWithTheMessageOfTheirList) {
  const std::string processForbidden =
      "Process name cannot contain any of the following characters:\n \\ / : \" < > |";
  const std::string connectionForbidden =
      "Connection name cannot contain any of the following characters:\n \\ / : \" < > |";
  const std::tuple<std::string, PatternListKind, std::optional<std::string>> cases[] = {
      {"", PatternListKind::kProcess, "Process name cannot be empty."},
      {"", PatternListKind::kConnection, "Connection name cannot be empty."},
      {" ", PatternListKind::kProcess, std::nullopt},
      {"C:\\x.exe", PatternListKind::kProcess, processForbidden},
      {"two|rows", PatternListKind::kConnection, connectionForbidden},
      {"[ProcessName]", PatternListKind::kProcess, std::nullopt},
  };
  for (const auto& [name, kind, problem] : cases) {
    EXPECT_EQ(PatternNameProblem(name, kind), problem) << name;
  }
}

TEST(ActionPageRules, AutoCloseFieldKeepsOnlyTimesWithinRange) {
  const std::string notInteger = "Please enter an integer.";
  const std::string outOfRange = "Please enter an integer between 0 and 9999.";
  // The text typed, the value held; the message, the value and the text the field is given.
  const std::tuple<std::string, std::uint32_t, std::string, std::uint32_t, std::optional<std::string>>
      cases[] = {
      {"9999", 1, "", 9999, std::nullopt},
      {"10000", 5, outOfRange, 0, "0"},
      {"99999999999999999999999", 5, outOfRange, 0, "0"},
      {"-3", 5, outOfRange, 0, "0"},
      {"00", 5, "", 0, "0"},
      {"", 7, notInteger, 7, "7"},
      {"-", 7, notInteger, 7, "7"},
  };
  for (const auto& [text, held, message, value, fieldText] : cases) {
    const AutoCloseFieldCheck check = CheckAutoCloseText(text, held);
    EXPECT_EQ(std::tie(check.message, check.value, check.fieldText),
              std::tie(message, value, fieldText)) << text;
  }
}

TEST(ProfilesPageRules, ButtonsFollowTheRowTheNotificationNames) {
  // A row, its name and its active mark, the browser; copy, rename, remove, setActive.
  const std::tuple<bool, const char*, const char*, double, ProfileButtons> cases[] = {
      // Default and Work as the page shows them: ProfilesPageE2eTest.
      {true, "Default", "Active", 6.0, {true, false, false, false}},
      {true, "default", "", 6.0, {true, true, true, true}},  // exact comparison
      {false, "", "", 6.0, {true, false, false, false}},
      {true, "Work", "", 4.72, {false, false, true, true}},  // no key copy before 5.0
      {true, "Work", "", 5.0, {true, true, true, true}},
  };
  for (const auto& [hasItem, name, active, browser, expected] : cases) {
    EXPECT_EQ(ProfileButtonsFor(hasItem, name, active, browser), expected)
        << name << " " << active << " " << browser;
  }
}

TEST(ProfilesPageRules, AnImportedFileSuggestsItsBareName) {
  const std::pair<const char*, const char*> cases[] = {
      {"C:\\my.folder\\profile", ""},  // the dot of a folder does not count
      {"C:\\backup\\two.dots.pfl", "two.dots"},
      {"C:\\backup\\.pfl", ""},
      {"Z:/wine/style.PFL", "style"},
  };
  for (const auto& [path, expected] : cases) EXPECT_EQ(SuggestedProfileName(path), expected) << path;
}

TEST(ProfilesPageRules, TheNameDialogRefusesTakenEmptyNestedAndUnstorableNames) {
  // "??????" is what an earlier version stored for a Cyrillic name.
  const std::vector<std::string> taken{"Default", "Work", "??????"};
  const std::tuple<std::u16string, NameProblem, std::string> cases[] = {
      {u"work", NameProblem::kNone, "work"},   {u"", NameProblem::kEmpty, ""},
      {u"   ", NameProblem::kEmpty, ""},        {u"A\\B", NameProblem::kBackslash, ""},
      {u"Work ", NameProblem::kNone, "Work "},  {u"B\u00FCro \u20AC", NameProblem::kNone, "B\xFCro \x80"},
      {u"Work", NameProblem::kForbidden, ""},
      {u"\u0420\u0430\u0431\u043E\u0442\u0430", NameProblem::kUnstorable, ""},
      {u"Work \u0100", NameProblem::kUnstorable, ""},  // no best-fit "A"
  };
  for (const auto& [typed, problem, expected] : cases) {
    std::string stored = "untouched";
    EXPECT_EQ(CheckProfileName(typed, taken, stored), problem) << expected;
    EXPECT_EQ(stored, problem == NameProblem::kNone ? expected : "untouched") << expected;
  }
}

TEST(ProfilesPageRules, LastModifiedUsesTheUsersDateAndTimeFormats) {
  const DateTime moment = MakeDateTime(2001, 2, 3, 16, 5, 6);
  testsupport::GermanDateText german;
  platform::ScopedDateText scoped(german);
  EXPECT_EQ(FormatLastModified(moment), "03.02.2001 - 16:05:06");
  EXPECT_EQ(FormatLastModified(DateTime(0, DateTimeStatus::Invalid)), "");
}

}  // namespace
