// The action pages' decisions that need no window.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "actions/ActionPageRules.h"
#include "actions/ProcessList.h"
#include "settings/SettingsStore.h"
#include "tests/support/RegistryTestSupport.h"

using namespace Vesperon;

namespace {

TEST(ActionPageRules, PatternListsRoundTripThroughTheStoredText) {
  const struct {
    std::vector<std::string> rows;
    std::string stored;
  } cases[] = {
      {{}, ""},
      {{"*"}, "*|"},
      {{"NOTEPAD.EXE", "calc*.exe"}, "NOTEPAD.EXE|calc*.exe|"},
      {{" spaced ", "?"}, " spaced |?|"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(JoinPatternList(c.rows), c.stored);
    EXPECT_EQ(SplitPatternList(c.stored), c.rows) << c.stored;
  }
}

TEST(ActionPageRules, NamesAreRefusedWithTheMessageOfTheirList) {
  const std::string processForbidden =
      "Process name cannot contain any of the following characters:\n \\ / : \" < > |";
  const std::string connectionForbidden =
      "Connection name cannot contain any of the following characters:\n \\ / : \" < > |";
  const struct {
    std::string name;
    PatternListKind kind;
    std::optional<std::string> problem;
  } cases[] = {
      {"", PatternListKind::kProcess, "Process name cannot be empty."},
      {"", PatternListKind::kConnection, "Connection name cannot be empty."},
      {"NOTE*.EXE", PatternListKind::kProcess, std::nullopt},
      {" ", PatternListKind::kProcess, std::nullopt},
      {"C:\\x.exe", PatternListKind::kProcess, processForbidden},
      {"a/b", PatternListKind::kProcess, processForbidden},
      {"say \"hi\"", PatternListKind::kConnection, connectionForbidden},
      {"<dial>", PatternListKind::kConnection, connectionForbidden},
      {"two|rows", PatternListKind::kConnection, connectionForbidden},
      {"[ProcessName]", PatternListKind::kProcess, std::nullopt},
  };
  for (const auto& c : cases) EXPECT_EQ(PatternNameProblem(c.name, c.kind), c.problem) << c.name;
}

TEST(ActionPageRules, AutoCloseFieldKeepsOnlyTimesWithinRange) {
  const std::string notInteger = "Please enter an integer.";
  const std::string outOfRange = "Please enter an integer between 0 and 9999.";
  const struct {
    std::string text;
    std::uint32_t held;
    std::string message;
    std::uint32_t value;
    std::optional<std::string> fieldText;
  } cases[] = {
      {"9999", 1, "", 9999, std::nullopt},
      {" 42 ", 1, "", 42, std::nullopt},
      {"10000", 5, outOfRange, 0, "0"},
      {"99999999999999999999999", 5, outOfRange, 0, "0"},
      {"-3", 5, outOfRange, 0, "0"},
      {"00", 5, "", 0, "0"},
      {"", 7, notInteger, 7, "7"},
      {"12a", 7, notInteger, 7, "7"},
      {"-", 7, notInteger, 7, "7"},
  };
  for (const auto& c : cases) {
    const AutoCloseFieldCheck check = CheckAutoCloseText(c.text, c.held);
    EXPECT_EQ(check.message, c.message) << c.text;
    EXPECT_EQ(check.value, c.value) << c.text;
    EXPECT_EQ(check.fieldText, c.fieldText) << c.text;
  }
}

TEST(ActionPageRules, TestSectionGoesWithEverythingBelowIt) {
  testsupport::DeleteSettingsRoot();
  DataSystem::WriteStrings({DataSystem::kTxt}, {"scratch"}, kTestSection, DataSystem::kHiveCurrentUser);
  DataSystem::WriteStrings({DataSystem::kTxt}, {"kept"}, "Profiles\\Default", DataSystem::kHiveCurrentUser);
  ASSERT_TRUE(testsupport::KeyExists(testsupport::SettingsPath("Temp\\Reminder")));
  DeleteTestSection();
  EXPECT_FALSE(testsupport::KeyExists(testsupport::SettingsPath("Temp")));
  EXPECT_TRUE(testsupport::KeyExists(testsupport::SettingsPath("Profiles\\Default\\Reminder")));
  // Gone already: no failure.
  EXPECT_NO_THROW(DeleteTestSection());
  testsupport::DeleteSettingsRoot();
}

}  // namespace
