// The tray icon's records and limits on each shell generation.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/memory/RecordingTrayShell.h"
#include "shell/TrayIcon.h"
#include "tests/support/FakeOsVersion.h"
#include "tests/support/Thrown.h"

namespace {

using namespace Vesperon;
using platform::RecordingTrayShell;
using testing_support::CodeOf;
using testing_support::FakeOsVersion;

struct ShellCase {
  const char* name;
  platform::OsVersionRecord os;
  std::uint32_t size;
  std::size_t longestTip;
  bool newShell;
  TrayImage firstIcon;
};

const ShellCase kShells[] = {
    {"Win98", testing_support::kWin98, 88, 62, false, kTrayImageSixteenColour},
    {"WinMe", testing_support::kWinMe, 488, 126, true, kTrayImageFullColour},
    {"Win2000", testing_support::kWin2000, 488, 126, true, kTrayImageSixteenColour},
    {"WinXP", testing_support::kWinXP, 504, 126, true, kTrayImageFullColour},
};

// One call to the shell: its message, the record's size and flags, then the
// texts and the number the flags fill.
std::string Describe(const RecordingTrayShell::Call& call) {
  const platform::NotifyIconRecord& r = call.record;
  return std::to_string(call.message) + " " + std::to_string(r.size) + " " + std::to_string(r.flags) + " " +
         r.tip + "|" + r.info + "|" + r.infoTitle + "|" + std::to_string(r.infoFlags) + "|" +
         std::to_string(r.timeoutOrVersion);
}

TEST(TrayShellTest, RecordsVersionTipAndBalloonLimitsOfEachShell) {
  for (const ShellCase& c : kShells) {
    SCOPED_TRACE(c.name);
    FakeOsVersion os(c.os);
    RecordingTrayShell shell;
    platform::ScopedTrayShell scoped(shell);
    EXPECT_EQ(InitialTrayIconResource(), c.firstIcon);
    const std::string tip(c.longestTip, 'x'), text(c.newShell ? 253 : 500, 't'), title(c.newShell ? 62 : 500, 'T');
    AddTrayIcon(0x55, 0xC123, 104, 0x777, "Vesperon");  // the version only to the new shell
    DeleteTrayIcon(4, 104);
    ModifyTrayIcon(1, 2, 104, 3, tip);
    ShowTrayBalloon(9, 104, title, text, 10000, 1);  // filled, and limited, on the new shell only
    // Limits are checked before the shell is called.
    EXPECT_EQ(CodeOf<SystemException>([&] { AddTrayIcon(1, 2, 104, 3, tip + "x"); }, 1), 6);
    EXPECT_EQ(CodeOf<SystemException>([&] { ModifyTrayIcon(1, 2, 104, 3, tip + "x"); }, 1), 6);
    if (c.newShell) {
      EXPECT_EQ(CodeOf<SystemException>([&] { ShowTrayBalloon(1, 104, "", text + "t", 10000, 1); }, 1), 6);
      EXPECT_EQ(CodeOf<SystemException>([&] { ShowTrayBalloon(1, 104, title + "T", "", 10000, 1); }, 1), 6);
    }
    const std::string size = std::to_string(c.size) + " ";
    std::vector<std::string> expected = {"0 " + size + "7 Vesperon|||0|0", "2 " + size + "0 |||0|0",
                                         "1 " + size + "7 " + tip + "|||0|0"};
    if (c.newShell) expected.insert(expected.begin() + 1, "4 " + size + "7 Vesperon|||0|3");
    expected.push_back("1 " + size + "16 |" + (c.newShell ? text + "|" + title + "|1|10000" : "||0|0"));
    std::vector<std::string> calls;
    for (const auto& call : shell.calls) calls.push_back(Describe(call));
    EXPECT_EQ(calls, expected);
  }
}

TEST(TrayRefusalTest, EachRefusalRaisesItsTaskbarCode) {
  const struct {
    platform::TrayShellMessage refused;
    void (*call)();
    std::int32_t code;
  } cases[] = {
      {platform::kNotifyAdd, [] { AddTrayIcon(1, 2, 104, 3, "Vesperon"); }, 0},
      {platform::kNotifySetVersion, [] { AddTrayIcon(1, 2, 104, 3, "Vesperon"); }, 1},
      {platform::kNotifyModify, [] { ModifyTrayIcon(1, 2, 104, 3, "Vesperon"); }, 2},
      {platform::kNotifyDelete, [] { DeleteTrayIcon(1, 104); }, 3},
  };
  for (const auto& c : cases) {
    FakeOsVersion os(testing_support::kWinXP);
    RecordingTrayShell shell;
    platform::ScopedTrayShell scoped(shell);
    shell.Refuse(c.refused);
    EXPECT_EQ(CodeOf<TaskbarException>(c.call, 5), c.code) << c.refused;
  }
}

TEST(TrayMenuPointTest, CoordinatesAreSigned16BitHalves) {
  struct {
    std::intptr_t lParam;
    std::int32_t x, y;
  } const cases[] = {
      {static_cast<std::intptr_t>(0x1234500067ull), 0x0067, 0x3450},  // bits above 32 ignored
      // Monitors left of or above the primary one.
      {0x012CF880, -1920, 300},
      {0x80007FFF, 32767, -32768},
  };
  for (const auto& c : cases) {
    const TrayMenuPoint p = UnpackTrayMenuPoint(c.lParam);
    EXPECT_EQ(p.x, c.x) << std::hex << c.lParam;
    EXPECT_EQ(p.y, c.y) << std::hex << c.lParam;
  }
}

}  // namespace
