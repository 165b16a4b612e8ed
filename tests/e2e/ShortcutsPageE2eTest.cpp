// The Shortcuts page of the Global Options sheet, worked from outside: a hot
// key added there fires at once in the running program, a second add of it
// is refused, Delete releases it, and a mouse operation is stored.
#include "tests/e2e/SimProcess.h"

#include <commctrl.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "actions/ActionCatalog.h"
#include "shell/HotKeys.h"
#include "tests/win32/RunUnix.h"

namespace {

using namespace e2e;

constexpr UINT kGlobalOptionsCommand = 173;
constexpr int kList = 1020, kMouseOperation = 1022, kActions = 1023, kCombination = 1024,
              kAdd = 1027, kDelete = 1028, kModify = 1029;

std::string Journal() { return JournalPath("vesperon-e2e-shortcuts-journal.txt"); }

// An LVITEM in the program's process: list-view messages carry pointers.
void SetRemoteItemState(DWORD pid, HWND list, int row, UINT state, UINT mask) {
  HANDLE process = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_WRITE, FALSE, pid);
  ASSERT_NE(process, nullptr);
  void* remote = VirtualAllocEx(process, nullptr, sizeof(LVITEMA), MEM_COMMIT, PAGE_READWRITE);
  ASSERT_NE(remote, nullptr);
  LVITEMA item{};
  item.state = state;
  item.stateMask = mask;
  WriteProcessMemory(process, remote, &item, sizeof item, nullptr);
  SimProcess::Send(list, LVM_SETITEMSTATE, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(remote));
  VirtualFreeEx(process, remote, 0, MEM_RELEASE);
  CloseHandle(process);
}

class ShortcutsPageE2e : public testing::Test {
 protected:
  void SetUp() override {
    registry::DeleteAll();
    registry::SetDword("Global\\TriggerStartup", "Minimize", 0);
  }
  void TearDown() override { registry::DeleteAll(); }

  // Opens Global Options on the Shortcuts page; the page's window.
  HWND OpenPage(SimProcess& sim) {
    PostMessageA(sim.MainWindow(), WM_COMMAND, MAKEWPARAM(kGlobalOptionsCommand, 0), 0);
    WaitFor([&] { return (sheet_ = sim.FindMessageBox("Global Options")) != nullptr; }, 10000);
    if (!sheet_) return nullptr;
    SimProcess::Send(sheet_, PSM_SETCURSEL, 1, 0);
    HWND page = nullptr;
    WaitFor([&] {
      page = reinterpret_cast<HWND>(SimProcess::Send(sheet_, PSM_GETCURRENTPAGEHWND));
      return page && GetDlgItem(page, kList);
    }, 5000);
    return page;
  }
  // What a user's click on a row does: it becomes selected, focused and
  // the selection mark.
  static void SelectRow(SimProcess& sim, HWND page, int row) {
    const UINT both = LVIS_SELECTED | LVIS_FOCUSED;
    SetRemoteItemState(sim.Id(), GetDlgItem(page, kList), row, both, both);
    SimProcess::Send(GetDlgItem(page, kList), LVM_SETSELECTIONMARK, 0, row);
  }
  static void ChooseAction(HWND page, Vesperon::ActionId action) {
    const std::vector<Vesperon::ActionId> ids = Vesperon::GetShortcutActions();
    const auto it = std::find(ids.begin(), ids.end(), action);
    ASSERT_NE(it, ids.end());
    SimProcess::Send(GetDlgItem(page, kActions), CB_SETCURSEL, static_cast<WPARAM>(it - ids.begin()));
  }
  static int Rows(HWND page) {
    return static_cast<int>(SimProcess::Send(GetDlgItem(page, kList), LVM_GETITEMCOUNT));
  }
  // Clicks a button whose handler may open a message box; returns that
  // box's text ("" when none came) after closing it.
  static std::string ClickAndReadMessage(SimProcess& sim, HWND page, int button) {
    PostMessageA(GetDlgItem(page, button), BM_CLICK, 0, 0);
    HWND box = nullptr;
    WaitFor([&] { return (box = sim.FindMessageBox("Vesperon")) != nullptr; }, 1500);
    if (!box) return "";
    const std::string text = sim.Text(GetDlgItem(box, 0xFFFF));
    PostMessageA(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    WaitFor([&] { return !IsWindow(box); }, 5000);
    return text;
  }
  // Presses ctrl+shift+F9 on the X display until the journal has `lines`
  // lines or three presses went by; whether it got there.
  static bool PressUntil(SimProcess& sim, std::size_t lines) {
    const std::string press =
        "Z:\\usr\\bin\\xdotool search --sync --name \"Global Options\" windowfocus --sync "
        "key --clearmodifiers ctrl+shift+F9";
    for (int attempt = 0; attempt < 3; ++attempt) {
      if (!testing_support::RunUnix(press)) return false;
      if (WaitFor([&] { return sim.JournalLines().size() >= lines; }, 2000)) return true;
    }
    return false;
  }

  HWND sheet_ = nullptr;
};

TEST_F(ShortcutsPageE2e, AddedHotKeyFiresIsUniqueAndDeleteReleasesIt) {
  SimProcess sim(SimExe(), Journal());
  ASSERT_NE(sim.MainWindow(), nullptr);
  HWND page = OpenPage(sim);
  ASSERT_NE(page, nullptr);
  ASSERT_EQ(Rows(page), 3);  // the three mouse buttons

  const WORD modifier = HOTKEYF_CONTROL | HOTKEYF_SHIFT;
  const std::string name = HotKeys::HotKeyText(VK_F9, modifier);
  const std::string key = "Global\\xzCute\\" + name;
  SimProcess::Send(GetDlgItem(page, kCombination), HKM_SETHOTKEY, MAKEWORD(VK_F9, modifier));
  ChooseAction(page, Vesperon::kActionScreenSaver);
  EXPECT_EQ(ClickAndReadMessage(sim, page, kAdd), "");
  EXPECT_EQ(Rows(page), 4);
  DWORD value = 0;
  ASSERT_TRUE(registry::GetDword(key, "Action", value));
  EXPECT_EQ(value, 12u);

  EXPECT_TRUE(PressUntil(sim, 1)) << "the added hot key did not fire";
  EXPECT_EQ(sim.JournalLines(), std::vector<std::string>{"ScreenSaver"});

  ChooseAction(page, Vesperon::kActionMonitorOff);
  EXPECT_EQ(ClickAndReadMessage(sim, page, kAdd), "Hotkey already exists.");
  EXPECT_EQ(Rows(page), 4);
  ASSERT_TRUE(registry::GetDword(key, "Action", value));
  EXPECT_EQ(value, 12u);  // the stored binding is untouched

  SelectRow(sim, page, 3);
  EXPECT_TRUE(IsWindowEnabled(GetDlgItem(page, kDelete)));
  EXPECT_EQ(ClickAndReadMessage(sim, page, kDelete), "");
  EXPECT_EQ(Rows(page), 3);
  EXPECT_FALSE(registry::GetDword(key, "Action", value));
  const std::size_t before = sim.JournalLines().size();
  EXPECT_FALSE(PressUntil(sim, before + 1)) << "a deleted hot key still fires";

  PostMessageA(sheet_, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
  EXPECT_TRUE(WaitFor([&] { return !IsWindow(sheet_); }, 5000));
  EXPECT_TRUE(sim.Quit());
}

TEST_F(ShortcutsPageE2e, ModifyingAMouseRowStoresItsOperationAndAction) {
  SimProcess sim(SimExe(), Journal());
  ASSERT_NE(sim.MainWindow(), nullptr);
  HWND page = OpenPage(sim);
  ASSERT_NE(page, nullptr);

  // Row 0 is selected when the page opens; Delete is off for mouse rows.
  EXPECT_FALSE(IsWindowEnabled(GetDlgItem(page, kDelete)));
  EXPECT_EQ(ClickAndReadMessage(sim, page, kDelete),
            "You may not delete mouse shortcuts. Select a hotkey instead.");
  SelectRow(sim, page, 1);
  SimProcess::Send(GetDlgItem(page, kMouseOperation), CB_SETCURSEL, 0);  // "Button pressed"
  ChooseAction(page, Vesperon::kActionShowMainWindow);
  EXPECT_EQ(ClickAndReadMessage(sim, page, kModify), "");
  DWORD kind = 99, action = 99;
  EXPECT_TRUE(registry::GetDword("Global\\xzCute", "MBClickC", kind));
  EXPECT_TRUE(registry::GetDword("Global\\xzCute", "MBAction", action));
  EXPECT_EQ(kind, 0u);
  EXPECT_EQ(action, 16u);
  EXPECT_TRUE(registry::GetDword("Global\\xzCute", "LBClickC", kind));
  EXPECT_EQ(kind, 2u);  // the other buttons keep theirs

  PostMessageA(sheet_, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
  EXPECT_TRUE(WaitFor([&] { return !IsWindow(sheet_); }, 5000));
  EXPECT_TRUE(sim.Quit());
}

}  // namespace
