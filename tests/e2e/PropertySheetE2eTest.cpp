// The two property sheets as the main window opens them: which pages each
// has, which one is in front, and that OK and Cancel close them.
#include "tests/e2e/SimProcess.h"

#include <commctrl.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

using namespace e2e;

constexpr int kActionList = 1035, kProperties = 1039;
constexpr int kSheetTabs = 0x3020;  // the tab control of every property sheet
constexpr UINT kGlobalOptionsCommand = 173;

std::string Journal() { return JournalPath("vesperon-e2e-sheet-journal.txt"); }

HWND WaitForSheet(SimProcess& sim, const std::string& caption) {
  HWND sheet = nullptr;
  WaitFor([&] { return (sheet = sim.FindMessageBox(caption)) != nullptr; }, 10000);
  return sheet;
}

class PropertySheetE2e : public testing::Test {
 protected:
  void SetUp() override {
    registry::DeleteAll();
    registry::SetDword("Global\\TriggerStartup", "Minimize", 0);
  }
  void TearDown() override { registry::DeleteAll(); }
};

TEST_F(PropertySheetE2e, ActionSheetOpensOnThePageOfTheSelectedAction) {
  SimProcess sim(SimExe(), Journal());
  ASSERT_NE(sim.MainWindow(), nullptr);
  const std::vector<std::string> actions = sim.ComboExTexts(kActionList);
  const auto reminder = std::find(actions.begin(), actions.end(), "Reminder");
  ASSERT_NE(reminder, actions.end());
  sim.SelectComboItem(kActionList, static_cast<int>(reminder - actions.begin()));

  sim.PostClick(kProperties);
  HWND sheet = WaitForSheet(sim, "Action Properties");
  ASSERT_NE(sheet, nullptr);
  HWND tabs = GetDlgItem(sheet, kSheetTabs);
  // Every action group is offered here: shutdown, hibernate, reminder,
  // disconnect, kill, Wake-on-LAN, with the reminder's in front.
  EXPECT_EQ(SimProcess::Send(tabs, TCM_GETITEMCOUNT), 6);
  EXPECT_EQ(SimProcess::Send(tabs, TCM_GETCURSEL), 2);
  PostMessageA(sheet, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
  EXPECT_TRUE(WaitFor([&] { return !IsWindow(sheet); }, 5000));
  EXPECT_TRUE(sim.Quit());
}

TEST_F(PropertySheetE2e, GlobalOptionsHasFourPagesAndClosesOnOk) {
  SimProcess sim(SimExe(), Journal());
  ASSERT_NE(sim.MainWindow(), nullptr);
  PostMessageA(sim.MainWindow(), WM_COMMAND, MAKEWPARAM(kGlobalOptionsCommand, 0), 0);
  HWND sheet = WaitForSheet(sim, "Global Options");
  ASSERT_NE(sheet, nullptr);
  HWND tabs = GetDlgItem(sheet, kSheetTabs);
  EXPECT_EQ(SimProcess::Send(tabs, TCM_GETITEMCOUNT), 4);
  EXPECT_EQ(SimProcess::Send(tabs, TCM_GETCURSEL), 0);
  PostMessageA(sheet, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
  EXPECT_TRUE(WaitFor([&] { return !IsWindow(sheet); }, 5000));
  EXPECT_TRUE(sim.Quit());
}

}  // namespace
