// The Shortcuts page of the Global Options sheet, worked from outside: a hot
// key added there fires at once in the running program, a second add of it
// is refused, Delete releases it, and a mouse operation is stored; all of
// it without the browser's registry key, which only gives the list its tips.
#include "tests/e2e/SimProcess.h"

#include <commctrl.h>

#include <algorithm>

#include "actions/ActionCatalog.h"
#include "shell/HotKeys.h"

namespace {

using namespace e2e;

constexpr int kList = 1020, kMouseOperation = 1022, kActions = 1023, kCombination = 1024,
              kAdd = 1027, kDelete = 1028, kModify = 1029;

constexpr char kBrowserKey[] = "SOFTWARE\\Microsoft\\Internet Explorer";
constexpr char kBackupKey[] = "SOFTWARE\\VesperonE2eBrowserKey";

bool MoveKey(const char* from, const char* to) {
  RegDeleteTreeA(HKEY_LOCAL_MACHINE, to);
  HKEY target = nullptr;
  if (RegCreateKeyA(HKEY_LOCAL_MACHINE, to, &target) != ERROR_SUCCESS) return false;
  const bool copied = RegCopyTreeA(HKEY_LOCAL_MACHINE, from, target) == ERROR_SUCCESS;
  RegCloseKey(target);
  return copied && RegDeleteTreeA(HKEY_LOCAL_MACHINE, from) == ERROR_SUCCESS;
}

// The browser's key moved aside for the guard's life, as on a system that
// has none; put back afterwards.
struct BrowserKeyRemoved {
  const bool moved = MoveKey(kBrowserKey, kBackupKey);
  ~BrowserKeyRemoved() {
    if (moved) MoveKey(kBackupKey, kBrowserKey);
  }
};

class ShortcutsPageE2e : public SimTest {
 protected:
  static void ChooseAction(HWND page, Vesperon::ActionId action) {
    const std::vector<Vesperon::ActionId> ids = Vesperon::GetShortcutActions();
    const auto it = std::find(ids.begin(), ids.end(), action);
    ASSERT_NE(it, ids.end());
    SimProcess::Send(GetDlgItem(page, kActions), CB_SETCURSEL, static_cast<WPARAM>(it - ids.begin()));
  }
  static int Rows(HWND page) {
    return static_cast<int>(SimProcess::Send(GetDlgItem(page, kList), LVM_GETITEMCOUNT));
  }
  // Clicks a button whose handler may open a message box; that box's text
  // ("" when none came), after closing it.
  static std::string ClickAndReadMessage(SimProcess& sim, HWND page, int button) {
    Press(page, button);
    return sim.TakeMessageBox("Vesperon", 1500);
  }
  // Presses ctrl+shift+F9 on the X display (xdotool, a Unix program run
  // under Wine) until the journal has `lines` lines or three presses went
  // by; whether it got there.
  static bool PressUntil(SimProcess& sim, std::size_t lines) {
    std::string press =
        "Z:\\usr\\bin\\xdotool search --sync --name \"Global Options\" windowfocus --sync "
        "key --clearmodifiers ctrl+shift+F9";
    for (int attempt = 0; attempt < 3; ++attempt) {
      STARTUPINFOA startup{};
      startup.cb = sizeof startup;
      PROCESS_INFORMATION process{};
      if (!CreateProcessA(nullptr, press.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                          &process)) {
        return false;
      }
      WaitForSingleObject(process.hProcess, 10000);
      CloseHandle(process.hThread);
      CloseHandle(process.hProcess);
      if (WaitFor([&] { return sim.JournalLines().size() >= lines; }, 2000)) return true;
    }
    return false;
  }
};

// Without the browser's key the version is unknown: the list goes without
// label tips, and the page is built and works as usual.
TEST_F(ShortcutsPageE2e, WorksWithoutTheBrowserKey) {
  const BrowserKeyRemoved removed;
  ASSERT_TRUE(removed.moved);
  SimProcess sim;
  HWND page = sim.OpenGlobalOptions(1, kList);
  ASSERT_NE(page, nullptr);
  HWND list = GetDlgItem(page, kList);
  ASSERT_EQ(Rows(page), 3);  // the three mouse buttons
  EXPECT_EQ(SimProcess::Send(list, LVM_GETEXTENDEDLISTVIEWSTYLE) & LVS_EX_LABELTIP, 0);
  EXPECT_EQ(sim.ListText(list, 0), "Mouse: Left button");

  const WORD modifier = HOTKEYF_CONTROL | HOTKEYF_SHIFT;
  const std::string key = "Global\\xzCute\\" + HotKeys::HotKeyText(VK_F9, modifier);
  SimProcess::Send(GetDlgItem(page, kCombination), HKM_SETHOTKEY, MAKEWORD(VK_F9, modifier));
  ChooseAction(page, Vesperon::kActionScreenSaver);
  EXPECT_EQ(ClickAndReadMessage(sim, page, kAdd), "");
  EXPECT_EQ(Rows(page), 4);
  EXPECT_EQ(registry::Dword(key, "Action"), 12u);

  EXPECT_TRUE(PressUntil(sim, 1)) << "the added hot key did not fire";
  EXPECT_EQ(sim.JournalLines(), std::vector<std::string>{"ScreenSaver"});

  ChooseAction(page, Vesperon::kActionMonitorOff);
  EXPECT_EQ(ClickAndReadMessage(sim, page, kAdd), "Hotkey already exists.");
  EXPECT_EQ(Rows(page), 4);
  EXPECT_EQ(registry::Dword(key, "Action"), 12u);  // the stored binding is untouched

  sim.SelectListRow(list, 3);
  EXPECT_TRUE(IsWindowEnabled(GetDlgItem(page, kDelete)));
  EXPECT_EQ(ClickAndReadMessage(sim, page, kDelete), "");
  EXPECT_EQ(Rows(page), 3);
  EXPECT_FALSE(registry::GetRaw(key, "Action"));
  const std::size_t before = sim.JournalLines().size();
  EXPECT_FALSE(PressUntil(sim, before + 1)) << "a deleted hot key still fires";

  // Delete is off for mouse rows; Modify stores a row's operation and action.
  sim.SelectListRow(list, 0);
  EXPECT_FALSE(IsWindowEnabled(GetDlgItem(page, kDelete)));
  EXPECT_EQ(ClickAndReadMessage(sim, page, kDelete),
            "You may not delete mouse shortcuts. Select a hotkey instead.");
  sim.SelectListRow(list, 1);
  SimProcess::Send(GetDlgItem(page, kMouseOperation), CB_SETCURSEL, 0);  // "Button pressed"
  ChooseAction(page, Vesperon::kActionShowMainWindow);
  EXPECT_EQ(ClickAndReadMessage(sim, page, kModify), "");
  EXPECT_EQ(registry::Dword("Global\\xzCute", "MBClickC"), 0u);
  EXPECT_EQ(registry::Dword("Global\\xzCute", "MBAction"), 16u);
  EXPECT_EQ(registry::Dword("Global\\xzCute", "LBClickC"), 2u);  // the other buttons keep theirs

  EXPECT_TRUE(sim.CloseSheet(IDOK));
}

}  // namespace
