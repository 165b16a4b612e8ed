// The tray icon's records and limits on each shell generation.
#include <gtest/gtest.h>

#include <string>

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

TEST(TrayShellTest, RecordsVersionTipAndBalloonLimitsOfEachShell) {
  for (const ShellCase& c : kShells) {
    SCOPED_TRACE(c.name);
    FakeOsVersion os(c.os);
    RecordingTrayShell shell;
    platform::ScopedTrayShell scoped(shell);
    EXPECT_EQ(InitialTrayIconResource(), c.firstIcon);
    // Add sends the record, and the version only to the new shell.
    AddTrayIcon(0x55, 0xC123, 104, 0x777, "Vesperon");
    ASSERT_EQ(shell.calls.size(), c.newShell ? 2u : 1u);
    EXPECT_EQ(shell.calls[0].message, platform::kNotifyAdd);
    EXPECT_EQ(shell.calls[0].record.size, c.size);
    EXPECT_EQ(shell.calls[0].record.flags, 7u);
    EXPECT_STREQ(shell.calls[0].record.tip, "Vesperon");
    if (c.newShell) {
      EXPECT_EQ(shell.calls[1].message, platform::kNotifySetVersion);
      EXPECT_EQ(shell.calls[1].record.timeoutOrVersion, 3u);
    }
    shell.calls.clear();
    DeleteTrayIcon(4, 104);
    ASSERT_EQ(shell.calls.size(), 1u);
    EXPECT_EQ(shell.calls[0].message, platform::kNotifyDelete);
    EXPECT_EQ(shell.calls[0].record.size, c.size);

    // The tip's limit is checked before the shell is called.
    shell.calls.clear();
    const std::string longest(c.longestTip, 'x');
    ModifyTrayIcon(1, 2, 104, 3, longest);
    ASSERT_EQ(shell.calls.size(), 1u);
    EXPECT_EQ(std::string(shell.calls[0].record.tip), longest);
    EXPECT_EQ(shell.calls[0].message, platform::kNotifyModify);
    EXPECT_EQ(CodeOf<SystemException>([&] { AddTrayIcon(1, 2, 104, 3, longest + "x"); }, 1), 6);
    EXPECT_EQ(CodeOf<SystemException>([&] { ModifyTrayIcon(1, 2, 104, 3, longest + "x"); }, 1), 6);
    EXPECT_EQ(shell.calls.size(), 1u);

    // Balloon texts are filled, and limited, on the new shell only.
    shell.calls.clear();
    const std::string text(c.newShell ? 253 : 500, 't'), title(c.newShell ? 62 : 500, 'T');
    ShowTrayBalloon(9, 104, title, text, 10000, 1);
    ASSERT_EQ(shell.calls.size(), 1u);
    const auto& r = shell.calls[0].record;
    EXPECT_EQ(shell.calls[0].message, platform::kNotifyModify);
    EXPECT_EQ(r.size, c.size);
    EXPECT_EQ(r.flags, 0x10u);
    EXPECT_EQ(std::string(r.info), c.newShell ? text : "");
    EXPECT_EQ(std::string(r.infoTitle), c.newShell ? title : "");
    EXPECT_EQ(r.infoFlags, c.newShell ? 1u : 0u);
    if (!c.newShell) continue;
    EXPECT_EQ(CodeOf<SystemException>([&] { ShowTrayBalloon(1, 104, "", text + "t", 10000, 1); }, 1), 6);
    EXPECT_EQ(CodeOf<SystemException>([&] { ShowTrayBalloon(1, 104, title + "T", "", 10000, 1); }, 1), 6);
    EXPECT_EQ(shell.calls.size(), 1u);
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
      {0x00200010, 0x10, 0x20},
      {static_cast<std::intptr_t>(0x1234500067ull), 0x0067, 0x3450},  // bits above 32 ignored
      // Monitors left of or above the primary one.
      {0xFFF6FFFB, -5, -10},
      {0x012CF880, -1920, 300},
      {0xFBC809C4, 2500, -1080},
      {0x80007FFF, 32767, -32768},
  };
  for (const auto& c : cases) {
    const TrayMenuPoint p = UnpackTrayMenuPoint(c.lParam);
    EXPECT_EQ(p.x, c.x) << std::hex << c.lParam;
    EXPECT_EQ(p.y, c.y) << std::hex << c.lParam;
  }
}

}  // namespace
