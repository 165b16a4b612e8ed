// The main window's number fields, switches and failure captions.
#include <gtest/gtest.h>

#include <limits>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "app/DisplayScale.h"
#include "app/MainWindowRules.h"
#include "settings/StoreExceptions.h"
#include "tests/support/FakeOsVersion.h"

namespace {

using namespace Vesperon;

constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max(), kMin = -kMax - 1;

// The editor of each listed kind: MainWindowE2eTest, in the running program.
TEST(KindEditorTest, OnlyTheCountdownUsesItsFormatAndUnlistedKindsShowNothing) {
  EXPECT_TRUE(EditorForKind(1).countdownFormat && !EditorForKind(0).countdownFormat);
  for (std::int32_t kind : {-1, 7}) {
    const KindEditor e = EditorForKind(kind);
    EXPECT_FALSE(e.date || e.time || e.number || e.weekday || e.process || e.countdownFormat) << kind;
    EXPECT_EQ(std::string(e.upperLabel) + e.lowerLabel, "");
  }
}

TEST(KindEditorTest, TimeFieldYieldsOnlyTheSecondsItShows) {
  const std::pair<const char*, std::int32_t> formats[] = {
      {"h:mm:ss tt", 30}, {"HH:mm:ss", 30}, {"H.mm.s", 30},  {kCountdownTimeFormat, 30},
      {"h:mm tt", 0},     {"HH:mm", 0},     {"HH:mm' Uhr'", 0}, {"HH:mm 'ss'", 0},
      {"HH:mm '' ss", 30}, {"", 0},
  };
  for (const auto& [format, expected] : formats) EXPECT_EQ(VisibleSeconds(format, 30), expected) << format;
}

TEST(NumberFieldTest, EditsAreReadClampedOrRefused) {
  // The kind, the text typed, the value before; the value after and whether the text was refused.
  const std::tuple<std::int32_t, const char*, std::int32_t, std::int32_t, bool> rows[] = {
      {1, "-3", 5, 0, false},
      {4, "32", 5, 31, false},
      {1, "99999999999999999999", 5, 100000, false},  // beyond 64 bits too
      {2, "123456", 5, 123456, false},                // other kinds keep it
      {2, "2147483648", 5, kMax, false},
      {2, " 42 ", 5, 42, false},
      {1, "", 7, 7, true},
      {4, "1a", 9, 9, true},
  };
  for (const auto& [kind, text, previous, value, rejected] : rows) {
    const NumberFieldResult result = NumberAfterEdit(kind, text, previous);
    EXPECT_EQ(std::pair(result.value, result.rejected), std::pair(value, rejected)) << kind << " " << text;
  }
}

TEST(NumberFieldTest, ArrowsStepByOneWithinTheRange) {
  using Int = std::int32_t;
  const std::tuple<Int, Int, Int, Int> rows[] = {  // kind, current, step, after
      // The up-down's default range is inverted: the up arrow reports -1.
      {1, 10, -1, 11}, {1, 10, 1, 9}, {1, 0, 1, 0}, {1, 100000, -1, 100000}, {4, 40, 1, 31},
      {2, kMax, -1, kMax}, {2, kMin, 1, kMin},  // no wrap-around at the ends of the 32-bit range
  };
  for (const auto& [kind, current, step, after] : rows) {
    EXPECT_EQ(NumberAfterArrow(kind, current, step), after) << kind << " " << current << " " << step;
  }
}

TEST(ProcessFieldTest, EachRunningProgramIsOfferedOnce) {
  using Names = std::vector<std::string>;
  const std::pair<Names, Names> rows[] = {
      {{"explorer.exe", "a.exe", "explorer.exe"}, {"explorer.exe", "a.exe"}},
      {{"Note.EXE", "note.exe", "b.exe"}, {"Note.EXE", "b.exe"}},
      {{}, {}},
  };
  for (const auto& [running, offered] : rows) EXPECT_EQ(ProcessFieldNames(running), offered);
}

TEST(StartupSwitchTest, OnlyTheAutomationSwitchesCount) {
  using enum StartupSwitch;
  const std::pair<const char*, StartupSwitch> rows[] = {
      {"", None}, {"-regserver", Register}, {"/UNREGISTER", Unregister}, {"-Automation", Automation},
      {"Register", None},  // no switch character
      {"/Registered", None}, {"foo.txt  /register", Register},
  };
  for (const auto& [line, expected] : rows) EXPECT_EQ(ParseStartupSwitch(line), expected) << line;
}

TEST(FailureTextTest, CaptionFollowsTheClassAndFailuresAUserCausesSayWhatToDoWithTheNumbersLast) {
  EXPECT_STREQ(FailureCaption(DataSystem::RegistryException(3)), "Registry Error");
  EXPECT_STREQ(FailureCaption(SystemException(2)), "General Error");
  EXPECT_STREQ(FailureCaption(DataSystem::DataSystemException(1)), "Other Error");
  EXPECT_EQ(FailureText(DataSystem::RegistryException(3)), "The operation failed (category 1, code 3).");
  const std::pair<Exception, const char*> rows[] = {
      {DataSystem::RegistryException(10), "The file is not a profile file"},
      {DataSystem::RegistryException(6), "choose a shorter one"},
      {DataSystem::DataSystemException(2), "may not be empty, blank"},
  };
  for (const auto& [failure, words] : rows) {
    const std::string text = FailureText(failure);
    EXPECT_NE(text.find(words), std::string::npos) << text;
    const std::string numbers = "(category " + std::to_string(failure.category) + ", code " +
                                std::to_string(failure.code) + ")";
    EXPECT_EQ(text.substr(text.size() - numbers.size()), numbers) << text;
  }
}

TEST(SystemInfoTest, ProgramByWindowsVersion) {
  using namespace testing_support;
  const std::pair<platform::OsVersionRecord, const char*> rows[] = {
      {kWin95, ""}, {kWin98, "Msinfo32.exe"}, {kNT4, "Winmsd.exe"}, {kWin2000, "Msinfo32.exe"}};
  for (const auto& [os, program] : rows) {
    FakeOsVersion fake(os);
    EXPECT_STREQ(SystemInfoProgram(), program);
  }
}

TEST(DisplayScaleTest, ColumnWidthsGrowWithTheScreensDpi) {
  const struct {
    int pixels, dpi, scaled;
  } rows[] = {
      {111, 96, 111},  {111, 144, 167}, {50, 144, 75},  {120, 120, 150}, {125, 192, 250},
      {143, 168, 250}, {75, 144, 113},  {105, 72, 79},  {200, 0, 200},   {200, -1, 200},
      {0, 144, 0},     {-3, 144, -5},
  };
  for (const auto& r : rows) EXPECT_EQ(ScaleToDpi(r.pixels, r.dpi), r.scaled) << r.pixels << " at " << r.dpi;
}

}  // namespace
