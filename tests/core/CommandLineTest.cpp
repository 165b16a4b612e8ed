// The command line a script or a shortcut passes, read into one request.
#include <gtest/gtest.h>

#include <string>

#include "app/CommandLine.h"
#include "tests/support/FakeOsVersion.h"

namespace {

using namespace Vesperon;
using namespace testing_support;

// The request in one line: the flags, then profile, action and trigger
// (kind, moment for the timed kinds, then the number, weekday and process
// that are set); "! problem" for bad input.
std::string Describe(const CommandParse& parse) {
  if (!parse.ok) return "! " + parse.problem;
  const CommandRequest& r = parse.request;
  std::string d;
  auto add = [&d](bool on, const std::string& word) {
    if (on) d += (d.empty() ? "" : " ") + word;
  };
  add(r.usage, "?");
  add(r.show, "show");
  add(r.execute, "execute");
  add(r.cancel, "cancel");
  add(r.exit, "exit");
  add(r.profile.has_value(), "profile=" + r.profile.value_or(""));
  add(r.action.has_value(), "action=" + std::to_string(r.action.value_or(-1)));
  if (!r.trigger) return d;
  const CommandTrigger& t = *r.trigger;
  add(true, "k" + std::to_string(t.kind));
  add(t.kind <= 4, FormatDateTime(t.dateTime, "%Y-%m-%d %H:%M:%S"));
  add(t.number != 0, "n" + std::to_string(t.number));
  add(t.weekdayIndex != 0, "w" + std::to_string(t.weekdayIndex));
  add(!t.processText.empty(), "p" + t.processText);
  return d;
}

TEST(CommandLineTest, SwitchesAreReadIntoOneRequestOrRefused) {
  struct Row {
    const char* line;
    const char* expected;  // "! " then a part of the problem line for bad input
    platform::OsVersionRecord os = kWinXP;
  } const rows[] = {
      {"any words \"in quotes\" / -", ""},
      {"/nonsense /show -? /countdown", "?"},
      {"-SHOW words", "show"},
      {"\t\"/show\"\t", "show"},
      {"/automation /show -Embedding /REGSERVER /unregister -register /unregserver", "show"},
      {"/bogus", "! no switch \"/bogus\""},
      {"/show -show", "! /show is given twice"},
      // Actions by name or number, offered on this Windows.
      {"-Action \"turn OFF\"", "action=0"},
      {"/action 17", "! not offered"},
      {"/action 18", "! no action \"18\""},
      {"/action -1", "! /action needs a value"},
      {"/action", "! /action needs a value"},
      {"/action \"Lock / Switch user\"", "action=7"},
      {"/action Lock", "action=7", kServer2003},
      {"/action \"Turn off\"", "! not offered", kNT351},
      // Triggers; `now` is Monday 2026-12-07 12:00:00.
      {"/action Reminder /countdown 00:30:00", "action=4 k1 2026-12-07 00:30:00"},
      {"/countdown 100000.23:59:59", "k1 2026-12-07 23:59:59 n100000"},
      {"/countdown 100001.00:00:00", "! no countdown"},
      {"/countdown 0.00:30", "! no countdown"},
      {"/countdown .00:00:01", "! no countdown"},
      {"/countdown 24:00:00", "! no countdown"},
      {"/countdown 00:60:00", "! no countdown"},
      {"/countdown 00:5:00", "! no countdown"},
      {"/countdown /show", "! /countdown needs a value"},
      {"/at 12:00:01", "k0 2026-12-07 12:00:01"},
      {"/at 12:00", "k0 2026-12-08 12:00:00"},
      {"/at 2028-02-29 7:00", "k0 2028-02-29 07:00:00"},
      {"/at 2027-02-30 07:00", "! no date"},
      {"/at 2027-2-28 07:00", "! no date"},
      {"/at 2027-02-28", "! /at needs a value"},
      {"/at 18", "! no time of day"},
      {"/at 18:00:00:00", "! no time of day"},
      {"/daily 6:30", "k2 2026-12-07 06:30:00"},
      {"/daily 23:59:60", "! no time of day"},
      {"/weekly FRIDAY 18:00", "k3 2026-12-07 18:00:00 w5"},
      {"/weekly 6 8:00:01", "k3 2026-12-07 08:00:01 w6"},
      {"/weekly 7 18:00", "! no day of the week"},
      {"/weekly Fri 18:00", "! no day of the week"},
      {"/weekly monday", "! /weekly needs a value"},
      {"/monthly 31 18:00", "k4 2026-12-07 18:00:00 n31"},
      {"/monthly 01 0:00", "k4 2026-12-07 00:00:00 n1"},
      {"/monthly 0 18:00", "! no day of the month"},
      {"/monthly 32 18:00", "! no day of the month"},
      {"/process \"my app.exe\"", "k6 pmy app.exe"},
      {"/process a\" b\"c", "k6 pa bc"},
      {"/process \"\"", "! needs a process name"},
      {"/defrag", "k5"},
      {"/daily 18:00 /defrag", "! Only one trigger"},
      {"/profile \"At home\" /show", "show profile=At home"},
      {"/profile a\\b", "! no profile name"},
      // Switches that go only with some others.
      {"/action 4 /execute", "execute action=4"},
      {"/execute", "! /execute needs /action"},
      {"/action 4 /execute /defrag", "! takes no trigger"},
      {"/cancel /show", "show cancel"},
      {"/cancel /daily 18:00", "! /cancel goes with no trigger"},
      {"/action 4 /execute /cancel", "! /cancel goes with no trigger and no /execute"},
      {"/exit", "exit"},
      {"/exit /show", "! /exit goes alone"},
      {"/cancel /exit", "! /exit goes alone"},
      {"/profile Work /exit", "! /exit goes alone"},
  };
  const DateTime now = MakeDateTime(2026, 12, 7, 12, 0, 0);
  FakeOsVersion os;
  for (const Row& r : rows) {
    os.Set(r.os);
    const CommandParse parse = ParseCommandLine(r.line, now);
    const std::string expected = r.expected;
    if (expected.rfind("! ", 0) == 0) {
      EXPECT_FALSE(parse.ok) << r.line;
      EXPECT_NE(parse.problem.find(expected.substr(2)), std::string::npos) << r.line << ": " << parse.problem;
    } else {
      EXPECT_EQ(Describe(parse), expected) << r.line;
      EXPECT_EQ(parse.request.Empty(), expected.empty()) << r.line;
    }
  }
}

TEST(CommandLineTest, RequestSetsOnlyTheFieldsItNames) {
  const DateTime now = MakeDateTime(2026, 12, 7, 12, 0, 0);
  const StoredFields current{kActionTurnOff, 1, 2, MakeDateTime(2026, 1, 2, 3, 4, 5), 9, "old.exe"};
  FakeOsVersion os;
  // Action, kind, weekday, moment, number and process after each command.
  const auto fields = [&](const char* line) {
    const StoredFields f = FieldsForCommand(ParseCommandLine(line, now).request, current);
    return std::to_string(f.action) + " k" + std::to_string(f.kind) + " w" + std::to_string(f.weekdayIndex) +
           " " + FormatDateTime(f.dateTime, "%Y-%m-%d %H:%M:%S") + " n" + std::to_string(f.number) + " " +
           f.processText;
  };
  const std::pair<const char*, const char*> rows[] = {
      {"/action Reminder /weekly 4 18:00", "4 k3 w4 2026-12-07 18:00:00 n9 old.exe"},
      {"/monthly 3 1:00", "0 k4 w2 2026-12-07 01:00:00 n3 old.exe"},
      {"/process new.exe", "0 k6 w2 2026-01-02 03:04:05 n9 new.exe"},
      {"/countdown 5.00:00:01", "0 k1 w2 2026-12-07 00:00:01 n5 old.exe"},
  };
  for (const auto& [line, expected] : rows) EXPECT_EQ(fields(line), expected) << line;
}

}  // namespace
