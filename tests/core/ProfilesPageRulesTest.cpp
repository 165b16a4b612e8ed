#include <gtest/gtest.h>

#include <clocale>

#include "settings/ProfilesPageRules.h"

namespace {

using namespace Vesperon;

TEST(ProfilesPageRules, ButtonsFollowTheRowTheNotificationNames) {
  struct Case {
    bool hasItem;
    const char* name;
    const char* active;
    double browser;
    ProfileButtons expected;  // copy, rename, remove, setActive
  } cases[] = {
      // Default and Work as the page shows them: ProfilesPageE2eTest.
      {true, "Default", "Active", 6.0, {true, false, false, false}},
      {true, "default", "", 6.0, {true, true, true, true}},  // exact comparison
      {false, "", "", 6.0, {true, false, false, false}},
      {true, "Work", "", 4.72, {false, false, true, true}},  // no key copy before 5.0
      {true, "Work", "", 5.0, {true, true, true, true}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ProfileButtonsFor(c.hasItem, c.name, c.active, c.browser), c.expected)
        << c.name << " " << c.active << " " << c.browser;
  }
}

TEST(ProfilesPageRules, AnImportedFileSuggestsItsBareName) {
  const std::pair<const char*, const char*> cases[] = {
      {"C:\\backup\\home.pfl", "home"},
      {"C:\\backup\\profile", ""},
      {"C:\\my.folder\\profile", ""},  // the dot of a folder does not count
      {"C:\\backup\\two.dots.pfl", "two.dots"},
      {"C:\\backup\\.pfl", ""},
      {"Z:/wine/style.PFL", "style"},
      {"plain.pfl", "plain"},
  };
  for (const auto& [path, expected] : cases) EXPECT_EQ(SuggestedProfileName(path), expected) << path;
}

TEST(ProfilesPageRules, TheNameDialogRefusesTakenEmptyAndNestedNames) {
  const std::vector<std::string> taken{"Default", "Work"};
  const std::pair<const char*, NameProblem> cases[] = {
      {"Work", NameProblem::kForbidden},  {"work", NameProblem::kNone},
      {"Home", NameProblem::kNone},       {"", NameProblem::kEmpty},
      {"A\\B", NameProblem::kBackslash},  {"Work ", NameProblem::kNone},
  };
  for (const auto& [text, expected] : cases) EXPECT_EQ(CheckProfileName(text, taken), expected) << text;
}

TEST(ProfilesPageRules, LastModifiedUsesTheLocaleDateAndTime) {
  std::setlocale(LC_TIME, "C");
  EXPECT_EQ(FormatLastModified(MakeDateTime(2026, 12, 6, 22, 50, 1)), "12/06/26 - 22:50:01");
  EXPECT_EQ(FormatLastModified(MakeDateTime(2001, 2, 3, 4, 5, 6)), "02/03/01 - 04:05:06");
}

}  // namespace
